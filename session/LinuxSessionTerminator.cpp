#include "session/LinuxSessionTerminator.h"

#include <utility>
#include <vector>

namespace quotamin {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

DBusCall LogindCall(const char* method, std::vector<DBusValue> arguments) {
    return {Bus::System, kLogind, kLogindPath, kLogindManager, method, std::move(arguments)};
}

// Each desktop's own log-out request that skips the confirmation dialog, in the
// order they are tried. Plasma 5.25 and later serve the log-out apart from
// ksmserver; older Plasma has only ksmserver's, where 0, 0, 0 means no
// confirmation, no shutdown after the log-out, and at the manager's pace.
std::vector<DBusCall> SessionManagerLogOuts() {
    return {
        // Mode 1 skips the dialog without forcing: 0 would ask, 2 ignores the inhibitors.
        {Bus::Session,
         "org.gnome.SessionManager",
         "/org/gnome/SessionManager",
         "org.gnome.SessionManager",
         "Logout",
         {std::uint32_t{1}}},
        {Bus::Session, "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout", {}},
        {Bus::Session,
         "org.kde.ksmserver",
         "/KSMServer",
         "org.kde.KSMServerInterface",
         "logout",
         {std::int32_t{0}, std::int32_t{0}, std::int32_t{0}}},
        // Xfce saves the session or not as the user set it up; only the dialog is skipped.
        {Bus::Session,
         "org.xfce.SessionManager",
         "/org/xfce/SessionManager",
         "org.xfce.Session.Manager",
         "Logout",
         {false, true}},
    };
}

template <typename T>
const T* OnlyValue(const DBusReply& reply) {
    if (!reply.Accepted() || reply.values.size() != 1) {
        return nullptr;
    }
    return std::get_if<T>(&reply.values.front());
}

}  // namespace

LinuxSessionTerminator::LinuxSessionTerminator(std::unique_ptr<LinuxSessionCalls> calls)
    : m_calls(std::move(calls)) {}

bool LinuxSessionTerminator::LogOff() {
    bool managerRunning = false;
    for (const DBusCall& logOut : SessionManagerLogOuts()) {
        if (!m_calls->HasOwner(logOut.bus, logOut.service)) {
            continue;
        }
        managerRunning = true;
        if (m_calls->Call(logOut).Accepted()) {
            return true;
        }
    }
    // A session manager that refused has the last word: ending the session behind
    // its back would close the applications by force, which a log-off never does.
    if (managerRunning) {
        return false;
    }
    return TerminateOwnSession();
}

bool LinuxSessionTerminator::ForceShutdown() {
    // Without interactive authorisation a shutdown that polkit would ask a
    // password for (other users logged in, an inhibitor) is refused at once.
    return m_calls->Call(LogindCall("PowerOff", {false})).Accepted();
}

bool LinuxSessionTerminator::TerminateOwnSession() {
    const std::optional<std::string> id = OwnSessionId();
    if (!id) {
        return false;
    }
    return m_calls->Call(LogindCall("TerminateSession", {*id})).Accepted();
}

// The session logind counts this process in; where it counts it in none (a
// process started by the user's service manager), the session it was started
// from, as the login left it in the environment.
std::optional<std::string> LinuxSessionTerminator::OwnSessionId() {
    const DBusReply session =
        m_calls->Call(LogindCall("GetSessionByPID", {m_calls->GetProcessId()}));
    if (const ObjectPath* path = OnlyValue<ObjectPath>(session)) {
        const DBusReply id =
            m_calls->Call({Bus::System,
                           kLogind,
                           path->value,
                           "org.freedesktop.DBus.Properties",
                           "Get",
                           {std::string("org.freedesktop.login1.Session"), std::string("Id")}});
        if (const std::string* text = OnlyValue<std::string>(id);
            text != nullptr && !text->empty()) {
            return *text;
        }
    }
    std::optional<std::string> fromLogin = m_calls->GetEnvironmentVariable("XDG_SESSION_ID");
    if (fromLogin && !fromLogin->empty()) {
        return fromLogin;
    }
    return std::nullopt;
}

}  // namespace quotamin
