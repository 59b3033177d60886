#include "ui/menu.h"

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

namespace {

std::vector<MenuItem> ReadItems(pugi::xml_node parent, const CResourceManager& resources) {
    std::vector<MenuItem> items;
    for (pugi::xml_node node : parent.children()) {
        std::string_view tag = node.name();
        if (tag == "MenuSeparator") {
            MenuItem sep;
            sep.separator = true;
            items.push_back(std::move(sep));
        } else if (tag == "MenuElement") {
            MenuItem item;
            item.name = node.attribute("name").as_string();
            std::string id = node.attribute("textid").as_string();
            item.text = id.empty() ? node.attribute("text").as_string() : resources.Text(id);
            item.enabled = node.attribute("enabled").as_bool(true);
            item.children = ReadItems(node, resources);
            items.push_back(std::move(item));
        }
    }
    return items;
}

}  // namespace

std::vector<MenuItem> ParseMenu(std::string_view xml, const CResourceManager& resources) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) {
        return {};
    }
    pugi::xml_node root = doc.child("Menu");
    if (!root) {
        root = doc.child("Window").child("Menu");
    }
    return root ? ReadItems(root, resources) : std::vector<MenuItem>{};
}

std::vector<MenuItem> LoadMenu(std::string_view file, const CResourceManager& resources) {
    auto path = resources.ResolveSkinPath(file);
    if (path.empty()) {
        return {};
    }
    auto content = platform::ReadFileLimited(path, 1U << 20U);
    return content ? ParseMenu(*content, resources) : std::vector<MenuItem>{};
}

}  // namespace norvane::ui
