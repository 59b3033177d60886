#include "ui/dialog_builder.h"

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "platform/diag.h"
#include "ui/attributes.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

namespace {
constexpr std::size_t kMaxLayoutFile = 8U << 20U;
constexpr int kMaxIncludeDepth = 16;
// Per build, so a file including itself several times per level cannot multiply without end.
constexpr int kMaxIncludes = 512;
}  // namespace

struct CDialogBuilder::Impl {
    CDialogBuilder& self;
    CPaintManagerUI* manager;
    IDialogBuilderCallback* callback;

    std::unique_ptr<CControlUI> MakeControl(std::string_view tag) const {
        if (auto builtin = CreateBuiltinControl(tag)) {
            return builtin;
        }
        if (callback != nullptr) {
            if (auto custom = callback->CreateControl(tag)) {
                return custom;
            }
        }
        const CControlFactory& factory = CControlFactory::Instance();
        if (auto made = factory.Create(tag)) {
            return made;
        }
        return factory.Create("C" + std::string(tag) + "UI");
    }

    void ReadWindow(pugi::xml_node node) {
        WindowInfo& info = self.window_;
        info.found = true;
        for (pugi::xml_attribute a : node.attributes()) {
            std::string_view name = a.name();
            if (name == "size") {
                info.size = ParseSize(a.value());
            } else if (name == "mininfo") {
                info.minSize = ParseSize(a.value());
            } else if (name == "caption") {
                info.caption = ParseRect(a.value());
            } else if (name == "title") {
                info.title = a.value();
            } else if (manager != nullptr && name == "defaulttextcolor") {
                manager->SetDefaultTextColor(ParseColor(a.value()));
            } else if (manager != nullptr && name == "disabledtextcolor") {
                manager->SetDefaultDisabledColor(ParseColor(a.value()));
            }
        }
        for (pugi::xml_node child : node.children()) {
            std::string_view tag = child.name();
            if (manager == nullptr) {
                continue;
            }
            if (tag == "Font") {
                FontSpec font;
                font.face = child.attribute("name").as_string();
                font.size = child.attribute("size").as_int(12);
                font.bold = child.attribute("bold").as_bool();
                font.underline = child.attribute("underline").as_bool();
                font.italic = child.attribute("italic").as_bool();
                if (child.attribute("default").as_bool()) {
                    manager->SetDefaultFont(font);
                }
                manager->AddFont(child.attribute("id").as_int(-1), std::move(font));
            } else if (tag == "Default") {
                manager->SetDefaultAttributeList(child.attribute("name").as_string(),
                                                 child.attribute("value").as_string());
            } else if (tag == "Style") {
                manager->AddStyle(child.attribute("name").as_string(), child.attribute("value").as_string());
            }
        }
    }

    std::unique_ptr<CControlUI> BuildNode(pugi::xml_node node) {
        std::string_view tag = node.name();
        if (tag == "Include") {
            CDialogBuilder sub;
            sub.depth_ = self.depth_ + 1;
            sub.includes_ = self.includes_;
            if (sub.depth_ > kMaxIncludeDepth) {
                platform::diag::Trace("layout include nested too deep");
                return nullptr;
            }
            if (++*self.includes_ > kMaxIncludes) {
                platform::diag::Trace("layout includes too many files");
                return nullptr;
            }
            return sub.Create(node.attribute("source").as_string(), manager, callback);
        }
        std::unique_ptr<CControlUI> control = MakeControl(tag);
        if (!control) {
            platform::diag::Trace("layout tag not known: " + std::string(tag));
            return nullptr;
        }
        // Class defaults first, then the element's own attributes in order.
        if (manager != nullptr) {
            if (const std::string* defaults = manager->GetDefaultAttributeList(tag)) {
                control->ApplyAttributeList(*defaults);
            }
        }
        for (pugi::xml_attribute a : node.attributes()) {
            if (std::string_view(a.name()) == "style" && manager != nullptr) {
                if (const std::string* list = manager->GetStyle(a.value())) {
                    control->ApplyAttributeList(*list);
                }
                continue;
            }
            control->SetAttribute(a.name(), a.value());
        }
        auto* container = dynamic_cast<CContainerUI*>(control.get());
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            auto built = BuildNode(child);
            if (built && container != nullptr) {
                container->Add(std::move(built));
            }
        }
        return control;
    }

    std::unique_ptr<CControlUI> Build(const pugi::xml_document& doc) {
        pugi::xml_node root = doc.document_element();
        if (!root) {
            return nullptr;
        }
        if (std::string_view(root.name()) == "Window") {
            ReadWindow(root);
            for (pugi::xml_node child : root.children()) {
                std::string_view tag = child.name();
                if (child.type() != pugi::node_element || tag == "Font" || tag == "Default" ||
                    tag == "Style") {
                    continue;
                }
                return BuildNode(child);
            }
            return nullptr;
        }
        return BuildNode(root);
    }
};

std::unique_ptr<CControlUI> CDialogBuilder::Create(std::string_view file, CPaintManagerUI* manager,
                                                   IDialogBuilderCallback* callback) {
    std::filesystem::path path;
    if (manager != nullptr) {
        path = manager->Resources().ResolveSkinPath(file);
    } else {
        path = std::filesystem::path(file);
    }
    if (path.empty()) {
        return nullptr;
    }
    auto content = platform::ReadFileLimited(path, kMaxLayoutFile);
    if (!content) {
        platform::diag::Trace("layout file unreadable: " + path.string());
        return nullptr;
    }
    return CreateFromString(*content, manager, callback);
}

std::unique_ptr<CControlUI> CDialogBuilder::CreateFromString(std::string_view xml, CPaintManagerUI* manager,
                                                             IDialogBuilderCallback* callback) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
    if (!parsed) {
        platform::diag::Trace(std::string("layout is not valid XML: ") + parsed.description());
        return nullptr;
    }
    if (depth_ == 0) {
        ownIncludes_ = 0;
        includes_ = &ownIncludes_;
    }
    Impl impl{*this, manager, callback};
    return impl.Build(doc);
}

}  // namespace norvane::ui
