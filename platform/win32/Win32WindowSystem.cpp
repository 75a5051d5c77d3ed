#include <cstring>
#include <map>
#include <vector>

#include "platform/NativeWindowSystem.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "platform/win32/Win32.h"

namespace quotamin {

namespace {

HINSTANCE Module() {
    return ::GetModuleHandleA(nullptr);
}

class Win32WindowSystem;

struct OwnedWindowSearch {
    HWND owner;
    HWND found;
};

// Finds a visible, enabled window that the search's owner owns.
BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedWindowSearch*>(context);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// What the window procedures need of one of the layer's dialogs. It lives on
// the stack of RunModalDialog for as long as the dialog runs; the dialog's
// user data points to it, which the window procedures read without a call to
// the window server (a window property costs one on every message).
struct DialogLink {
    Win32WindowSystem* system;
    DialogHost* host;
    WNDPROC original = nullptr;
};

DialogLink* LinkOf(HWND window) {
    return reinterpret_cast<DialogLink*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

class Win32WindowSystem : public WindowSystem {
  public:
    // Each dialog from its template among the program file's resources.
    std::intptr_t RunModalDialog(DialogHost& host, int templateId) override {
        DialogLink link{this, &host};
        return ::DialogBoxParamA(Module(), MAKEINTRESOURCEA(templateId), InnermostWindow(),
                                 &DialogProc, reinterpret_cast<LPARAM>(&link));
    }

    bool EndDialog(WindowHandle dialog, std::intptr_t result) override {
        return ::EndDialog(ToHwnd(dialog), result) != FALSE;
    }

    LResult DefaultProcessing(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) override {
        HWND hwnd = ToHwnd(window);
        const DialogLink* link = LinkOf(hwnd);
        if (link == nullptr) {
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
        }
        return ::CallWindowProcA(link->original, hwnd, message, wParam, lParam);
    }

    LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                        LParam lParam) override {
        return ::SendMessageA(ToHwnd(window), message, wParam, lParam);
    }

    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override {
        return ::MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), type);
    }

    std::string ApplicationName() override {
        char path[MAX_PATH + 1] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        return ApplicationNameFromPath(path);
    }

    WindowHandle GetDlgItem(WindowHandle dialog, int id) override {
        return ToWindowHandle(::GetDlgItem(ToHwnd(dialog), id));
    }

    std::string GetWindowText(WindowHandle window) override {
        const int length = ::GetWindowTextLengthA(ToHwnd(window));
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const int read = ::GetWindowTextA(ToHwnd(window), text.data(), length + 1);
        text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
        return text;
    }

    void SetWindowText(WindowHandle window, const std::string& text) override {
        ::SetWindowTextA(ToHwnd(window), text.c_str());
    }

    bool ShowWindow(WindowHandle window, int command) override {
        return ::ShowWindow(ToHwnd(window), command) != FALSE;
    }

    bool SetForegroundWindow(WindowHandle window) override {
        return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
    }

    WindowHandle SetFocus(WindowHandle window) override {
        return ToWindowHandle(::SetFocus(ToHwnd(window)));
    }

    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override {
        return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags) != FALSE;
    }

    bool IsIconic(WindowHandle window) override { return ::IsIconic(ToHwnd(window)) != FALSE; }

    Rect GetClientRect(WindowHandle window) override {
        RECT rect{};
        ::GetClientRect(ToHwnd(window), &rect);
        return Rect{rect.left, rect.top, rect.right, rect.bottom};
    }

    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id,
                            std::uint32_t milliseconds) override {
        return ::SetTimer(ToHwnd(window), id, milliseconds, nullptr);
    }

    bool KillTimer(WindowHandle window, std::uintptr_t id) override {
        return ::KillTimer(ToHwnd(window), id) != FALSE;
    }

    MenuHandle GetSystemMenu(WindowHandle window, bool revert) override {
        return HandleCast<MenuHandle>(::GetSystemMenu(ToHwnd(window), revert ? TRUE : FALSE));
    }

    bool AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                    const std::string& text) override {
        return ::AppendMenuA(HandleCast<HMENU>(menu), flags, id,
                             (flags & MF_SEPARATOR) != 0 ? nullptr : text.c_str()) != FALSE;
    }

    std::string LoadString(int resourceId) override {
        char text[1024] = {};
        const int length =
            ::LoadStringA(Module(), static_cast<UINT>(resourceId), text, sizeof text);
        return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
    }

    IconHandle LoadIcon(int resourceId) override {
        return HandleCast<IconHandle>(::LoadIconA(Module(), MAKEINTRESOURCEA(resourceId)));
    }

    BitmapHandle LoadBitmap(int resourceId) override {
        return HandleCast<BitmapHandle>(::LoadBitmapA(Module(), MAKEINTRESOURCEA(resourceId)));
    }

    bool GetObject(BitmapHandle bitmap, BitmapInfo& info) override {
        BITMAP data{};
        if (::GetObjectA(HandleCast<HBITMAP>(bitmap), sizeof data, &data) == 0) {
            return false;
        }
        info.bmWidth = data.bmWidth;
        info.bmHeight = data.bmHeight;
        return true;
    }

    bool DeleteObject(BitmapHandle bitmap) override {
        return ::DeleteObject(HandleCast<HBITMAP>(bitmap)) != FALSE;
    }

    int GetSystemMetrics(int index) override { return ::GetSystemMetrics(index); }

    DcHandle BeginPaint(WindowHandle window) override {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(ToHwnd(window), &paint);
        if (dc != nullptr) {
            m_paints[dc] = paint;
        }
        return HandleCast<DcHandle>(dc);
    }

    void EndPaint(WindowHandle window, DcHandle dc) override {
        auto found = m_paints.find(HandleCast<HDC>(dc));
        if (found != m_paints.end()) {
            ::EndPaint(ToHwnd(window), &found->second);
            m_paints.erase(found);
        }
    }

    DcHandle CreateCompatibleDC(DcHandle dc) override {
        return HandleCast<DcHandle>(::CreateCompatibleDC(HandleCast<HDC>(dc)));
    }

    bool DeleteDC(DcHandle dc) override { return ::DeleteDC(HandleCast<HDC>(dc)) != FALSE; }

    BitmapHandle SelectObject(DcHandle dc, BitmapHandle bitmap) override {
        return HandleCast<BitmapHandle>(
            ::SelectObject(HandleCast<HDC>(dc), HandleCast<HBITMAP>(bitmap)));
    }

    bool BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                std::uint32_t rop) override {
        return ::BitBlt(HandleCast<HDC>(dest), x, y, cx, cy, HandleCast<HDC>(source), sx, sy,
                        rop) != FALSE;
    }

    bool StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    int scx, int scy, std::uint32_t rop) override {
        return ::StretchBlt(HandleCast<HDC>(dest), x, y, cx, cy, HandleCast<HDC>(source), sx, sy,
                            scx, scy, rop) != FALSE;
    }

    bool DrawIcon(DcHandle dc, int x, int y, IconHandle icon) override {
        return ::DrawIcon(HandleCast<HDC>(dc), x, y, HandleCast<HICON>(icon)) != FALSE;
    }

    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
        NOTIFYICONDATAA record{};
        // The caller's size names the form of the record. 88 is the first form
        // on 32-bit Windows, whose 64-bit counterpart is larger.
        record.cbSize = data.cbSize == 88 ? NOTIFYICONDATAA_V1_SIZE : data.cbSize;
        record.hWnd = ToHwnd(data.hWnd);
        record.uID = data.uID;
        record.uFlags = data.uFlags;
        record.uCallbackMessage = data.uCallbackMessage;
        record.hIcon = HandleCast<HICON>(data.hIcon);
        static_assert(sizeof(record.szTip) >= sizeof(data.szTip));
        std::memcpy(record.szTip, data.szTip, sizeof(data.szTip));
        return ::Shell_NotifyIconA(message, &record) != FALSE;
    }

  private:
    // The window a new dialog belongs to: the innermost of the open dialogs,
    // or the window in front of it (a message box) that it owns, and so on.
    HWND InnermostWindow() const {
        if (m_open.empty()) {
            return nullptr;
        }
        HWND innermost = m_open.back();
        for (bool deeper = true; deeper;) {
            OwnedWindowSearch search{innermost, nullptr};
            ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedWindow,
                                reinterpret_cast<LPARAM>(&search));
            deeper = search.found != nullptr;
            if (deeper) {
                innermost = search.found;
            }
        }
        return innermost;
    }

    // The dialog procedure: at WM_INITDIALOG it links the window to its host
    // and puts SubclassProc in front of the dialog manager's window procedure,
    // so that every later message reaches the host first and the host's
    // default processing is the dialog manager's. The host is also named in a
    // window property, which tells the layer's dialogs from message boxes.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_INITDIALOG || LinkOf(window) != nullptr) {
            return FALSE;
        }
        auto* link = reinterpret_cast<DialogLink*>(lParam);
        ::SetPropA(window, kDialogHostProperty, reinterpret_cast<HANDLE>(link->host));
        link->original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link));
        link->system->m_open.push_back(window);
        return link->host->ReceiveMessage(ToWindowHandle(window), WM_INITDIALOG, wParam, 0);
    }

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        DialogLink* link = LinkOf(window);
        const LRESULT result =
            link->host->ReceiveMessage(ToWindowHandle(window), message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->original));
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            ::RemovePropA(window, kDialogHostProperty);
            std::erase(link->system->m_open, window);
        }
        return result;
    }

    std::vector<HWND> m_open;
    std::map<HDC, PAINTSTRUCT> m_paints;
};

}  // namespace

std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable&) {
    return std::make_unique<Win32WindowSystem>();
}

bool ClaimSession(WindowSystem&) {
    return true;
}

}  // namespace quotamin
