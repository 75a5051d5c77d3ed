#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/NativeSystem.h"
#include "core/QuotaminConfig.h"
#include "session/LinuxSessionTerminator.h"
#include "session/SessionTerminator.h"
#include "session/WindowsSessionCalls.h"
#include "session/WindowsSessionTerminator.h"

namespace quotamin {
namespace {

std::string Hex(std::uintmax_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%jx", value);
    return text;
}

std::string Hex(KernelHandle handle) {
    return Hex(static_cast<std::uintptr_t>(handle));
}

// What the recorded system answers.
struct Answers {
    bool openToken = true;
    bool lookup = true;
    bool adjust = true;
    std::uint32_t lastError = 0;
    bool exitWindows = true;
};

constexpr KernelHandle kProcess{0x51};
constexpr KernelHandle kToken{0x70};
constexpr Luid kShutdownLuid{19, 0};

// Writes every call with its arguments into a journal and answers as told.
class RecordingCalls final : public WindowsSessionCalls {
  public:
    RecordingCalls(Answers answers, std::vector<std::string>& journal)
        : m_answers(answers), m_journal(journal) {}

    KernelHandle GetCurrentProcess() override {
        m_journal.push_back("GetCurrentProcess()");
        return kProcess;
    }
    bool OpenProcessToken(KernelHandle process, std::uint32_t desiredAccess,
                          KernelHandle* token) override {
        m_journal.push_back("OpenProcessToken(" + Hex(process) + ", " + Hex(desiredAccess) + ")");
        if (m_answers.openToken) {
            *token = kToken;
        }
        return m_answers.openToken;
    }
    bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override {
        m_journal.push_back("LookupPrivilegeValueA(" +
                            std::string(systemName == nullptr ? "null" : systemName) + ", " + name +
                            ")");
        if (m_answers.lookup) {
            *luid = kShutdownLuid;
        }
        return m_answers.lookup;
    }
    bool AdjustTokenPrivileges(KernelHandle token, bool disableAllPrivileges,
                               const SinglePrivilege* newState, std::uint32_t bufferLength,
                               SinglePrivilege* previousState,
                               std::uint32_t* returnLength) override {
        m_journal.push_back("AdjustTokenPrivileges(" + Hex(token) + ", " +
                            (disableAllPrivileges ? "TRUE" : "FALSE") + ", {count " +
                            std::to_string(newState->privilegeCount) + ", luid " +
                            std::to_string(newState->luid.lowPart) + ":" +
                            std::to_string(newState->luid.highPart) + ", attributes " +
                            Hex(newState->attributes) + "}, " + std::to_string(bufferLength) +
                            ", " + (previousState == nullptr ? "null" : "buffer") + ", " +
                            (returnLength == nullptr ? "null" : "length") + ")");
        return m_answers.adjust;
    }
    std::uint32_t GetLastError() override {
        m_journal.push_back("GetLastError()");
        return m_answers.lastError;
    }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        m_journal.push_back("ExitWindowsEx(" + Hex(flags) + ", " + Hex(reason) + ")");
        return m_answers.exitWindows;
    }
    bool CloseHandle(KernelHandle handle) override {
        m_journal.push_back("CloseHandle(" + Hex(handle) + ")");
        return true;
    }

  private:
    Answers m_answers;
    std::vector<std::string>& m_journal;
};

struct Path {
    const char* name;
    Answers answers;
    bool result;
    std::vector<std::string> calls;
};

const std::string kOpen = "GetCurrentProcess()";
const std::string kOpenToken = "OpenProcessToken(0x51, 0x28)";
const std::string kLookup = "LookupPrivilegeValueA(null, SeShutdownPrivilege)";
const std::string kAdjust =
    "AdjustTokenPrivileges(0x70, FALSE, {count 1, luid 19:0, attributes 0x2}, 0, null, null)";
const std::string kLastError = "GetLastError()";
const std::string kClose = "CloseHandle(0x70)";
const std::string kShutdown = "ExitWindowsEx(0x5, 0x0)";

TEST(WindowsSessionTerminator, ForceShutdownWalksEachPathWithItsCalls) {
    const std::vector<Path> paths = {
        {"accepted",
         {},
         true,
         {kOpen, kOpenToken, kLookup, kAdjust, kLastError, kClose, kShutdown}},
        {"shutdown refused",
         {.exitWindows = false},
         false,
         {kOpen, kOpenToken, kLookup, kAdjust, kLastError, kClose, kShutdown}},
        {"token not opened", {.openToken = false}, false, {kOpen, kOpenToken}},
        {"privilege not held: the adjustment succeeds and leaves ERROR_NOT_ALL_ASSIGNED",
         {.lastError = 1300},
         false,
         {kOpen, kOpenToken, kLookup, kAdjust, kLastError, kClose}},
        {"lookup failed: the adjustment of an unknown privilege leaves its error",
         {.lookup = false, .adjust = false, .lastError = 1313},
         false,
         {kOpen, kOpenToken, kLookup,
          "AdjustTokenPrivileges(0x70, FALSE, {count 1, luid 0:0, attributes 0x2}, 0, null, null)",
          kLastError, kClose}},
        {"only the last error decides, not the adjustment's result",
         {.adjust = false},
         true,
         {kOpen, kOpenToken, kLookup, kAdjust, kLastError, kClose, kShutdown}},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        std::vector<std::string> journal;
        WindowsSessionTerminator terminator(
            std::make_unique<RecordingCalls>(path.answers, journal));
        EXPECT_EQ(terminator.ForceShutdown(), path.result);
        EXPECT_EQ(journal, path.calls);
    }
}

TEST(WindowsSessionTerminator, LogOffIsOneRequestThatAsksApplicationsToClose) {
    for (const bool accepted : {true, false}) {
        std::vector<std::string> journal;
        WindowsSessionTerminator terminator(
            std::make_unique<RecordingCalls>(Answers{.exitWindows = accepted}, journal));
        EXPECT_EQ(terminator.LogOff(), accepted);
        EXPECT_EQ(journal, std::vector<std::string>{"ExitWindowsEx(0x0, 0xffffffff)"});
    }
}

// Counts the requests instead of making them.
class CountingTerminator final : public SessionTerminator {
  public:
    bool LogOff() override {
        ++logOffs;
        return true;
    }
    bool ForceShutdown() override {
        ++shutdowns;
        return false;
    }
    int logOffs = 0;
    int shutdowns = 0;
};

TEST(EndSession, LogsOffOnlyWhenTheRecordSaysOne) {
    struct Choice {
        std::int32_t logoffOnExpiry;
        int logOffs;
        int shutdowns;
    };
    NativeSystem system;
    for (const Choice choice :
         {Choice{1, 1, 0}, Choice{0, 0, 1}, Choice{2, 0, 1}, Choice{-1, 0, 1}}) {
        SCOPED_TRACE(choice.logoffOnExpiry);
        QuotaminConfig config(system);
        config.m_logoffOnExpiry = choice.logoffOnExpiry;
        CountingTerminator terminator;
        // The result is the chosen request's own.
        EXPECT_EQ(EndSession(terminator, config), choice.logOffs == 1);
        EXPECT_EQ(terminator.logOffs, choice.logOffs);
        EXPECT_EQ(terminator.shutdowns, choice.shutdowns);
    }
}

#ifdef _WIN32
// The real calls up to the shutdown request, which is never made here: the
// process's own token opens, the privilege has its system-wide identifier, and
// the adjustment leaves either success or the not-held error.
TEST(Win32SessionCalls, EnableTheShutdownPrivilegeInThisProcessToken) {
    const auto calls = MakeWin32SessionCalls();
    KernelHandle token{};
    ASSERT_TRUE(calls->OpenProcessToken(calls->GetCurrentProcess(),
                                        kTokenAdjustPrivileges | kTokenQuery, &token));
    SinglePrivilege privilege;
    ASSERT_TRUE(calls->LookupPrivilegeValueA(nullptr, kShutdownPrivilegeName, &privilege.luid));
    EXPECT_EQ(privilege.luid.lowPart, 19u);
    EXPECT_EQ(privilege.luid.highPart, 0);
    privilege.privilegeCount = 1;
    privilege.attributes = kSePrivilegeEnabled;
    EXPECT_TRUE(calls->AdjustTokenPrivileges(token, false, &privilege, 0, nullptr, nullptr));
    const std::uint32_t error = calls->GetLastError();
    EXPECT_TRUE(error == 0 || error == kErrorNotAllAssigned) << error;
    EXPECT_TRUE(calls->CloseHandle(token));
}
#else
// Only the kind is checked: a request would reach this machine's real session.
TEST(NativeSessionTerminator, OutsideWindowsIsTheDBusOne) {
    const auto terminator = MakeNativeSessionTerminator();
    EXPECT_NE(dynamic_cast<LinuxSessionTerminator*>(terminator.get()), nullptr);
}
#endif

}  // namespace
}  // namespace quotamin
