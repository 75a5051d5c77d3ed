// The about box, opened from the main window's system menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ui/ProgramFixture.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"

namespace quotamin::testing {
namespace {

class AboutDialogTest : public ProgramTest {
  protected:
    int MinuteTicks() {
        const std::vector<std::string> lines = LogLines();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const auto& line) {
            return line.rfind("OnTimer elapsed=", 0) == 0;
        }));
    }
};

TEST_F(AboutDialogTest, OpensFromTheSystemMenuWhileTheMinuteTimerGoesOnAndEndsEveryWay) {
    GivenSettings({.enabled = 1, .allowed = 120, .remaining = 100, .logoff = 1});
    StartProgram();
    const WindowHandle mainWindow = MainWindow();
    const std::vector<MenuItem> menu = ui.SystemMenuOf(mainWindow);
    ASSERT_EQ(menu.back().text, "&About Quotamin...");
    EXPECT_EQ(menu.back().id, 16u);

    using Close = void (HeadlessDriver::*)();
    const Close ways[] = {&HeadlessDriver::PressEnter, &HeadlessDriver::PressEscape,
                          &HeadlessDriver::PressCloseBox};
    int minutes = 0;
    for (Close close : ways) {
        ui.ChooseSystemCommand(IDM_ABOUTBOX);
        const WindowHandle about = ui.TopWindow();
        ASSERT_EQ(ui.TemplateOf(about), IDD_ABOUTBOX);
        EXPECT_EQ(ui.TextOf(about), "About Quotamin");
        EXPECT_EQ(ui.OwnerOf(about), mainWindow);
        EXPECT_FALSE(ui.IsEnabled(mainWindow));
        EXPECT_EQ(ui.Foreground(), about);
        EXPECT_EQ(ui.FocusedControlId(), IDOK);
        EXPECT_EQ(
            ui.ControlTexts(about),
            (std::vector<std::string>{"", "Quotamin Version 1.0.2", "OK",
                                      "For customer support, please email quotamin@example.org "
                                      "or visit www.example.org"}));

        ui.AdvanceBy(3min);
        minutes += 3;
        EXPECT_EQ(MinuteTicks(), minutes);
        EXPECT_TRUE(ui.IsOpen(about));

        (ui.*close)();
        EXPECT_FALSE(ui.IsOpen(about));
        ASSERT_FALSE(windowSystem.DialogHistory().empty());
        EXPECT_EQ(windowSystem.DialogHistory().back().templateId, IDD_ABOUTBOX);
        EXPECT_EQ(windowSystem.DialogHistory().back().result, close == ways[0] ? IDOK : IDCANCEL);
        EXPECT_TRUE(ui.IsEnabled(mainWindow));
        EXPECT_EQ(ui.TopWindow(), mainWindow);
    }
    ui.AdvanceBy(1min);
    EXPECT_EQ(MinuteTicks(), minutes + 1);
}

TEST_F(AboutDialogTest, AMessageBoxIsOwnedByItsWindowAndCaptionedWithTheProgramFileName) {
    StartProgram();
    LogIn("not the password");
    MessageBoxView box = ui.TopMessageBox();
    EXPECT_EQ(box.caption, "diduvavi");
    EXPECT_EQ(box.text, "Sorry, that password is incorrect");
    EXPECT_EQ(box.owner, MainWindow());
    EXPECT_EQ(box.type, MB_OK);
    box.PressOk();
    EXPECT_TRUE(ui.OpenMessageBoxes().empty());
}

ResourceTable WithoutStrings() {
    ResourceTable resources = ProgramResources();
    resources.strings.clear();
    return resources;
}

class WithoutTheMenuString : public ProgramTest {
  protected:
    WithoutTheMenuString() : ProgramTest(WithoutStrings()) {}
};

TEST_F(WithoutTheMenuString, TheSystemMenuGetsNoAboutEntry) {
    StartProgram();
    const std::vector<MenuItem> menu = ui.SystemMenuOf(MainWindow());
    EXPECT_TRUE(std::none_of(menu.begin(), menu.end(),
                             [](const MenuItem& item) { return item.id == IDM_ABOUTBOX; }));
    EXPECT_THROW(ui.ChooseSystemCommand(IDM_ABOUTBOX), std::logic_error);
}

}  // namespace
}  // namespace quotamin::testing
