#pragma once
// An in-memory window system for tests, with a virtual clock, that a test
// drives the way a user would.
//
// The code under test runs on a thread of its own, started with Start(), and
// the two threads take turns: only one of them runs at any time. Whenever the
// innermost modal loop has nothing left to do (no action pending, no timer due
// at the current virtual time) it hands control back to the test; each action
// of the test (a key, a click, time passing) hands it to the code under test
// until that is idle again. So modal loops nest as they do on Windows (a timer
// firing while a message box is open, a dialog opened from a dialog), and the
// test sees each state in between without waiting or racing.
//
// The queries may be called whenever the test has control. Actions apply to the
// innermost modal window (the one a user can reach) unless they name a window.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Resources.h"
#include "platform/WindowSystem.h"

namespace quotamin {

// One call of ShellNotifyIcon as the headless window system received it.
struct NotifyIconCall {
    std::uint32_t message = 0;
    NotifyIconData data;
};

// One drawing operation, as recorded.
struct DrawCall {
    enum Kind { FillBackground, BitBlt, StretchBlt, DrawIcon } kind = FillBackground;
    WindowHandle window{};  // the window drawn on (null for a memory context)
    int x = 0, y = 0, cx = 0, cy = 0;
    int sourceBitmap = 0;  // resource id of the bitmap selected into the source
    int sx = 0, sy = 0, scx = 0, scy = 0;
    std::uint32_t rop = 0;
    IconHandle icon{};
};

struct MenuItem {
    std::uint32_t flags = 0;
    std::uintptr_t id = 0;
    std::string text;
};

struct TimerInfo {
    WindowHandle window{};
    std::uintptr_t id = 0;
    std::uint32_t period = 0;
    std::chrono::milliseconds due{0};
};

class HeadlessWindowSystem;

// A message box as the user sees it.
struct MessageBoxView {
    WindowHandle window{};
    WindowHandle owner{};
    std::string caption;
    std::string text;
    std::uint32_t type = 0;
    HeadlessWindowSystem* windowSystem = nullptr;
    // Presses its OK button (only for a box that is still open).
    void PressOk() const;
};

class HeadlessWindowSystem : public WindowSystem {
  public:
    // The colour of the plain dialog background, and of a client area never drawn.
    static constexpr std::uint32_t kBackgroundColour = 0x00C0C0C0;
    static constexpr std::uint32_t kUnpaintedColour = 0x00FF00FF;
    // Every bitmap's pixel (x, y) has this colour, so a test can tell where each
    // pixel of a window came from.
    static constexpr std::uint32_t BitmapPixel(int x, int y) {
        return 0xFF000000u | (static_cast<std::uint32_t>(x & 0xFFF) << 12) |
               static_cast<std::uint32_t>(y & 0xFFF);
    }

    explicit HeadlessWindowSystem(
        ResourceTable resources,
        std::string programPath = "C:\\Program Files\\Quotamin\\diduvavi.exe");
    ~HeadlessWindowSystem() override;

    // --- Running the code under test ---

    // Stops the code under test when destroyed, unless it has finished.
    class [[nodiscard]] Running {
      public:
        explicit Running(HeadlessWindowSystem& windowSystem) : m_windowSystem(&windowSystem) {}
        Running(Running&& other) noexcept
            : m_windowSystem(std::exchange(other.m_windowSystem, nullptr)) {}
        Running& operator=(Running&&) = delete;
        ~Running() {
            if (m_windowSystem != nullptr) {
                m_windowSystem->Stop();
            }
        }

      private:
        HeadlessWindowSystem* m_windowSystem;
    };
    // Runs `code` on the user-interface thread until it is idle or done.
    Running Start(std::function<void()> code);
    // True when the started code has returned; rethrows what escaped from it.
    bool Finished();
    // Ends every modal loop at once (with -1) and waits for the code to return.
    void Stop();

    // --- Actions ---

    // Lets `duration` of virtual time pass; timers fire at their due times.
    void AdvanceBy(std::chrono::milliseconds duration);
    // Types `text` at the end of edit control `id` (which gets the focus).
    void Type(int id, const std::string& text);
    // Replaces the text of control `id`, as WM_SETTEXT does.
    void SetText(int id, const std::string& text);
    // Clicks control `id`: a check box toggles, a radio button is checked and
    // the others of its group unchecked, and the dialog gets its BN_CLICKED.
    void Click(int id);
    // Enter: the focused push button, else the default push button, else IDOK.
    void PressEnter();
    // Escape: IDCANCEL.
    void PressEscape();
    // The title bar's close box: SC_CLOSE, which the default processing turns
    // into WM_CLOSE and that into IDCANCEL.
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

    // --- Queries ---

    std::chrono::milliseconds Now() const { return m_now; }
    // The open modal windows (dialogs and message boxes), innermost last.
    std::vector<WindowHandle> ModalWindows() const { return m_modal; }
    WindowHandle TopWindow() const;
    // The open dialog of template `templateId` (the innermost, if several).
    WindowHandle FindDialog(int templateId) const;
    int TemplateOf(WindowHandle window) const;
    WindowHandle OwnerOf(WindowHandle window) const;
    WindowHandle ControlOf(WindowHandle dialog, int id) const;
    bool IsOpen(WindowHandle window) const;
    bool IsVisible(WindowHandle window) const;
    bool IsEnabled(WindowHandle window) const;
    bool IsTopmost(WindowHandle window) const;
    WindowHandle Foreground() const { return m_foreground; }
    WindowHandle Focus() const { return m_focus; }
    // The control that has the focus, as an id (0 when it is no control).
    int FocusedControlId() const;
    std::string TextOf(WindowHandle window) const;
    // The texts of all of a dialog's controls, in template order.
    std::vector<std::string> ControlTexts(WindowHandle dialog) const;
    // A control of the innermost modal dialog.
    std::string ControlText(int id) const;
    int Check(int id) const;
    std::vector<MenuItem> SystemMenuOf(WindowHandle window) const;
    IconHandle WindowIcon(WindowHandle window, WParam which) const;
    std::vector<TimerInfo> Timers() const;
    // The innermost open message box; fails the test (throws) when there is none.
    MessageBoxView TopMessageBox();
    std::vector<MessageBoxView> OpenMessageBoxes();
    // Presses OK in message box `box`, which must be in front.
    void PressMessageBoxOk(WindowHandle box);
    // Every message box shown so far, open or answered, in order.
    const std::vector<MessageBoxView>& MessageBoxHistory() const { return m_messageBoxHistory; }
    const std::vector<DrawCall>& DrawCalls() const { return m_drawCalls; }
    void ClearDrawCalls() { m_drawCalls.clear(); }
    std::uint32_t PixelAt(WindowHandle window, int x, int y) const;
    const std::vector<NotifyIconCall>& NotifyIconCalls() const { return m_notifyIconCalls; }

    // --- Settings ---

    // From now on the shell refuses (ShellNotifyIcon returns false) or accepts.
    void RefuseNotifyIcon(bool refuse) { m_refuseNotifyIcon = refuse; }
    // From now on memory drawing contexts cannot be created (or can again).
    void FailMemoryContexts(bool fail) { m_failMemoryContexts = fail; }
    // A window of its own that no dialog stands behind, for code that only needs a handle.
    WindowHandle CreatePlainWindow();

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

    // Live objects, for tests that check nothing leaks.
    std::size_t LiveBitmaps() const { return m_bitmaps.size() - 1; }  // less the stock one
    std::size_t LiveMemoryContexts() const;

  private:
    enum class Kind { Dialog, Control, MessageBox, Plain };
    struct Window {
        Kind kind = Kind::Plain;
        WindowHandle parent{};  // a control's dialog
        WindowHandle owner{};   // a dialog's or message box's owner
        int templateId = 0;
        int controlId = 0;
        ControlKind controlKind = ControlKind::Static;
        std::uint32_t style = 0;
        std::string text;
        std::string caption;  // a message box's
        std::uint32_t boxType = 0;
        bool visible = false;
        bool enabled = true;
        bool topmost = false;
        bool iconic = false;
        bool ended = false;
        bool erasePending = false;
        std::intptr_t result = 0;
        int check = 0;
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        DialogHost* host = nullptr;
        std::vector<WindowHandle> controls;
        std::vector<MenuItem> systemMenu;
        IconHandle bigIcon{}, smallIcon{};
        WindowHandle lastFocus{};
    };
    struct Surface {
        std::vector<std::uint32_t>* pixels = nullptr;
        int width = 0, height = 0;
    };
    struct Context {
        WindowHandle window{};  // a window's context; null for a memory context
        BitmapHandle selected{};
    };
    struct BitmapObject {
        int resourceId = 0;
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
    };
    struct Timer {
        WindowHandle window{};
        std::uintptr_t id = 0;
        std::uint32_t period = 0;
        std::chrono::milliseconds due{0};
        std::uint64_t sequence = 0;
    };
    enum class Turn { Test, Ui };

    Window* Find(WindowHandle window);
    const Window* Find(WindowHandle window) const;
    const Window& Require(WindowHandle window) const;
    const Window& TopDialog() const;
    const Window& TopControl(int id) const;
    WindowHandle NewHandle();
    void RequireUiThread() const;
    void RunOnUi(std::function<void()> action);
    // Runs the user-interface thread's work until `done`, handing control to
    // the test whenever it is idle.
    void Pump(const std::function<bool()>& done);
    void HandToTest(std::unique_lock<std::mutex>& lock);
    void HandToUiAndWait();
    void Deliver(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
    void DestroyWindow(WindowHandle window);
    void ResizeSurface(Window& window);
    Surface SurfaceOf(DcHandle dc);
    int SelectedBitmapResource(DcHandle dc) const;
    MessageBoxView ViewOf(WindowHandle box);
    DcHandle NewContext(WindowHandle window);
    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop, DrawCall::Kind kind);

    ResourceTable m_resources;
    std::string m_programPath;
    std::uintptr_t m_nextHandle = 0x100;
    std::map<WindowHandle, Window> m_windows;
    std::vector<WindowHandle> m_modal;
    WindowHandle m_foreground{};
    WindowHandle m_focus{};
    std::vector<Timer> m_timers;
    std::uint64_t m_timerSequence = 0;
    std::chrono::milliseconds m_now{0};
    std::chrono::milliseconds m_target{0};
    std::deque<std::function<void()>> m_actions;
    std::map<DcHandle, Context> m_contexts;
    std::map<BitmapHandle, BitmapObject> m_bitmaps;
    BitmapHandle m_stockBitmap{};
    std::vector<DrawCall> m_drawCalls;
    std::vector<MessageBoxView> m_messageBoxHistory;
    std::vector<NotifyIconCall> m_notifyIconCalls;
    bool m_refuseNotifyIcon = false;
    bool m_failMemoryContexts = false;

    // The lockstep of the two threads.
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    Turn m_turn = Turn::Test;
    std::thread m_ui;
    std::thread::id m_uiId{};
    bool m_uiRunning = false;
    bool m_stopping = false;
    std::exception_ptr m_uiError;
};

}  // namespace quotamin
