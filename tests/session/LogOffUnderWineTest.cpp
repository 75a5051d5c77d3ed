// Logs off Wine's own desktop session for real. ctest runs this program in a
// Wine prefix of its own, so the log-off ends nothing but the child process
// started here; the test itself has no window and outlives the session's end.
// On Windows proper it is skipped: it would log off whoever runs it.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

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

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

TEST(LogOffUnderWine, EndsTheSessionsWindowedProcessAndReportsTheRequestAccepted) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "logs off the real session outside Wine";
    }
    const std::string directory = ThisDirectory();
    const std::string report = directory + "logoff-child-report.txt";
    DeleteFileA(report.c_str());
    std::string commandLine = "\"" + directory + "session_logoff_child.exe\" \"" + report + "\"";

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << GetLastError();
    const Handle processHandle(process.hProcess);
    const Handle threadHandle(process.hThread);

    ASSERT_EQ(WaitForSingleObject(processHandle.get(), 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    EXPECT_NE(exitCode, kSurvived) << "the session's end did not end the child";

    std::ifstream file(report);
    std::stringstream lines;
    lines << file.rdbuf();
    EXPECT_EQ(lines.str(), "LogOff 1\nWM_ENDSESSION 1\n");
}

}  // namespace
