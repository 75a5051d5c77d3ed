#pragma once
// One control of a dialog as the dialog manager sees it: what its template
// gave it and the state the dialog manager's rules read and change (its check,
// whether it can be reached). A backend keeps one per control, in template
// order, which is the tab order and the order of groups.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/Handles.h"
#include "platform/Messages.h"
#include "platform/Resources.h"

namespace quotamin {

struct DialogControl {
    WindowHandle window{};  // given by the backend that creates it
    int id = -1;
    ControlKind kind = ControlKind::Static;
    std::uint32_t style = 0;  // as in the template, without WS_CHILD and WS_VISIBLE
    std::string text;
    int iconResource = 0;
    int check = BST_UNCHECKED;
    bool enabled = true;
    bool visible = true;
    Rect rect;  // in the dialog's client coordinates

    // Reachable by the keyboard and the mouse.
    bool Reachable() const { return enabled && visible; }
    bool IsButtonOfType(std::uint32_t type) const;
    bool IsPushButton() const;
};

// The controls of a template as the dialog manager creates them: visible,
// enabled unless WS_DISABLED, unchecked, placed by ControlRect; no windows yet.
std::vector<DialogControl> CreateControls(const DialogTemplate& dialog, DialogBaseUnits base);

}  // namespace quotamin
