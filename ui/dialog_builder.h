#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "ui/control.h"
#include "ui/types.h"

namespace norvane::ui {

class CPaintManagerUI;

// Makes controls for layout tags the toolkit does not know; nullptr leaves the tag to the
// control factory.
class IDialogBuilderCallback {
public:
    virtual std::unique_ptr<CControlUI> CreateControl(std::string_view tag) = 0;

protected:
    virtual ~IDialogBuilderCallback() = default;
};

// Window settings read from a layout's <Window> element.
struct WindowInfo {
    Size size;
    Size minSize;
    Rect caption;  // the caption (drag) area: left, top, right, bottom (bottom = height)
    std::string title;
    bool found = false;
};

// Builds a control tree from a skin layout (see resources/skin/README.md). Tags resolve in
// this order: the toolkit's own, the callback, the control factory by the tag and by
// "C" + tag + "UI". <Include source="file"/> builds another layout file in place.
class CDialogBuilder {
public:
    // Builds from a skin-relative file (or absolute path); nullptr when unreadable or empty.
    std::unique_ptr<CControlUI> Create(std::string_view file, CPaintManagerUI* manager,
                                       IDialogBuilderCallback* callback = nullptr);
    std::unique_ptr<CControlUI> CreateFromString(std::string_view xml, CPaintManagerUI* manager,
                                                 IDialogBuilderCallback* callback = nullptr);
    const WindowInfo& GetWindowInfo() const { return window_; }

private:
    struct Impl;
    WindowInfo window_;
    int depth_ = 0;
    // Includes opened by the outermost build so far, shared with the nested builders.
    int* includes_ = nullptr;
    int ownIncludes_ = 0;
};

}  // namespace norvane::ui
