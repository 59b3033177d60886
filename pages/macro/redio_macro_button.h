#pragma once

#include "ui/button.h"

#include <string>
#include <string_view>

namespace norvane::pages {

// A button that also keeps the image named by its "redioimage" attribute.
class CRedioMacroButtonUI : public ui::CButtonUI {
public:
    static constexpr std::string_view kClassName = "RedioMacroButton";

    std::string_view GetClass() const override { return kClassName; }
    void SetAttribute(std::string_view name, std::string_view value) override;
    const std::string& RedioImage() const { return redioImage_; }
    void SetRedioImage(std::string image) { redioImage_ = std::move(image); }

private:
    std::string redioImage_;
};

}  // namespace norvane::pages
