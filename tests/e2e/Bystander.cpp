// Another program of the user's desktop session, with a window of its own. It
// writes the session-end messages that window receives into the file named by
// its argument; the end of the session ends it. If it is still there after two
// minutes it exits with kSurvived.

#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kSurvived = 2;
constexpr int kUsage = 3;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION || message == WM_ENDSESSION) {
        auto* report = reinterpret_cast<std::FILE*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        std::fprintf(report, "%s %u %#lx\n",
                     message == WM_QUERYENDSESSION ? "WM_QUERYENDSESSION" : "WM_ENDSESSION",
                     static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam));
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
    const std::unique_ptr<std::FILE, FileCloser> report(std::fopen(argv[1], "wb"));
    if (!report) {
        return kUsage;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuotaminBystander";
    RegisterClassA(&windowClass);
    const std::unique_ptr<HWND__, WindowDestroyer> window(
        CreateWindowA(windowClass.lpszClassName, "Quotamin bystander", WS_OVERLAPPEDWINDOW, 0, 0,
                      200, 100, nullptr, nullptr, windowClass.hInstance, nullptr));
    SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(report.get()));
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);

    SetTimer(window.get(), 1, 120000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            std::fprintf(report.get(), "survived\n");
            return kSurvived;
        }
        DispatchMessageA(&message);
    }
    return 0;
}
