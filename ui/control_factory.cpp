#include "ui/control_factory.h"

#include "ui/attributes.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/option.h"
#include "ui/slider.h"

namespace norvane::ui {

CControlFactory& CControlFactory::Instance() {
    static CControlFactory factory;
    return factory;
}

void CControlFactory::Register(std::string className, Creator creator) {
    creators_[std::move(className)] = std::move(creator);
}

std::unique_ptr<CControlUI> CControlFactory::Create(std::string_view className) const {
    auto it = creators_.find(className);
    return it == creators_.end() ? nullptr : it->second();
}

bool CControlFactory::Has(std::string_view className) const {
    return creators_.find(className) != creators_.end();
}

namespace {

struct BuiltinEntry {
    std::string_view tag;
    std::unique_ptr<CControlUI> (*create)();
};

template <typename T>
std::unique_ptr<CControlUI> Make() {
    return std::make_unique<T>();
}

constexpr BuiltinEntry kBuiltins[] = {
    {"Control", &Make<CControlUI>},
    {"Container", &Make<CContainerUI>},
    {"VerticalLayout", &Make<CVerticalLayoutUI>},
    {"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {"TabLayout", &Make<CTabLayoutUI>},
    {"Label", &Make<CLabelUI>},
    {"Text", &Make<CLabelUI>},
    {"Button", &Make<CButtonUI>},
    {"Option", &Make<COptionUI>},
    {"CheckBox", &Make<CCheckBoxUI>},
    {"Combo", &Make<CComboUI>},
    {"List", &Make<CListUI>},
    {"ListLabelElement", &Make<CListLabelElementUI>},
    {"ListContainerElement", &Make<CListContainerElementUI>},
    {"Slider", &Make<CSliderUI>},
    {"Edit", &Make<CEditUI>},
    {"Progress", &Make<CProgressUI>},
    {"ColorPalette", &Make<CColorPaletteUI>},
};

}  // namespace

std::unique_ptr<CControlUI> CreateBuiltinControl(std::string_view tag) {
    for (const auto& entry : kBuiltins) {
        if (EqualsNoCase(entry.tag, tag)) {
            return entry.create();
        }
    }
    return nullptr;
}

}  // namespace norvane::ui
