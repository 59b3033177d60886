#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/control.h"

namespace norvane::ui {

// Makes controls by registered class name (for example "CCircleProgressUI").
class CControlFactory {
public:
    using Creator = std::function<std::unique_ptr<CControlUI>()>;
    // The factory shared by every layout builder of the process.
    static CControlFactory& Instance();

    void Register(std::string className, Creator creator);
    template <typename T>
    void Register(std::string className) {
        Register(std::move(className), [] { return std::make_unique<T>(); });
    }
    // nullptr for an unknown name.
    std::unique_ptr<CControlUI> Create(std::string_view className) const;
    bool Has(std::string_view className) const;

private:
    std::map<std::string, Creator, std::less<>> creators_;
};

// The built-in control for a layout tag ("Button", "VerticalLayout", ...); nullptr when the tag
// is not one of the toolkit's own.
std::unique_ptr<CControlUI> CreateBuiltinControl(std::string_view tag);

}  // namespace norvane::ui
