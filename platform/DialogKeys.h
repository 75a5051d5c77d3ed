#pragma once
// What the keys that end or answer a dialog send it, as the dialog manager
// decides: Enter sends the command of the focused push button, else that of the
// default push button (BS_DEFPUSHBUTTON; nothing when it is disabled), else
// IDOK. Escape sends IDCANCEL. The title bar's close box sends SC_CLOSE, which
// the default processing turns into WM_CLOSE and the dialog manager into
// IDCANCEL, as Escape.

#include "platform/WindowsHeaderOrder.h"

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/DialogControl.h"

namespace quotamin {

// A WM_COMMAND for the dialog: the command id, and the control that sends it
// (none for IDOK or IDCANCEL without a button of that id).
struct KeyCommand {
    int id = 0;
    std::optional<std::size_t> control;
};

// The push button that Enter presses when the focus is on no push button.
std::optional<std::size_t> DefaultPushButton(const std::vector<DialogControl>& controls);

// Nothing when the default push button is disabled: Windows only beeps.
std::optional<KeyCommand> EnterCommand(const std::vector<DialogControl>& controls,
                                       std::optional<std::size_t> focused);
KeyCommand CancelCommand(const std::vector<DialogControl>& controls);

}  // namespace quotamin
