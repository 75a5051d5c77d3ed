#pragma once
// The window system underneath the program's dialogs: one interface, one
// implementation per backend (Win32, and a headless one for tests). Dialog,
// the controls, the drawing context and the session code call it; dialog code
// goes through those classes. The operations keep their Win32 names and meaning.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/Handles.h"
#include "platform/Messages.h"
#include "platform/NotifyIcon.h"

namespace quotamin {

// The object behind a dialog window: the window system hands it every message
// of that window.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    // Handles one message; must not throw, since it is called from system code.
    virtual LResult ReceiveMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                   LParam lParam) noexcept = 0;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Dialogs. RunModalDialog creates the dialog of template `templateId`, owned
    // by the innermost modal window that is open (none for the first), runs its
    // modal loop and returns the code given to EndDialog; -1 when the template
    // does not exist.
    virtual std::intptr_t RunModalDialog(DialogHost& host, int templateId) = 0;
    virtual bool EndDialog(WindowHandle dialog, std::intptr_t result) = 0;
    // What the window system does with a message the dialog leaves to it.
    virtual LResult DefaultProcessing(WindowHandle window, std::uint32_t message, WParam wParam,
                                      LParam lParam) = 0;
    virtual LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                LParam lParam) = 0;
    // A modal message box; returns the button pressed.
    virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) = 0;
    // The program file's name without directory and extension.
    virtual std::string ApplicationName() = 0;

    // Windows and controls.
    virtual WindowHandle GetDlgItem(WindowHandle dialog, int id) = 0;
    virtual std::string GetWindowText(WindowHandle window) = 0;
    virtual void SetWindowText(WindowHandle window, const std::string& text) = 0;
    virtual bool ShowWindow(WindowHandle window, int command) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    virtual WindowHandle SetFocus(WindowHandle window) = 0;
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                              int cy, std::uint32_t flags) = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual Rect GetClientRect(WindowHandle window) = 0;

    // Window timers: WM_TIMER with the id as first parameter, every `milliseconds`.
    virtual std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id,
                                    std::uint32_t milliseconds) = 0;
    virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;

    // The window's system menu.
    virtual MenuHandle GetSystemMenu(WindowHandle window, bool revert) = 0;
    virtual bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                            const std::string& text) = 0;

    // Resources of the program's own module.
    virtual std::string LoadString(int resourceId) = 0;
    virtual IconHandle LoadIcon(int resourceId) = 0;
    // Null when there is no such bitmap.
    virtual BitmapHandle LoadBitmap(int resourceId) = 0;
    virtual bool GetObject(BitmapHandle bitmap, BitmapInfo& info) = 0;
    virtual bool DeleteObject(BitmapHandle bitmap) = 0;
    virtual int GetSystemMetrics(int index) = 0;

    // Drawing.
    virtual DcHandle BeginPaint(WindowHandle window) = 0;
    virtual void EndPaint(WindowHandle window, DcHandle dc) = 0;
    virtual DcHandle CreateCompatibleDC(DcHandle dc) = 0;
    virtual bool DeleteDC(DcHandle dc) = 0;
    // Selects `bitmap` into a memory context; returns the bitmap selected before.
    virtual BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap) = 0;
    virtual bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx,
                        int sy, std::uint32_t rop) = 0;
    virtual bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx,
                            int sy, int scx, int scy, std::uint32_t rop) = 0;
    virtual bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon) = 0;

    // Adds, modifies or deletes the program's notification-area icon; true when
    // the shell accepted the action.
    virtual bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
};

}  // namespace quotamin
