#pragma once
// An in-memory window system with a virtual clock, for tests: it implements
// WindowSystem over the windows (WindowModel), the drawing surfaces (Raster),
// the timers (VirtualTimers), the default window procedures
// (DefaultWindowProcedure) and the two threads that take turns (Lockstep).
// A test drives it through tests/support/HeadlessDriver.h, as a user would.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/NotifyIconSet.h"
#include "platform/Resources.h"
#include "platform/WindowSystem.h"
#include "platform/headless/DefaultWindowProcedure.h"
#include "platform/headless/Lockstep.h"
#include "platform/headless/Raster.h"
#include "platform/headless/VirtualTimers.h"
#include "platform/headless/WindowModel.h"

namespace quotamin {

// One call of ShellNotifyIcon as the headless window system received it.
struct NotifyIconCall {
    std::uint32_t message = 0;
    NotifyIconData data;
};

// A message box as it was shown.
struct ShownMessageBox {
    WindowHandle window{};
    WindowHandle owner{};
    std::string caption;
    std::string text;
    std::uint32_t type = 0;
};

// A dialog that has ended, and the code its DoModal returned.
struct EndedDialog {
    int templateId = 0;
    std::intptr_t result = 0;
};

class HeadlessWindowSystem : public WindowSystem {
  public:
    // The dialog templates' font on a screen of 96 dots per inch.
    static constexpr DialogBaseUnits kBaseUnits = kMsSansSerif8BaseUnits;

    explicit HeadlessWindowSystem(
        ResourceTable resources,
        std::string programPath = "C:\\Program Files\\Quotamin\\diduvavi.exe");
    ~HeadlessWindowSystem() override;

    // The parts.
    Lockstep& Turns() { return m_turns; }
    WindowModel& Windows() { return m_windows; }
    const WindowModel& Windows() const { return m_windows; }
    Raster& Drawing() { return m_raster; }
    const Raster& Drawing() const { return m_raster; }
    VirtualTimers& Clock() { return m_timers; }
    const VirtualTimers& Clock() const { return m_timers; }
    const ResourceTable& Resources() const { return m_resources; }

    // Input, on the user-interface thread. A key goes to the innermost modal
    // window, whose modal loop hands it to the dialog manager: Enter and Escape
    // send their commands, Tab moves the focus; a message box takes Enter and
    // Escape as its OK button.
    void PressKey(WParam key, bool shift = false);
    // InvalidateRect with erasing: the next WM_PAINT erases the background first.
    void Invalidate(WindowHandle window);
    // A window of its own that no dialog stands behind, for code that only needs a handle.
    WindowHandle CreatePlainWindow() { return m_windows.CreatePlainWindow(); }

    // What was shown and called, in order.
    const std::vector<ShownMessageBox>& MessageBoxHistory() const { return m_messageBoxHistory; }
    const std::vector<EndedDialog>& DialogHistory() const { return m_dialogHistory; }
    const std::vector<NotifyIconCall>& NotifyIconCalls() const { return m_notifyIconCalls; }
    const NotifyIconSet& NotifyIcons() const { return m_notifyIcons; }

    // Faults: from now on the shell refuses every action (or takes them again);
    // memory drawing contexts cannot be created (or can again).
    void RefuseNotifyIcon(bool refuse) { m_refuseNotifyIcon = refuse; }
    void FailMemoryContexts(bool fail) { m_raster.FailMemoryContexts(fail); }

    // --- WindowSystem ---

    std::intptr_t RunModalDialog(DialogHost& host, int templateId) override;
    bool EndDialog(WindowHandle dialog, std::intptr_t result) override;
    LResult DefaultProcessing(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) override;
    LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                        LParam lParam) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    std::string ApplicationName() override;
    WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
    std::string GetWindowText(WindowHandle window) override;
    void SetWindowText(WindowHandle window, const std::string& text) override;
    bool ShowWindow(WindowHandle window, int command) override;
    bool SetForegroundWindow(WindowHandle window) override;
    WindowHandle SetFocus(WindowHandle window) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    bool IsIconic(WindowHandle window) override;
    Rect GetClientRect(WindowHandle window) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id,
                            std::uint32_t milliseconds) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    MenuHandle GetSystemMenu(WindowHandle window, bool revert) override;
    bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                    const std::string& text) override;
    std::string LoadString(int resourceId) override;
    IconHandle LoadIcon(int resourceId) override;
    BitmapHandle LoadBitmap(int resourceId) override;
    bool GetObject(BitmapHandle bitmap, BitmapInfo& info) override;
    bool DeleteObject(BitmapHandle bitmap) override;
    int GetSystemMetrics(int index) override;
    DcHandle BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window, DcHandle dc) override;
    DcHandle CreateCompatibleDC(DcHandle dc) override;
    bool DeleteDC(DcHandle dc) override;
    BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap) override;
    bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                std::uint32_t rop) override;
    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop) override;
    bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon) override;
    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

  private:
    void RequireUiThread() const;
    // Runs the innermost modal loop until `window` has ended or is gone.
    void RunLoop(WindowHandle window);
    void DestroyWindow(WindowHandle window);

    ResourceTable m_resources;
    std::string m_programPath;
    WindowModel m_windows;
    Raster m_raster;
    VirtualTimers m_timers;
    NotifyIconSet m_notifyIcons;
    std::vector<ShownMessageBox> m_messageBoxHistory;
    std::vector<EndedDialog> m_dialogHistory;
    std::vector<NotifyIconCall> m_notifyIconCalls;
    bool m_refuseNotifyIcon = false;
    DefaultWindowProcedure m_defaults{*this, m_windows, m_raster, m_turns};
    // Last: stopped first, while everything the code under test uses still exists.
    Lockstep m_turns;
};

}  // namespace quotamin
