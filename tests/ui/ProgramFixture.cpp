#include "tests/ui/ProgramFixture.h"

#include <sstream>

#include "tests/support/SettingsBytes.h"
#include "ui/MainDialog.h"
#include "ui/ProgramResources.h"

namespace quotamin::testing {

namespace {

std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 11;
    time.tm_hour = 9;
    return time;
}

}  // namespace

bool RecordingTerminator::Record(const char* operation) {
    bool running = false;
    for (const TimerInfo& timer : m_ui.Timers()) {
        running = running || timer.id == 1;
    }
    calls.push_back({operation, running});
    return accept;
}

ProgramTest::ProgramTest() : ProgramTest(ProgramResources()) {}

ProgramTest::ProgramTest(ResourceTable resources)
    : windowSystem(std::move(resources)),
      logPath(system.File("quotamin.log")),
      app(system, windowSystem, terminator,
          TraceLog(logPath, [] { return std::optional(FixedTime()); }),
          [this] { return userName; }) {}

ProgramTest::~ProgramTest() {
    m_running.reset();
}

void ProgramTest::GivenSettings(const Settings& settings) {
    WriteBytes(system.File("qm-" + userName + ".dat"),
               SettingsRecord(settings.enabled, settings.allowed, settings.remaining,
                              settings.logoff, system.today));
}

void ProgramTest::StartProgram() {
    m_running.emplace(ui.Start([this] { app.InitInstance(); }));
}

bool ProgramTest::ProgramEnded() {
    return ui.Finished();
}

WindowHandle ProgramTest::MainWindow() const {
    return ui.FindDialog(MainDialog::kTemplateId);
}

std::string ProgramTest::Status() const {
    return ui.TextOf(ui.ControlOf(MainWindow(), MainDialog::kStatusEditId));
}

std::string ProgramTest::PasswordText() const {
    return ui.TextOf(ui.ControlOf(MainWindow(), MainDialog::kPasswordEditId));
}

bool ProgramTest::MainShown() const {
    return ui.IsVisible(MainWindow());
}

bool ProgramTest::MinuteTimerRunning() const {
    for (const TimerInfo& timer : ui.Timers()) {
        if (timer.window == MainWindow() && timer.id == 1) {
            EXPECT_EQ(timer.period, 60000u);
            return true;
        }
    }
    return false;
}

bool ProgramTest::HideTimerRunning() const {
    for (const TimerInfo& timer : ui.Timers()) {
        if (timer.window == MainWindow() && timer.id == 2) {
            return true;
        }
    }
    return false;
}

void ProgramTest::LogIn(const std::string& password) {
    ui.SetText(MainDialog::kPasswordEditId, password);
    ui.Click(MainDialog::kLoginButtonId);
}

void ProgramTest::ExpectMessage(const std::string& text) {
    const MessageBoxView box = ui.TopMessageBox();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "diduvavi");
    EXPECT_EQ(box.type, 0u);
    box.PressOk();
}

Settings ProgramTest::SavedSettings() {
    const std::string bytes = ReadBytes(system.File("qm-" + userName + ".dat"));
    EXPECT_EQ(bytes.size(), 20u);
    return {Int32At(bytes, 0), Int32At(bytes, 4), Int32At(bytes, 8), Int32At(bytes, 12)};
}

std::int32_t ProgramTest::SavedDay() {
    return Int32At(ReadBytes(system.File("qm-" + userName + ".dat")), 16);
}

std::vector<std::string> ProgramTest::LogLines() {
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes(logPath));
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.substr(0, 19), "12/11/26 09:00:00: ");
        EXPECT_EQ(line.back(), '\r');
        lines.push_back(line.substr(19, line.size() - 20));
    }
    return lines;
}

}  // namespace quotamin::testing
