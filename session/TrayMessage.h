#pragma once
// The program's one icon in the notification area: adding it, refreshing its
// tooltip and removing it, each action written to the diagnostic log. The main
// window calls it as its own operation with its handle and the settings record.

#include <cstdint>

#include "platform/Handles.h"
#include "platform/Messages.h"
#include "platform/NotifyIcon.h"

namespace quotamin {

class QuotaminConfig;
class TraceLog;
class WindowSystem;

// What the shell sends the main window for a mouse event on the icon: the icon's
// id as first parameter, the mouse message as second.
inline constexpr std::uint32_t WM_TRAYNOTIFY = WM_USER + 2;

// The icon's id among the main window's notification-area icons.
inline constexpr std::uint32_t kTrayIconId = 128;

// Logs the action, then hands the shell a freshly filled record for `window`
// whose tooltip tells the state of `config` now, and returns whether the shell
// accepted `message` (NIM_ADD, NIM_MODIFY or NIM_DELETE).
bool TrayMessage(WindowSystem& windowSystem, WindowHandle window, const QuotaminConfig& config,
                 TraceLog& log, std::uint32_t message);

}  // namespace quotamin
