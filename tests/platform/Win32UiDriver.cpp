// Drives the Win32 window system from the test's thread through real window
// messages, while the code under test runs its modal loops on a thread of its
// own. It waits by watching the windows' state, never for a fixed time.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/NativeWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"
// Last: its macros would rename the layer's names.
#include "platform/win32/Win32.h"

namespace quotamin::test {
namespace {

using namespace std::chrono_literals;

// Long enough for a machine that is busy with other work.
constexpr auto kPatience = 20s;
constexpr UINT kPatienceMs = 20000;

bool IsDialogWindow(HWND window) {
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof name);
    return std::string(name) == "#32770";
}

BOOL CALLBACK CollectDialogWindow(HWND window, LPARAM windows) {
    if (::IsWindowVisible(window) && IsDialogWindow(window)) {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

// Wine adds an entry of its own to every system menu, after a separator.
constexpr UINT kAboutWineCommand = 0xF141;

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if ((info.fType & MFT_SEPARATOR) != 0) {
            items.push_back({MF_SEPARATOR, 0, ""});
            continue;
        }
        if (info.wID == kAboutWineCommand) {
            items.pop_back();
            continue;
        }
        char text[256] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.push_back({MF_STRING, info.wID, text});
    }
    return items;
}

class Win32UiDriver : public UiDriver {
  public:
    Win32UiDriver() : m_system(MakeNativeWindowSystem(ProbeResources())) {}
    ~Win32UiDriver() override { Stop(); }

    WindowSystem& System() override { return *m_system; }
    std::string Name() const override { return "Win32"; }

    void Start(std::function<void()> code) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = false;
            m_threadId = 0;
        }
        m_ui = std::thread([this, code = std::move(code)] {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_threadId = ::GetCurrentThreadId();
            }
            m_changed.notify_all();
            code();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_finished = true;
            }
            m_changed.notify_all();
        });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_threadId != 0; });
    }

    // Answers whatever is open (Cancel to the layer's dialogs, OK to message
    // boxes) until the code has returned.
    bool Stop() override {
        if (!m_ui.joinable()) {
            return true;
        }
        const auto until = std::chrono::steady_clock::now() + kPatience;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_finished && std::chrono::steady_clock::now() < until) {
            lock.unlock();
            for (HWND window : Windows()) {
                const WPARAM answer =
                    ::GetPropA(window, kDialogHostProperty) != nullptr ? IDCANCEL : IDOK;
                ::PostMessageA(window, WM_COMMAND, answer, 0);
            }
            lock.lock();
            m_changed.wait_for(lock, 100ms, [this] { return m_finished; });
        }
        const bool finished = m_finished;
        lock.unlock();
        if (finished) {
            m_ui.join();
        } else {
            m_ui.detach();
        }
        return finished;
    }

    ::testing::AssertionResult WaitFor(const std::string& what,
                                       const std::function<bool()>& condition) override {
        return PollFor(what, condition, kPatience);
    }

    void AdvanceBy(std::chrono::milliseconds) override {}

    // Keys go where the user's keys would: to the focus window of the thread,
    // whose modal loop hands them to the dialog manager.
    void PressEnter() override { PostKey(VK_RETURN); }
    void PressEscape() override { PostKey(VK_ESCAPE); }
    void PressTab() override { PostKey(VK_TAB); }
    void PressCloseBox() override { ::PostMessageA(Top(), WM_SYSCOMMAND, SC_CLOSE, 0); }
    void ChooseSystemCommand(std::uint32_t id) override {
        ::PostMessageA(Top(), WM_SYSCOMMAND, id, 0);
    }
    void Click(int id) override { ::PostMessageA(::GetDlgItem(Top(), id), BM_CLICK, 0, 0); }

    void SetText(int id, const std::string& text) override {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutA(::GetDlgItem(Top(), id), WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kPatienceMs,
                                  &result) == 0) {
            ADD_FAILURE() << "control " << id << " did not take its text in time";
        }
    }

    void AnswerMessageBox() override { ::PostMessageA(Top(), WM_COMMAND, IDOK, 0); }

    void Repaint() override {
        ::RedrawWindow(Top(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }

    WindowHandle TopWindow() override { return ToWindowHandle(Top()); }

    SeenMessageBox TopMessageBox() override {
        HWND top = Top();
        if (top == nullptr || ::GetPropA(top, kDialogHostProperty) != nullptr) {
            return {};
        }
        char caption[256] = {};
        char text[1024] = {};
        ::GetWindowTextA(top, caption, sizeof caption);
        // The message box shows its text in a static control of id 0xFFFF.
        ::GetDlgItemTextA(top, 0xFFFF, text, sizeof text);
        return {true, caption, text, ToWindowHandle(::GetWindow(top, GW_OWNER))};
    }

    int OpenWindows() override { return static_cast<int>(Windows().size()); }

    bool IsEnabled(WindowHandle window) override {
        return ::IsWindowEnabled(ToHwnd(window)) != FALSE;
    }

    bool IsVisible(WindowHandle window) override {
        return ::IsWindowVisible(ToHwnd(window)) != FALSE;
    }

    bool IsTopmost(WindowHandle window) override {
        return (::GetWindowLongA(ToHwnd(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }

    WindowHandle ActiveWindow() override {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(m_threadId, &info) ? ToWindowHandle(info.hwndActive)
                                                     : WindowHandle{};
    }

    int Check(int id) override {
        DWORD_PTR check = 0;
        if (::SendMessageTimeoutA(::GetDlgItem(Top(), id), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                                  kPatienceMs, &check) == 0) {
            return -1;
        }
        return static_cast<int>(check);
    }

    int FocusedControlId() override {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!::GetGUIThreadInfo(m_threadId, &info) || info.hwndFocus == nullptr ||
            !::IsChild(Top(), info.hwndFocus)) {
            return 0;
        }
        return ::GetDlgCtrlID(info.hwndFocus);
    }

    Rect ControlRect(int id) override {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(Top(), id), &rect);
        ::MapWindowPoints(nullptr, Top(), reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    Rect ClientRect() override {
        RECT rect{};
        ::GetClientRect(Top(), &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    DialogBaseUnits BaseUnits() override {
        const Rect units = MapDialogRect({0, 0, 4, 8});
        return {units.right, units.bottom};
    }

    Rect MapDialogRect(const Rect& units) override {
        RECT rect{units.left, units.top, units.right, units.bottom};
        ::MapDialogRect(Top(), &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    std::vector<MenuItem> SystemMenu() override {
        const HWND window = Top();
        // Read on the window's own thread, where its system menu lives.
        return OnUi(ToWindowHandle(window),
                    [window] { return ReadMenu(::GetSystemMenu(window, FALSE)); })
            .value_or(std::vector<MenuItem>{});
    }

    std::uint32_t PixelAt(int x, int y) override {
        const HWND window = Top();
        const UniqueWindowDc dc(::GetDC(window), WindowDcKind{window});
        return ::GetPixel(dc.Get(), x, y);
    }

    std::uint32_t DialogBackground() override { return ::GetSysColor(COLOR_3DFACE); }

    std::uint32_t BitmapPixel(int resourceId, int x, int y) override {
        const UniqueGdiObject<HBITMAP> bitmap(
            ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
        const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        const HGDIOBJ before = ::SelectObject(dc.Get(), bitmap.Get());
        const COLORREF pixel = ::GetPixel(dc.Get(), x, y);
        ::SelectObject(dc.Get(), before);
        return pixel;
    }

  protected:
    bool Dispatch(WindowHandle window, std::shared_ptr<UiCall> call) override {
        // Kept as long as the driver: a call abandoned below may still be in the queue.
        m_calls.push_back(call);
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutA(ToHwnd(window), kRunOnUiMessage, 0,
                                  reinterpret_cast<LPARAM>(call.get()), SMTO_NORMAL, kPatienceMs,
                                  &result) == 0) {
            call->Abandon();
            return false;
        }
        return call->Done();
    }

  private:
    // The visible dialog windows (the layer's and message boxes) of the thread.
    std::vector<HWND> Windows() const {
        std::vector<HWND> windows;
        ::EnumThreadWindows(m_threadId, &CollectDialogWindow, reinterpret_cast<LPARAM>(&windows));
        return windows;
    }

    // The innermost modal window: the one that is still enabled.
    HWND Top() const {
        for (HWND window : Windows()) {
            if (::IsWindowEnabled(window)) {
                return window;
            }
        }
        return nullptr;
    }

    void PostKey(WPARAM key) {
        // Right after a window closes the focus may still be on what is going
        // away; the key goes to the focus once it is within the window in front.
        HWND target = Top();
        const bool focused = WaitFor("the keyboard focus in the window in front", [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            target = Top();
            if (::GetGUIThreadInfo(m_threadId, &info) && info.hwndFocus != nullptr &&
                (info.hwndFocus == target || ::IsChild(target, info.hwndFocus))) {
                target = info.hwndFocus;
                return true;
            }
            return false;
        });
        if (!focused) {
            ADD_FAILURE() << "no focus to send the key to";
        }
        const UINT scan = ::MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        ::PostMessageA(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
        ::PostMessageA(target, WM_KEYUP, key,
                       static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    }

    std::unique_ptr<WindowSystem> m_system;
    std::thread m_ui;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    DWORD m_threadId = 0;
    bool m_finished = false;
    std::vector<std::shared_ptr<UiCall>> m_calls;
};

}  // namespace

std::unique_ptr<UiDriver> MakeWin32Driver() {
    return std::make_unique<Win32UiDriver>();
}

}  // namespace quotamin::test
