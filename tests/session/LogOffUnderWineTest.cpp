// Logs off Wine's own desktop session for real. ctest runs this program in a
// Wine prefix of its own, so the log-off ends nothing but the watcher started
// here (tests/support/SessionEndWatcher.cpp), which asks for it; the test
// itself has no window and outlives the session's end. On Windows proper it is
// skipped: it would log off whoever runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "os/Win32Handles.h"

namespace {

constexpr DWORD kSurvived = 2;

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string ThisDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

TEST(LogOffUnderWine, EndsTheSessionsWindowedProcessAndReportsTheRequestAccepted) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "logs off the real session outside Wine";
    }
    const std::string report = ThisDirectory() + "logoff-watcher-report.txt";
    DeleteFileA(report.c_str());
    const std::filesystem::path watcher =
        std::filesystem::current_path() / "session_end_watcher.exe";
    std::string commandLine = "\"" + watcher.string() + "\" \"" + report + "\" 30 log-off";

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << GetLastError();
    const quotamin::UniqueKernelObject processHandle(process.hProcess);
    const quotamin::UniqueKernelObject threadHandle(process.hThread);

    ASSERT_EQ(WaitForSingleObject(processHandle.Get(), 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    EXPECT_NE(exitCode, kSurvived) << "the session's end did not end the watcher";

    std::ifstream file(report);
    std::stringstream lines;
    lines << file.rdbuf();
    EXPECT_EQ(lines.str(), "LogOff 1\nWM_QUERYENDSESSION 0 0\nWM_ENDSESSION 1 0\n");
}

}  // namespace
