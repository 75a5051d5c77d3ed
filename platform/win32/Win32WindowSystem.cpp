#include "platform/win32/Win32.h"

#include <cstring>

#include "platform/NativeWindowSystem.h"

namespace quotamin {

namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
HICON ToHicon(IconHandle icon) {
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon));
}
IconHandle FromHicon(HICON icon) {
    return static_cast<IconHandle>(reinterpret_cast<std::uintptr_t>(icon));
}

class Win32WindowSystem : public WindowSystem {
  public:
    explicit Win32WindowSystem(const ResourceTable& resources) : resources_(resources) {}

    IconHandle LoadIcon(int resourceId) override {
        return FromHicon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
    }

    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
        NOTIFYICONDATAA record{};
        // The caller's size names the form of the record; 88 is the first form on
        // 32-bit Windows, whose 64-bit counterpart is larger.
        DWORD size = data.cbSize;
        if (sizeof(void*) == 8 && size == 88) {
            size = NOTIFYICONDATAA_V1_SIZE;
        }
        record.cbSize = size;
        record.hWnd = ToHwnd(data.hWnd);
        record.uID = data.uID;
        record.uFlags = data.uFlags;
        record.uCallbackMessage = data.uCallbackMessage;
        record.hIcon = ToHicon(data.hIcon);
        static_assert(sizeof(record.szTip) >= sizeof(data.szTip));
        std::memcpy(record.szTip, data.szTip, sizeof(data.szTip));
        return ::Shell_NotifyIconA(message, &record) != FALSE;
    }

  private:
    ResourceTable resources_;
};

}  // namespace

std::unique_ptr<WindowSystem> MakeNativeWindowSystem(const ResourceTable& resources) {
    return std::make_unique<Win32WindowSystem>(resources);
}

}  // namespace quotamin
