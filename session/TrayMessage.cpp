#include "session/TrayMessage.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/MinuteAccount.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "platform/WindowSystem.h"

namespace quotamin {

namespace {

// The program's own icon, the one its windows show too.
constexpr int kProgramIconResource = 128;
// The record's first form, without balloon fields, as 32-bit Windows sizes it.
constexpr std::uint32_t kNotifyIconDataFirstFormSize = 88;

// Copies as lstrcpynA does with the field's size as limit: up to the text's first
// zero or the field's last but one byte, then a terminating zero. A longer
// tooltip loses its end, so the minute count of a long user name may be cut.
void CopyTip(const std::string& tip, char (&field)[sizeof(NotifyIconData::szTip)]) {
    const std::size_t length = std::min(std::strlen(tip.c_str()), sizeof field - 1);
    std::memcpy(field, tip.c_str(), length);
    field[length] = '\0';
}

}  // namespace

bool TrayMessage(WindowSystem& windowSystem, WindowHandle window, const QuotaminConfig& config,
                 TraceLog& log, std::uint32_t message) {
    // Written first, so that the log tells every action, accepted or not.
    log.BeginLine() << "TrayMessage, " << message;
    log.EndLine();

    // Built for every action, the removal too: the shell gets the same whole record each time.
    const std::string tip = MinuteAccount().TooltipText(config);

    NotifyIconData data;
    // The window system turns the first form's size into that form's size on its machine.
    data.cbSize = kNotifyIconDataFirstFormSize;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // Loaded afresh each time; a shared icon of the module needs no releasing.
    data.hIcon = windowSystem.LoadIcon(kProgramIconResource);
    CopyTip(tip, data.szTip);
    return windowSystem.ShellNotifyIcon(message, data);
}

}  // namespace quotamin
