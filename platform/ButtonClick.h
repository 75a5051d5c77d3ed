#pragma once
// What a click (BM_CLICK, or the mouse) does to a button of a dialog: an auto
// check box toggles; an auto radio button is checked and every other auto
// radio button of its group unchecked. A group runs from a control with
// WS_GROUP (or the first control) up to the next control with WS_GROUP.

#include <cstddef>
#include <vector>

#include "platform/DialogControl.h"

namespace quotamin {

// The group of controls[index]: the indexes [first, last).
struct ControlGroup {
    std::size_t first = 0;
    std::size_t last = 0;
};
ControlGroup GroupOf(const std::vector<DialogControl>& controls, std::size_t index);

// Applies a click on controls[index]. Returns whether the dialog hears of it
// (WM_COMMAND with BN_CLICKED): for every button but a group box.
bool ClickButton(std::vector<DialogControl>& controls, std::size_t index);

}  // namespace quotamin
