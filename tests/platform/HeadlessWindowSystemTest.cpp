// What the headless window system adds to the contract table: exact virtual
// time, modal loops nested at any depth, stopping, typing, and the refusal of
// what no user could do.

#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/support/HeadlessDriver.h"

namespace quotamin::test {
namespace {

using namespace std::chrono_literals;

class Headless : public ::testing::Test {
  protected:
    HeadlessWindowSystem windowSystem{ProbeResources(), "C:\\Apps\\probe-app.exe"};
    testing::HeadlessDriver ui{windowSystem};
    EventLog log;
};

TEST_F(Headless, ADialogOpensShownInFrontWithTheFocusOnItsFirstTabStop) {
    ProbeDialog probe(windowSystem, log, "p");
    auto running = ui.Start([&] { probe.DoModal(); });
    const WindowHandle window = ui.FindDialog(kProbeTemplate);
    ASSERT_NE(window, WindowHandle{});
    EXPECT_TRUE(ui.IsVisible(window));
    EXPECT_EQ(ui.Foreground(), window);
    EXPECT_EQ(ui.FocusedControlId(), kNameEdit);
    EXPECT_EQ(ui.TextOf(window), "Probe");
    ui.Type(kNameEdit, "Bo");
    ui.Type(kNameEdit, "b");
    EXPECT_EQ(ui.ControlText(kNameEdit), "Bob");
    ui.PressEnter();
    EXPECT_TRUE(ui.Finished());
    EXPECT_EQ(log.Events(), (std::vector<std::string>{"p open", "p ok Bob", "p destroy"}));
}

TEST_F(Headless, TimersFireAtTheirDueTimesAndTiesGoInCreationOrder) {
    ProbeDialog probe(windowSystem, log, "p", {{5, 100, false}, {4, 100, false}, {9, 250, false}});
    auto running = ui.Start([&] { probe.DoModal(); });
    ui.AdvanceBy(99ms);
    EXPECT_EQ(log.Events().size(), 1u);
    ui.AdvanceBy(1ms);
    ui.AdvanceBy(150ms);
    ui.AdvanceBy(250ms);
    EXPECT_EQ(log.Events(), (std::vector<std::string>{
                                "p open", "p timer 5", "p timer 4", "p timer 5", "p timer 4",
                                "p timer 9", "p timer 5", "p timer 4", "p timer 5", "p timer 4",
                                "p timer 5", "p timer 4", "p timer 9"}));
    EXPECT_EQ(ui.Now(), 500ms);
}

TEST_F(Headless, ModalLoopsNestAtAnyDepthAndTheOuterTimersGoOn) {
    ProbeDialog probe(windowSystem, log, "p", {{1, 1000, false}});
    auto running = ui.Start([&] { probe.DoModal(); });
    const WindowHandle outer = ui.FindDialog(kProbeTemplate);
    ui.Click(kOpenNested);
    const WindowHandle nested = ui.TopWindow();
    EXPECT_EQ(ui.OwnerOf(nested), outer);
    ui.Click(kShowBox);
    testing::MessageBoxView box = ui.TopMessageBox();
    EXPECT_EQ(box.owner, nested);
    EXPECT_EQ(box.caption, "probe-app");
    EXPECT_EQ(box.text, "Hello from p.nested");
    EXPECT_EQ(ui.ModalWindows(), (std::vector<WindowHandle>{outer, nested, box.window}));
    EXPECT_FALSE(ui.IsEnabled(outer));
    EXPECT_FALSE(ui.IsEnabled(nested));
    EXPECT_EQ(ui.Foreground(), box.window);

    ui.AdvanceBy(3000ms);
    EXPECT_EQ(log.Count("p timer 1"), 3);
    box.PressOk();
    EXPECT_EQ(ui.TopWindow(), nested);
    EXPECT_TRUE(ui.IsEnabled(nested));
    EXPECT_EQ(ui.Foreground(), nested);
    ui.PressCloseBox();
    EXPECT_EQ(ui.TopWindow(), outer);
    EXPECT_TRUE(ui.IsEnabled(outer));
    EXPECT_EQ(log.Count("p nested ended 2"), 1);
    EXPECT_EQ(ui.MessageBoxHistory().size(), 1u);
}

TEST_F(Headless, StoppingEndsEveryOpenLoop) {
    ProbeDialog probe(windowSystem, log, "p");
    {
        auto running = ui.Start([&] { probe.DoModal(); });
        ui.Click(kOpenNested);
        ui.Click(kShowBox);
    }
    EXPECT_TRUE(ui.Finished());
    EXPECT_TRUE(ui.ModalWindows().empty());
    EXPECT_EQ(log.Count("p destroy"), 1);
}

TEST_F(Headless, ActionsThatNoUserCouldDoAreRefused) {
    ProbeDialog probe(windowSystem, log, "p");
    EXPECT_THROW(ui.PressEnter(), std::logic_error);
    auto running = ui.Start([&] { probe.DoModal(); });
    ui.Click(kShowBox);
    EXPECT_THROW(ui.Click(kFail), std::logic_error);
    ui.TopMessageBox().PressOk();
    EXPECT_THROW(ui.ChooseSystemCommand(16), std::logic_error);
    EXPECT_THROW(ui.Type(kShowBox, "x"), std::logic_error);
}

}  // namespace
}  // namespace quotamin::test
