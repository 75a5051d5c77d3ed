#pragma once
// Menus: a window's system menu, which no Linux window manager shows for a
// program, opens on a right click on the window's background; the entries
// the program added to it are also the notification-area icon's menu.

#include "platform/WindowsHeaderOrder.h"

#include <QtWidgets/QMenu>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/DefaultSystemMenu.h"

namespace quotamin {

// The property of a menu's action that holds the command it sends.
inline constexpr const char* kCommandProperty = "quotaminCommand";

// Fills `menu` with `items`; choosing one calls `chosen` with its id once the
// menu has closed and the event that chose it is done, as a posted
// WM_SYSCOMMAND arrives.
void FillMenu(QMenu& menu, const std::vector<MenuItem>& items,
              const std::function<void(std::uintptr_t)>& chosen);

// Whether a system command can be carried out here: the window manager moves,
// sizes and maximises the windows, so of the default entries only Close and
// (for a minimised window) Restore do something; the program's own entries
// always do.
bool SystemCommandAvailable(std::uintptr_t id, bool iconic);

// The entries that the program added to a window's system menu: those after
// the window's default entries, without the separators at either end.
std::vector<MenuItem> ProgramEntries(const std::vector<MenuItem>& menu, std::uint32_t windowStyle);

}  // namespace quotamin
