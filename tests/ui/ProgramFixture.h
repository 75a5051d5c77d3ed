#pragma once
// The whole program on the headless window system: a temporary Windows
// directory and day of the month, a log file with a fixed clock, a session
// terminator that only records, and helpers that read like what a person sees.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/QuotaminConfig.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "session/SessionTerminator.h"
#include "tests/support/HeadlessDriver.h"
#include "tests/support/TestSystem.h"
#include "ui/QuotaminApp.h"

namespace quotamin::testing {

using namespace std::chrono_literals;

// Records each request to end the session, and whether the minute timer was
// still running at that moment.
class RecordingTerminator : public SessionTerminator {
  public:
    explicit RecordingTerminator(HeadlessDriver& ui) : m_ui(ui) {}

    struct Call {
        std::string operation;
        bool minuteTimerRunning;
    };
    std::vector<Call> calls;
    bool accept = false;

    bool LogOff() override { return Record("LogOff"); }
    bool ForceShutdown() override { return Record("ForceShutdown"); }

  private:
    bool Record(const char* operation);
    HeadlessDriver& m_ui;
};

struct Settings {
    std::int32_t enabled = 1;
    std::int32_t allowed = 120;
    std::int32_t remaining = 120;
    std::int32_t logoff = 1;
    bool operator==(const Settings&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Settings& s) {
    return out << "{enabled " << s.enabled << ", allowed " << s.allowed << ", remaining "
               << s.remaining << ", logoff " << s.logoff << "}";
}

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest();
    // The program with resources of the test's own.
    explicit ProgramTest(ResourceTable resources);
    ~ProgramTest() override;

    // The user's settings file as the program will find it, last set today.
    void GivenSettings(const Settings& settings);
    // Starts the program as a session would; it runs until it ends or the test does.
    void StartProgram();
    bool ProgramEnded();

    WindowHandle MainWindow() const;
    std::string Status() const;
    std::string PasswordText() const;
    bool MainShown() const;
    bool MinuteTimerRunning() const;
    bool HideTimerRunning() const;

    void Minutes(int count) { ui.AdvanceBy(std::chrono::minutes(count)); }
    // Types the password into the main window and presses Login.
    void LogIn(const std::string& password);
    // Presses OK in the message box in front, after checking its text.
    void ExpectMessage(const std::string& text);

    // The settings file as the program left it.
    Settings SavedSettings();
    std::int32_t SavedDay();
    // The log's lines without their time stamps.
    std::vector<std::string> LogLines();

    TestSystem system;
    HeadlessWindowSystem windowSystem;
    HeadlessDriver ui{windowSystem};
    RecordingTerminator terminator{ui};
    std::string logPath;
    std::string userName = "bob";
    QuotaminApp app;

  private:
    std::optional<HeadlessDriver::Running> m_running;
};

}  // namespace quotamin::testing
