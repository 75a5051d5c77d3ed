// A process of Wine's desktop session that logs that session off through the
// native terminator. It writes what LogOff returned into the file named by its
// argument, then what its window hears of the session's end. It is ended by the
// log-off; if it is still there after half a minute it exits with kSurvived.

#include <windows.h>

#include <cstdio>
#include <memory>

#include "session/SessionTerminator.h"

namespace {

constexpr int kSurvived = 2;
constexpr int kUsage = 3;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION) {
        auto* report = reinterpret_cast<std::FILE*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        std::fprintf(report, "WM_ENDSESSION %u\n", static_cast<unsigned>(wParam));
        std::fflush(report);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return kUsage;
    }
    const File report(std::fopen(argv[1], "w"));
    if (!report) {
        return kUsage;
    }

    // The log-off ends the processes that have windows in the session, as the
    // program's own main window does.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuotaminLogOffChild";
    RegisterClassA(&windowClass);
    const std::unique_ptr<HWND__, WindowDestroyer> window(
        CreateWindowA(windowClass.lpszClassName, "Quotamin log-off", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                      100, nullptr, nullptr, windowClass.hInstance, nullptr));
    SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(report.get()));

    const bool accepted = quotamin::MakeNativeSessionTerminator()->LogOff();
    std::fprintf(report.get(), "LogOff %d\n", accepted ? 1 : 0);
    std::fflush(report.get());

    // The log-off only starts here; the session asks this window whether it may end.
    const DWORD deadline = GetTickCount() + 30000;
    while (GetTickCount() < deadline) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
    std::fprintf(report.get(), "survived\n");
    return kSurvived;
}
