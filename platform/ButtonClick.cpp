#include "platform/ButtonClick.h"

#include "platform/Styles.h"

namespace quotamin {

ControlGroup GroupOf(const std::vector<DialogControl>& controls, std::size_t index) {
    ControlGroup group{index, index + 1};
    while (group.first > 0 && (controls[group.first].style & WS_GROUP) == 0) {
        --group.first;
    }
    while (group.last < controls.size() && (controls[group.last].style & WS_GROUP) == 0) {
        ++group.last;
    }
    return group;
}

bool ClickButton(std::vector<DialogControl>& controls, std::size_t index) {
    DialogControl& clicked = controls.at(index);
    if (clicked.kind != ControlKind::Button || clicked.IsButtonOfType(BS_GROUPBOX)) {
        return false;
    }
    if (clicked.IsButtonOfType(BS_AUTOCHECKBOX)) {
        clicked.check = clicked.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (clicked.IsButtonOfType(BS_AUTORADIOBUTTON)) {
        const ControlGroup group = GroupOf(controls, index);
        for (std::size_t i = group.first; i < group.last; ++i) {
            if (controls[i].IsButtonOfType(BS_AUTORADIOBUTTON)) {
                controls[i].check = BST_UNCHECKED;
            }
        }
        clicked.check = BST_CHECKED;
    }
    return true;
}

}  // namespace quotamin
