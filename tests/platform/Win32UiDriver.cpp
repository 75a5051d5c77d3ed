// Drives the Win32 window system from the test's thread through real window
// messages, while the code under test runs its modal loops on a thread of its own.

#include "platform/win32/Win32.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/NativeWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"

namespace quotamin::test {
namespace {

using namespace std::chrono_literals;

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
WindowHandle FromHwnd(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

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

class Win32UiDriver : public UiDriver {
  public:
    Win32UiDriver() : m_system(MakeNativeWindowSystem(ProbeResources())) {}
    ~Win32UiDriver() override { Stop(); }

    WindowSystem& System() override { return *m_system; }

    void Start(std::function<void()> code) override {
        m_finished = false;
        m_threadId = 0;
        m_ui = std::thread([this, code = std::move(code)] {
            m_threadId = ::GetCurrentThreadId();
            code();
            m_finished = true;
        });
        while (m_threadId == 0) {
            std::this_thread::sleep_for(1ms);
        }
    }

    // Answers whatever is open (Cancel to dialogs, OK to message boxes) until
    // the code has returned.
    void Stop() override {
        if (!m_ui.joinable()) {
            return;
        }
        for (int attempt = 0; !m_finished && attempt < 500; ++attempt) {
            for (HWND window : Windows()) {
                if (::GetPropA(window, kDialogHostProperty) != nullptr) {
                    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                } else {
                    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
                }
            }
            std::this_thread::sleep_for(20ms);
        }
        if (!m_finished) {
            std::fputs("The Win32 dialogs under test did not end; giving up.\n", stderr);
            std::abort();
        }
        m_ui.join();
    }

    bool WaitFor(const std::function<bool()>& condition) override {
        for (auto until = std::chrono::steady_clock::now() + 10s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(10ms)) {
            if (condition()) {
                return true;
            }
        }
        return condition();
    }

    void AdvanceBy(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }

    // Keys go where the user's keys would: to the focus window of the thread,
    // whose modal loop hands them to the dialog manager.
    void PressEnter() override { PostKey(VK_RETURN); }
    void PressEscape() override { PostKey(VK_ESCAPE); }
    void PressCloseBox() override { ::PostMessageA(Top(), WM_SYSCOMMAND, SC_CLOSE, 0); }

    void Click(int id) override { ::PostMessageA(::GetDlgItem(Top(), id), BM_CLICK, 0, 0); }

    void SetText(int id, const std::string& text) override {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(::GetDlgItem(Top(), id), WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &result);
    }

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
        return {true, caption, text, FromHwnd(::GetWindow(top, GW_OWNER))};
    }

    void AnswerMessageBox() override { ::PostMessageA(Top(), WM_COMMAND, IDOK, 0); }

    int OpenWindows() override { return static_cast<int>(Windows().size()); }

    bool IsEnabled(WindowHandle window) override {
        return ::IsWindowEnabled(ToHwnd(window)) != FALSE;
    }

    std::string Name() const override { return "Win32"; }

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
        WaitFor([&] {
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
        const UINT scan = ::MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        ::PostMessageA(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
        ::PostMessageA(target, WM_KEYUP, key,
                       static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    }

    std::unique_ptr<WindowSystem> m_system;
    std::thread m_ui;
    std::atomic<DWORD> m_threadId{0};
    std::atomic<bool> m_finished{false};
};

}  // namespace

std::unique_ptr<UiDriver> MakeWin32Driver() {
    return std::make_unique<Win32UiDriver>();
}

}  // namespace quotamin::test
