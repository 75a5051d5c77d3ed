#pragma once
// Drives the headless window system the way a user would, and tells a test
// what the user would see. Start() runs the code under test on its own
// thread, in turns with the test (platform/headless/Lockstep.h): each action
// returns once the code under test is idle again, and the queries may be
// called whenever the test has control. Actions apply to the innermost modal
// window (the one a user can reach) unless they name a window; an action that
// no user could do there is refused with std::logic_error.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessWindowSystem.h"

namespace quotamin::testing {

class HeadlessDriver;

// A message box as the user sees it.
struct MessageBoxView {
    WindowHandle window{};
    WindowHandle owner{};
    std::string caption;
    std::string text;
    std::uint32_t type = 0;
    HeadlessDriver* driver = nullptr;
    // Presses its OK button (only for a box that is still open).
    void PressOk() const;
};

class HeadlessDriver {
  public:
    explicit HeadlessDriver(HeadlessWindowSystem& windowSystem) : m_ui(windowSystem) {}

    HeadlessWindowSystem& System() const { return m_ui; }

    // --- Running the code under test ---

    using Running = Lockstep::Running;
    // Runs `code` on the user-interface thread until it is idle or done.
    Running Start(std::function<void()> code) { return m_ui.Turns().Start(std::move(code)); }
    // True when the started code has returned; rethrows what escaped from it.
    bool Finished() { return m_ui.Turns().Finished(); }

    // --- Actions ---

    // Lets `duration` of virtual time pass; timers fire at their due times.
    void AdvanceBy(std::chrono::milliseconds duration);
    // Types `text` at the end of edit control `id` (which gets the focus).
    void Type(int id, const std::string& text);
    // Replaces the text of control `id`, as WM_SETTEXT does.
    void SetText(int id, const std::string& text);
    // Clicks control `id`: a button gets BM_CLICK, an edit the focus.
    void Click(int id);
    void PressEnter();
    void PressEscape();
    void PressTab(bool shift = false);
    // The title bar's close box: SC_CLOSE.
    void PressCloseBox();
    // Chooses an entry of the system menu (it must be there).
    void ChooseSystemCommand(std::uint32_t id);
    // Sends a message to any window, as another program or the shell would.
    LResult Send(WindowHandle window, std::uint32_t message, WParam wParam = 0, LParam lParam = 0);
    // Repaints a window: WM_PAINT, whose BeginPaint erases the background first.
    void Paint(WindowHandle window);
    // Sends WM_ERASEBKGND with the window's drawing context; returns the result.
    LResult EraseBackground(WindowHandle window);
    // Resizes the client area; minimising makes it empty.
    void SetClientSize(WindowHandle window, int width, int height);
    void Minimize(WindowHandle window);
    // Presses OK in message box `box`, which must be in front.
    void PressMessageBoxOk(WindowHandle box);

    // --- Queries ---

    std::chrono::milliseconds Now() const { return m_ui.Clock().Now(); }
    // The open modal windows (dialogs and message boxes), innermost last.
    std::vector<WindowHandle> ModalWindows() const { return m_ui.Windows().ModalStack(); }
    WindowHandle TopWindow() const { return m_ui.Windows().Innermost(); }
    // The open dialog of template `templateId` (the innermost, if several); none if none.
    WindowHandle FindDialog(int templateId) const;
    int TemplateOf(WindowHandle window) const { return Require(window).templateId; }
    WindowHandle OwnerOf(WindowHandle window) const { return Require(window).owner; }
    WindowHandle ControlOf(WindowHandle dialog, int id) const;
    bool IsOpen(WindowHandle window) const { return m_ui.Windows().Exists(window); }
    bool IsVisible(WindowHandle window) const;
    bool IsEnabled(WindowHandle window) const;
    bool IsTopmost(WindowHandle window) const { return Require(window).topmost; }
    WindowHandle Foreground() const { return m_ui.Windows().Foreground(); }
    WindowHandle Focus() const { return m_ui.Windows().Focus(); }
    // The control that has the focus, as an id (0 when it is no control).
    int FocusedControlId() const;
    std::string TextOf(WindowHandle window) const;
    // The texts of all of a dialog's controls, in template order.
    std::vector<std::string> ControlTexts(WindowHandle dialog) const;
    // A control of the innermost modal dialog.
    std::string ControlText(int id) const { return TopControl(id).text; }
    int Check(int id) const { return TopControl(id).check; }
    // Where a control of a dialog is, in the dialog's client coordinates.
    Rect ControlRect(WindowHandle dialog, int id) const;
    std::vector<MenuItem> SystemMenuOf(WindowHandle window) const {
        return Require(window).systemMenu;
    }
    IconHandle WindowIcon(WindowHandle window, WParam which) const;
    std::vector<TimerInfo> Timers() const { return m_ui.Clock().List(); }
    // The innermost open message box; throws when there is none in front.
    MessageBoxView TopMessageBox();
    std::vector<MessageBoxView> OpenMessageBoxes();
    // Every message box shown so far, open or answered, in order.
    const std::vector<ShownMessageBox>& MessageBoxHistory() const {
        return m_ui.MessageBoxHistory();
    }
    const std::vector<DrawCall>& DrawCalls() const { return m_ui.Drawing().DrawCalls(); }
    void ClearDrawCalls() { m_ui.Drawing().ClearDrawCalls(); }
    std::uint32_t PixelAt(WindowHandle window, int x, int y) const {
        return m_ui.Drawing().PixelAt(window, x, y);
    }
    const std::vector<NotifyIconCall>& NotifyIconCalls() const { return m_ui.NotifyIconCalls(); }
    std::size_t LiveBitmaps() const { return m_ui.Drawing().LiveBitmaps(); }
    std::size_t LiveMemoryContexts() const { return m_ui.Drawing().LiveMemoryContexts(); }

  private:
    const WindowModel::Window& Require(WindowHandle window) const;
    const WindowModel::Window& TopDialog() const;
    const DialogControl& TopControl(int id) const;
    MessageBoxView ViewOf(WindowHandle box);

    HeadlessWindowSystem& m_ui;
};

}  // namespace quotamin::testing
