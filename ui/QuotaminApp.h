#pragma once
// The application: owns the settings record and the log, and runs the main
// window as a modal dialog for as long as the program lives.

#include <functional>
#include <string>

#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"

namespace quotamin {

class SessionTerminator;
class System;
class WindowSystem;

class QuotaminApp {
  public:
    // The user name of the session, asked once at start-up.
    using UserNameSource = std::function<std::string()>;

    QuotaminApp(System& system, WindowSystem& windowSystem, SessionTerminator& terminator,
                TraceLog log, UserNameSource userName);
    QuotaminApp(const QuotaminApp&) = delete;
    QuotaminApp& operator=(const QuotaminApp&) = delete;

    // Runs the main window until the administrator shuts the program down;
    // always false, so that nothing runs after it.
    bool InitInstance();

    QuotaminConfig& GetConfig() { return m_config; }
    TraceLog& GetLog() { return m_log; }
    System& GetSystem() { return m_system; }
    WindowSystem& GetWindowSystem() { return m_windowSystem; }
    SessionTerminator& GetTerminator() { return m_terminator; }
    std::string SessionUserName() const { return m_userName(); }

    QuotaminConfig m_config;
    TraceLog m_log;

  private:
    System& m_system;
    WindowSystem& m_windowSystem;
    SessionTerminator& m_terminator;
    UserNameSource m_userName;
};

}  // namespace quotamin
