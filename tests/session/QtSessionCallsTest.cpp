// The Linux terminator over Qt's D-Bus module, against python-dbusmock's logind
// and small mock session managers on two private buses of the test's own: the
// machine's real session and system buses are never spoken to.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "session/LinuxSessionCalls.h"
#include "session/LinuxSessionTerminator.h"

namespace quotamin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMockInterface = "org.freedesktop.DBus.Mock";
constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

// A program the test starts; stopped and reaped when the test is done with it,
// and killed by the system should the test program die first.
class Child {
  public:
    // With `output`, the child's standard output is a pipe whose reading end it gets.
    explicit Child(const std::vector<std::string>& arguments, int* output = nullptr) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        int ends[2] = {-1, -1};
        if (output != nullptr && ::pipe(ends) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only calls that are safe between fork and exec in a threaded program.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (ends[1] >= 0) {
                ::dup2(ends[1], STDOUT_FILENO);
                ::close(ends[0]);
                ::close(ends[1]);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (ends[1] >= 0) {
            ::close(ends[1]);
            *output = ends[0];
        }
    }
    ~Child() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
};

// A bus daemon of the session kind, and the address it listens on.
class PrivateBus {
  public:
    PrivateBus() {
        int output = -1;
        m_daemon =
            std::make_unique<Child>(std::vector<std::string>{"/usr/bin/dbus-daemon", "--session",
                                                             "--nofork", "--print-address"},
                                    &output);
        if (output < 0) {
            return;
        }
        // The address comes once the daemon listens.
        char c = 0;
        while (::read(output, &c, 1) == 1 && c != '\n') {
            m_address += c;
        }
        ::close(output);
    }

    const std::string& Address() const { return m_address; }

  private:
    std::unique_ptr<Child> m_daemon;
    std::string m_address;
};

bool WaitFor(const auto& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Code for a mock method that refuses arguments of other types than it declares,
// as a real service does: dbusmock by itself converts whatever arrives.
std::string Strict(const std::string& then = "") {
    return "codes = {dbus.Boolean: 'b', dbus.Int32: 'i', dbus.UInt32: 'u', dbus.String: 's'}\n"
           "sent = ''\n"
           "for a in m_args:\n"
           "    sent += codes.get(type(a), '?')\n"
           "if sent != in_signature:\n"
           "    raise dbus.exceptions.DBusException('sent ' + sent, "
           "name='org.freedesktop.DBus.Error.InvalidArgs')\n" +
           then;
}

std::string Refusal(const std::string& error) {
    return "raise dbus.exceptions.DBusException('refused', name='" + error + "')\n";
}

// One python-dbusmock service on its bus, with the calls it logs in a file.
class Mock {
  public:
    // `object` is the service's name, path and interface, or the template's name alone.
    Mock(Bus bus, const std::vector<std::string>& object, const fs::path& log) : m_log(log) {
        std::vector<std::string> arguments = {
            QUOTAMIN_PYTHON, "-m",
            "dbusmock",      bus == Bus::Session ? "--session" : "--system",
            "--logfile",     log.string()};
        if (object.size() == 1) {
            arguments.insert(arguments.end(), {"--template", object[0]});
            m_name = kLogind;
            m_path = kLogindPath;
        } else {
            arguments.insert(arguments.end(), object.begin(), object.end());
            m_name = object[0];
            m_path = object[1];
        }
        m_bus = bus;
        m_process = std::make_unique<Child>(arguments);
    }
    ~Mock() {
        m_process.reset();
        // Gone from the bus before the next step looks at it.
        const auto calls = MakeQtSessionCalls();
        WaitFor([&] { return !calls->HasOwner(m_bus, m_name); });
    }

    // Waits for the service's name on the bus. Calls made from here on are
    // answered once the service has set itself up.
    bool Ready(LinuxSessionCalls& calls) const {
        return m_process->Started() && WaitFor([&] { return calls.HasOwner(m_bus, m_name); });
    }

    // Gives the service's object the method, in place of any of the same name.
    DBusReply AddMethod(LinuxSessionCalls& calls, const std::string& interface,
                        const std::string& method, const std::string& in, const std::string& out,
                        const std::string& code) const {
        return calls.Call({m_bus,
                           m_name,
                           m_path,
                           kMockInterface,
                           "AddMethod",
                           {interface, method, in, out, code}});
    }

    // The lines logged since the last look, each without its time stamp:
    // "Logout 1", "TerminateSession \"2\"", "PowerOff raised: ...", and the
    // properties read: "Get PATH INTERFACE.NAME".
    std::vector<std::string> NewCalls() {
        std::ifstream file(m_log);
        file.seekg(m_seen);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line)) {
            line = line.substr(line.find(' ') + 1);
            // dbusmock's reading of one property goes through its reading of all.
            if (line.rfind("GetAll ", 0) != 0) {
                lines.push_back(line);
            }
        }
        file.clear();
        m_seen = file.tellg();
        return lines;
    }

  private:
    fs::path m_log;
    Bus m_bus = Bus::Session;
    std::string m_name;
    std::string m_path;
    std::unique_ptr<Child> m_process;
    std::streamoff m_seen = 0;
};

class OverPrivateBuses : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auto session = std::make_unique<PrivateBus>();
        auto system = std::make_unique<PrivateBus>();
        if (session->Address().empty() || system->Address().empty()) {
            return;
        }
        // Before the first connection, which reads them.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", session->Address().c_str(), 1);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", system->Address().c_str(), 1);
        // The session the login named; it counts only where logind knows of none.
        ::setenv("XDG_SESSION_ID", "5", 1);
        s_sessionBus = std::move(session);
        s_systemBus = std::move(system);
        s_directory = fs::temp_directory_path() / ("quotamin-dbus-" + std::to_string(::getpid()));
        fs::create_directories(s_directory);
    }
    static void TearDownTestSuite() {
        s_sessionBus.reset();
        s_systemBus.reset();
        std::error_code ignored;
        fs::remove_all(s_directory, ignored);
    }

    void SetUp() override {
        // Without buses of its own the test would reach the machine's.
        ASSERT_NE(s_sessionBus, nullptr) << "no private buses";
        m_calls = MakeQtSessionCalls();
    }

    // logind from dbusmock's template, its methods strict, and this process in
    // session "2", whose object path is escaped as logind escapes it.
    std::unique_ptr<Mock> StartLogind() {
        auto logind = std::make_unique<Mock>(Bus::System, std::vector<std::string>{"logind"},
                                             s_directory / "logind.log");
        EXPECT_TRUE(logind->Ready(*m_calls));
        const std::string own = std::to_string(::getpid());
        const std::string session = "/org/freedesktop/login1/session/_32";
        EXPECT_TRUE(logind
                        ->AddMethod(*m_calls, kLogindManager, "GetSessionByPID", "u", "o",
                                    Strict("if args[0] != " + own + ":\n" + "    " +
                                           Refusal("org.freedesktop.login1.NoSessionForPID") +
                                           "if '" + session +
                                           "' not in objects:\n"
                                           "    self.AddObject('" +
                                           session +
                                           "', 'org.freedesktop.login1.Session', {'Id': '2'}, [])\n"
                                           "ret = dbus.ObjectPath('" +
                                           session + "')\n"))
                        .Accepted());
        EXPECT_TRUE(
            logind->AddMethod(*m_calls, kLogindManager, "TerminateSession", "s", "", Strict())
                .Accepted());
        EXPECT_TRUE(
            logind->AddMethod(*m_calls, kLogindManager, "PowerOff", "b", "", Strict()).Accepted());
        return logind;
    }

    std::unique_ptr<Mock> StartService(const std::string& name, const std::string& path,
                                       const std::string& interface) {
        return std::make_unique<Mock>(Bus::Session, std::vector<std::string>{name, path, interface},
                                      s_directory / (name + ".log"));
    }

    static std::unique_ptr<PrivateBus> s_sessionBus;
    static std::unique_ptr<PrivateBus> s_systemBus;
    static fs::path s_directory;
    std::unique_ptr<LinuxSessionCalls> m_calls;
};

std::unique_ptr<PrivateBus> OverPrivateBuses::s_sessionBus;
std::unique_ptr<PrivateBus> OverPrivateBuses::s_systemBus;
fs::path OverPrivateBuses::s_directory;

using Lines = std::vector<std::string>;

// Every desktop's session manager on the bus at once; then, one after the other,
// the one that answered leaves, and the next in line gets the request.
TEST_F(OverPrivateBuses, LogOffAsksTheFirstSessionManagerOnTheBusThenTheNextThenLogind) {
    struct Manager {
        const char* name;
        const char* path;
        const char* interface;
        const char* method;
        const char* in;
        Lines logged;
    };
    const std::vector<Manager> managers = {
        {"org.gnome.SessionManager",
         "/org/gnome/SessionManager",
         "org.gnome.SessionManager",
         "Logout",
         "u",
         {"Logout 1"}},
        {"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout", "", {"logout"}},
        {"org.kde.ksmserver",
         "/KSMServer",
         "org.kde.KSMServerInterface",
         "logout",
         "iii",
         {"logout 0 0 0"}},
        {"org.xfce.SessionManager",
         "/org/xfce/SessionManager",
         "org.xfce.Session.Manager",
         "Logout",
         "bb",
         {"Logout False True"}},
    };
    // All started before any is waited for: they set themselves up side by side.
    std::vector<std::unique_ptr<Mock>> running;
    for (const Manager& manager : managers) {
        running.push_back(StartService(manager.name, manager.path, manager.interface));
    }
    const auto logind = StartLogind();
    for (std::size_t i = 0; i < managers.size(); ++i) {
        ASSERT_TRUE(running[i]->Ready(*m_calls)) << managers[i].name;
        ASSERT_TRUE(running[i]
                        ->AddMethod(*m_calls, managers[i].interface, managers[i].method,
                                    managers[i].in, "", Strict())
                        .Accepted());
    }

    LinuxSessionTerminator terminator(MakeQtSessionCalls());
    for (std::size_t first = 0; first < managers.size(); ++first) {
        SCOPED_TRACE(managers[first].name);
        EXPECT_TRUE(terminator.LogOff());
        for (std::size_t i = first; i < managers.size(); ++i) {
            EXPECT_EQ(running[i]->NewCalls(), i == first ? managers[i].logged : Lines{});
        }
        EXPECT_EQ(logind->NewCalls(), Lines{});
        running[first].reset();
    }

    // No session manager left: logind ends the session this process is in, by its id.
    EXPECT_TRUE(terminator.LogOff());
    EXPECT_EQ(logind->NewCalls(),
              (Lines{"GetSessionByPID " + std::to_string(::getpid()),
                     "Get /org/freedesktop/login1/session/_32 org.freedesktop.login1.Session.Id",
                     "TerminateSession \"2\""}));

    // A process logind counts in no session ends the one its login named.
    ASSERT_TRUE(logind
                    ->AddMethod(*m_calls, kLogindManager, "GetSessionByPID", "u", "o",
                                Refusal("org.freedesktop.login1.NoSessionForPID"))
                    .Accepted());
    EXPECT_TRUE(terminator.LogOff());
    const Lines calls = logind->NewCalls();
    ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(calls);
    EXPECT_EQ(calls[0], "GetSessionByPID " + std::to_string(::getpid()));
    EXPECT_EQ(calls[2], "TerminateSession \"5\"");
}

TEST_F(OverPrivateBuses, ForceShutdownIsPowerOffWithoutInteractionAndARefusalIsFalse) {
    const auto logind = StartLogind();
    LinuxSessionTerminator terminator(MakeQtSessionCalls());
    EXPECT_TRUE(terminator.ForceShutdown());
    EXPECT_EQ(logind->NewCalls(), Lines{"PowerOff False"});

    // polkit's answer where it would have to ask for a password.
    ASSERT_TRUE(logind
                    ->AddMethod(*m_calls, kLogindManager, "PowerOff", "b", "",
                                Strict(Refusal("org.freedesktop.DBus.Error."
                                               "InteractiveAuthorizationRequired")))
                    .Accepted());
    EXPECT_FALSE(terminator.ForceShutdown());
    const Lines calls = logind->NewCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "PowerOff False");
}

// A service that is not on the bus is not started by the question, and a call
// to it is an error with its name.
TEST_F(OverPrivateBuses, AnAbsentServiceIsNotOwnedAndItsCallFails) {
    EXPECT_FALSE(m_calls->HasOwner(Bus::Session, "org.gnome.SessionManager"));
    const DBusReply reply =
        m_calls->Call({Bus::System, kLogind, kLogindPath, kLogindManager, "PowerOff", {false}});
    EXPECT_EQ(reply.error, "org.freedesktop.DBus.Error.ServiceUnknown");
}

}  // namespace
}  // namespace quotamin
