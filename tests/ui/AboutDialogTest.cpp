#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindowSystem.h"
#include "ui/AboutDialog.h"
#include "ui/BitmapDialog.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"

namespace quotamin {
namespace {

using namespace std::chrono_literals;

// Stands in for the main window: a minute timer, the About entry of the
// system menu, and a message box on the Login button.
class MainWindowStandIn : public BitmapDialog {
  public:
    explicit MainWindowStandIn(WindowSystem& windowSystem)
        : BitmapDialog(windowSystem, IDD_QUOTAMIN_DIALOG) {}
    int ticks = 0;
    std::intptr_t aboutResult = 0;

  protected:
    bool OnInitDialog() override {
        BitmapDialog::OnInitDialog();
        SystemMenu menu = GetSystemMenu();
        const std::string about = LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            menu.AppendMenu(MF_SEPARATOR);
            menu.AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
        SetTimer(1, 60000);
        return true;
    }
    void OnTimer(std::uintptr_t id) override {
        ++ticks;
        BitmapDialog::OnTimer(id);
    }
    void OnSysCommand(std::uint32_t id, LParam lParam) override {
        if ((id & 0xFFF0) == IDM_ABOUTBOX) {
            AboutDialog about(GetWindowSystem());
            aboutResult = about.DoModal();
        } else {
            BitmapDialog::OnSysCommand(id, lParam);
        }
    }
    bool OnCommand(int id) override {
        if (id == IDC_LOGIN) {
            MessageBox("Sorry, that password is incorrect");
            return true;
        }
        return false;
    }
};

class AboutDialogTest : public ::testing::Test {
  protected:
    HeadlessWindowSystem ui{ProgramResources(), "C:\\Program Files\\Quotamin\\diduvavi.exe"};
    MainWindowStandIn main{ui};
};

TEST_F(AboutDialogTest, OpensFromTheSystemMenuWhileTheMinuteTimerGoesOnAndEndsEveryWay) {
    auto running = ui.Start([this] { main.DoModal(); });
    const WindowHandle mainWindow = ui.FindDialog(IDD_QUOTAMIN_DIALOG);
    const std::vector<MenuItem> menu = ui.SystemMenuOf(mainWindow);
    ASSERT_EQ(menu.back().text, "&About Quotamin...");
    EXPECT_EQ(menu.back().id, 16u);

    using Close = void (HeadlessWindowSystem::*)();
    const Close ways[] = {&HeadlessWindowSystem::PressEnter, &HeadlessWindowSystem::PressEscape,
                          &HeadlessWindowSystem::PressCloseBox};
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
        EXPECT_EQ(main.ticks, minutes);
        EXPECT_TRUE(ui.IsOpen(about));

        (ui.*close)();
        EXPECT_FALSE(ui.IsOpen(about));
        EXPECT_EQ(main.aboutResult, close == ways[0] ? IDOK : IDCANCEL);
        EXPECT_TRUE(ui.IsEnabled(mainWindow));
        EXPECT_EQ(ui.TopWindow(), mainWindow);
    }
    ui.AdvanceBy(1min);
    EXPECT_EQ(main.ticks, minutes + 1);
}

TEST_F(AboutDialogTest, AMessageBoxIsOwnedByItsWindowAndCaptionedWithTheProgramFileName) {
    auto running = ui.Start([this] { main.DoModal(); });
    ui.Click(IDC_LOGIN);
    MessageBoxView box = ui.TopMessageBox();
    EXPECT_EQ(box.caption, "diduvavi");
    EXPECT_EQ(box.text, "Sorry, that password is incorrect");
    EXPECT_EQ(box.owner, ui.FindDialog(IDD_QUOTAMIN_DIALOG));
    EXPECT_EQ(box.type, MB_OK);
    box.PressOk();
    EXPECT_TRUE(ui.OpenMessageBoxes().empty());
}

TEST_F(AboutDialogTest, WithoutTheMenuStringTheSystemMenuGetsNoAboutEntry) {
    ResourceTable resources = ProgramResources();
    resources.strings.clear();
    HeadlessWindowSystem bare(resources);
    MainWindowStandIn standIn(bare);
    auto running = bare.Start([&] { standIn.DoModal(); });
    const std::vector<MenuItem> menu = bare.SystemMenuOf(bare.TopWindow());
    EXPECT_TRUE(std::none_of(menu.begin(), menu.end(),
                             [](const MenuItem& item) { return item.id == IDM_ABOUTBOX; }));
    EXPECT_THROW(bare.ChooseSystemCommand(IDM_ABOUTBOX), std::logic_error);
}

}  // namespace
}  // namespace quotamin
