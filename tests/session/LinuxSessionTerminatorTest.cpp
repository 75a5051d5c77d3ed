#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "session/LinuxSessionCalls.h"
#include "session/LinuxSessionTerminator.h"

namespace quotamin {
namespace {

std::string Describe(const DBusValue& value) {
    struct Visitor {
        std::string operator()(std::monostate) const { return "?"; }
        std::string operator()(bool held) const { return held ? "b true" : "b false"; }
        std::string operator()(std::int32_t held) const { return "i " + std::to_string(held); }
        std::string operator()(std::uint32_t held) const { return "u " + std::to_string(held); }
        std::string operator()(const std::string& held) const { return "s \"" + held + "\""; }
        std::string operator()(const ObjectPath& held) const { return "o " + held.value; }
    };
    return std::visit(Visitor{}, value);
}

const char* BusName(Bus bus) {
    return bus == Bus::Session ? "session" : "system";
}

// What the recorded buses and process answer.
struct Answers {
    // Services with an owner, on either bus.
    std::set<std::string> running{};
    // Methods ("service method") that answer with an error.
    std::set<std::string> refused{};
    DBusReply sessionByPid{"", {ObjectPath{"/org/freedesktop/login1/session/c7"}}};
    DBusReply sessionId{"", {std::string("c7")}};
    std::optional<std::string> xdgSessionId{};
};

// Writes every call with its typed arguments into a journal and answers as told.
class RecordingCalls final : public LinuxSessionCalls {
  public:
    RecordingCalls(Answers answers, std::vector<std::string>& journal)
        : m_answers(std::move(answers)), m_journal(journal) {}

    bool HasOwner(Bus bus, const std::string& name) override {
        m_journal.push_back(std::string("owner? ") + BusName(bus) + " " + name);
        return m_answers.running.count(name) != 0;
    }

    DBusReply Call(const DBusCall& call) override {
        std::string line = std::string("call ") + BusName(call.bus) + " " + call.service + " " +
                           call.path + " " + call.interface + "." + call.method + "(";
        for (std::size_t i = 0; i < call.arguments.size(); ++i) {
            line += (i == 0 ? "" : ", ") + Describe(call.arguments[i]);
        }
        m_journal.push_back(line + ")");
        if (m_answers.refused.count(call.service + " " + call.method) != 0) {
            return {"org.freedesktop.DBus.Error.AccessDenied", {}};
        }
        if (call.method == "GetSessionByPID") {
            return m_answers.sessionByPid;
        }
        if (call.method == "Get") {
            return m_answers.sessionId;
        }
        return {};
    }

    std::uint32_t GetProcessId() override { return 4242; }

    std::optional<std::string> GetEnvironmentVariable(const char* name) override {
        m_journal.push_back(std::string("env ") + name);
        return std::string(name) == "XDG_SESSION_ID" ? m_answers.xdgSessionId : std::nullopt;
    }

  private:
    Answers m_answers;
    std::vector<std::string>& m_journal;
};

const std::string kGnome = "org.gnome.SessionManager";
const std::string kKde = "org.kde.Shutdown";
const std::string kKsmServer = "org.kde.ksmserver";
const std::string kXfce = "org.xfce.SessionManager";
const std::string kLogind = "org.freedesktop.login1";

const std::string kAskGnome = "owner? session org.gnome.SessionManager";
const std::string kAskKde = "owner? session org.kde.Shutdown";
const std::string kAskKsmServer = "owner? session org.kde.ksmserver";
const std::string kAskXfce = "owner? session org.xfce.SessionManager";
const std::string kGnomeLogout =
    "call session org.gnome.SessionManager /org/gnome/SessionManager "
    "org.gnome.SessionManager.Logout(u 1)";
const std::string kKdeLogout = "call session org.kde.Shutdown /Shutdown org.kde.Shutdown.logout()";
const std::string kKsmServerLogout =
    "call session org.kde.ksmserver /KSMServer org.kde.KSMServerInterface.logout(i 0, i 0, i 0)";
const std::string kXfceLogout =
    "call session org.xfce.SessionManager /org/xfce/SessionManager "
    "org.xfce.Session.Manager.Logout(b false, b true)";
const std::string kSessionByPid =
    "call system org.freedesktop.login1 /org/freedesktop/login1 "
    "org.freedesktop.login1.Manager.GetSessionByPID(u 4242)";
const std::string kSessionId =
    "call system org.freedesktop.login1 /org/freedesktop/login1/session/c7 "
    "org.freedesktop.DBus.Properties.Get(s \"org.freedesktop.login1.Session\", s \"Id\")";
const std::string kEnvironment = "env XDG_SESSION_ID";
std::string Terminate(const std::string& id) {
    return "call system org.freedesktop.login1 /org/freedesktop/login1 "
           "org.freedesktop.login1.Manager.TerminateSession(s \"" +
           id + "\")";
}
const std::vector<std::string> kNoManager = {kAskGnome, kAskKde, kAskKsmServer, kAskXfce};

std::vector<std::string> Then(std::vector<std::string> first,
                              const std::vector<std::string>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

struct Path {
    const char* name;
    Answers answers;
    bool result;
    std::vector<std::string> calls;
};

TEST(LinuxSessionTerminator, LogOffAsksTheFirstRunningSessionManagerElseLogind) {
    const std::vector<Path> paths = {
        {"GNOME: log-out without confirmation",
         {.running = {kGnome}},
         true,
         {kAskGnome, kGnomeLogout}},
        {"every manager running: GNOME alone is asked",
         {.running = {kGnome, kKde, kKsmServer, kXfce, kLogind}},
         true,
         {kAskGnome, kGnomeLogout}},
        {"Plasma 5.25 and later: the log-out service before ksmserver",
         {.running = {kKde, kKsmServer}},
         true,
         {kAskGnome, kAskKde, kKdeLogout}},
        {"older Plasma: ksmserver without confirmation",
         {.running = {kKsmServer}},
         true,
         {kAskGnome, kAskKde, kAskKsmServer, kKsmServerLogout}},
        {"Xfce: no dialog, the session saved as the user chose",
         {.running = {kXfce}},
         true,
         Then(kNoManager, {kXfceLogout})},
        {"a refusal passes on to the next running manager",
         {.running = {kGnome, kXfce}, .refused = {kGnome + " Logout"}},
         true,
         {kAskGnome, kGnomeLogout, kAskKde, kAskKsmServer, kAskXfce, kXfceLogout}},
        {"every running manager refused: logind is not asked",
         {.running = {kGnome, kKsmServer, kLogind},
          .refused = {kGnome + " Logout", kKsmServer + " logout"}},
         false,
         {kAskGnome, kGnomeLogout, kAskKde, kAskKsmServer, kKsmServerLogout, kAskXfce}},
        {"no manager: logind ends the session it counts this process in",
         {},
         true,
         Then(kNoManager, {kSessionByPid, kSessionId, Terminate("c7")})},
        {"no manager: logind refuses",
         {.refused = {kLogind + " TerminateSession"}},
         false,
         Then(kNoManager, {kSessionByPid, kSessionId, Terminate("c7")})},
        {"process in no session: the session of the login's environment",
         {.refused = {kLogind + " GetSessionByPID"}, .xdgSessionId = "3"},
         true,
         Then(kNoManager, {kSessionByPid, kEnvironment, Terminate("3")})},
        {"session's id unreadable: the session of the login's environment",
         {.refused = {kLogind + " Get"}, .xdgSessionId = "3"},
         true,
         Then(kNoManager, {kSessionByPid, kSessionId, kEnvironment, Terminate("3")})},
        {"a session answer of another type is no answer",
         {.sessionByPid = {"", {std::string("/org/freedesktop/login1/session/c7")}},
          .xdgSessionId = "3"},
         true,
         Then(kNoManager, {kSessionByPid, kEnvironment, Terminate("3")})},
        {"an empty id is no id",
         {.sessionId = {"", {std::string()}}, .xdgSessionId = "3"},
         true,
         Then(kNoManager, {kSessionByPid, kSessionId, kEnvironment, Terminate("3")})},
        {"no session known: nothing is terminated",
         {.refused = {kLogind + " GetSessionByPID"}},
         false,
         Then(kNoManager, {kSessionByPid, kEnvironment})},
        {"an empty session variable names no session",
         {.refused = {kLogind + " GetSessionByPID"}, .xdgSessionId = ""},
         false,
         Then(kNoManager, {kSessionByPid, kEnvironment})},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        std::vector<std::string> journal;
        LinuxSessionTerminator terminator(std::make_unique<RecordingCalls>(path.answers, journal));
        EXPECT_EQ(terminator.LogOff(), path.result);
        EXPECT_EQ(journal, path.calls);
    }
}

TEST(LinuxSessionTerminator, ForceShutdownIsLogindsPowerOffWithoutInteraction) {
    const std::string powerOff =
        "call system org.freedesktop.login1 /org/freedesktop/login1 "
        "org.freedesktop.login1.Manager.PowerOff(b false)";
    const std::vector<Path> paths = {
        // The session managers running change nothing: the power-off is logind's alone.
        {"accepted", {.running = {kGnome, kKde, kXfce}}, true, {powerOff}},
        {"refused, as polkit does with other users logged in",
         {.refused = {kLogind + " PowerOff"}},
         false,
         {powerOff}},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        std::vector<std::string> journal;
        LinuxSessionTerminator terminator(std::make_unique<RecordingCalls>(path.answers, journal));
        EXPECT_EQ(terminator.ForceShutdown(), path.result);
        EXPECT_EQ(journal, path.calls);
    }
}

}  // namespace
}  // namespace quotamin
