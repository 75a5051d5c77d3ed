// Another program of the user's desktop session, with a window of its own. It
// writes what that window hears of the session's end into the report file,
// one line a message; the end of the session ends it. Given "log-off", it first
// ends the session itself through the program's session terminator and writes
// what the request answered. If it is still there after the seconds given, it
// writes "survived" and exits with kSurvived.
//
//   session_end_watcher <report file> <seconds> [log-off]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "session/SessionTerminator.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "os/Win32Handles.h"

namespace {

constexpr int kSurvived = 2;
constexpr int kUsage = 3;

void Report(HWND window, const std::string& line) {
    auto* report = reinterpret_cast<std::ofstream*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    *report << line << "\n" << std::flush;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION || message == WM_ENDSESSION) {
        char line[64];
        std::snprintf(line, sizeof line, "%s %u %#lx",
                      message == WM_QUERYENDSESSION ? "WM_QUERYENDSESSION" : "WM_ENDSESSION",
                      static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam));
        Report(window, line);
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const bool logOff = argc == 4 && std::string(argv[3]) == "log-off";
    if (argc != 3 && !logOff) {
        return kUsage;
    }
    std::ofstream report(argv[1], std::ios::binary | std::ios::trunc);
    const int seconds = std::atoi(argv[2]);
    if (!report || seconds <= 0) {
        return kUsage;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuotaminSessionEndWatcher";
    ::RegisterClassA(&windowClass);
    const quotamin::UniqueWindow window(::CreateWindowA(
        windowClass.lpszClassName, "Quotamin session-end watcher", WS_OVERLAPPEDWINDOW, 0, 0, 200,
        100, nullptr, nullptr, windowClass.hInstance, nullptr));
    ::SetWindowLongPtrA(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&report));
    ::ShowWindow(window.Get(), SW_SHOWNOACTIVATE);

    if (logOff) {
        // The log-off only starts here: the session then asks this window
        // whether it may end, as it asks the program's main window.
        const bool accepted = quotamin::MakeNativeSessionTerminator()->LogOff();
        Report(window.Get(), std::string("LogOff ") + (accepted ? "1" : "0"));
    }
    ::SetTimer(window.Get(), 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            Report(window.Get(), "survived");
            return kSurvived;
        }
        ::DispatchMessageA(&message);
    }
    return 0;
}
