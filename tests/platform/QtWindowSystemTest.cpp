// What the Qt window system adds to the contract rows: the notification-area
// icon as QSystemTrayIcon shows it, one copy of the program to a session, and
// the program's text between the Windows code page and Unicode.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QtGui/QAccessible>
#include <QtGui/QWindow>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QSystemTrayIcon>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/qt/AnsiText.h"
#include "platform/qt/QtMenus.h"
#include "platform/qt/QtWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"
#include "tests/support/GuiThread.h"
#include "tests/support/TestSystem.h"

namespace quotamin::test {
namespace {

using quotamin::testing::OnGuiThread;

TEST(AnsiText, ConvertsAsTheWindowsCodePageDoes) {
    struct Case {
        std::string ansi;
        std::u16string unicode;
    };
    const Case cases[] = {
        {"Login", u"Login"},
        {"\xE9t\xE9", u"\u00E9t\u00E9"},              // Latin-1 as it is
        {"\x80 \x8A \x9F", u"\u20AC \u0160 \u0178"},  // where Windows-1252 differs
        {std::string("\x81\x8D\x8F\x90\x9D", 5), u"\u0081\u008D\u008F\u0090\u009D"},  // undefined
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        const QString text =
            QString::fromUtf16(c.unicode.data(), static_cast<qsizetype>(c.unicode.size()));
        EXPECT_EQ(FromAnsi(c.ansi), text) << c.ansi;
        EXPECT_EQ(ToAnsi(text), c.ansi) << c.ansi;
    }
    // What the code page lacks is a question mark, one for each character.
    EXPECT_EQ(ToAnsi(QString::fromUtf8("\u03A9 \U0001F600 \u20AC")), "? ? \x80");
}

// A probe dialog running on the Qt window system, with its log.
struct Probe {
    std::unique_ptr<UiDriver> ui = MakeQtDriver();
    EventLog log;
    std::optional<ProbeDialog> probe;

    Probe() {
        probe.emplace(ui->System(), log, "p");
        ui->Start([this] { probe->DoModal(); });
    }
    ~Probe() {
        if (!ui->Stop()) {
            ADD_FAILURE() << "the probe did not end";
        }
    }
    QtWindowSystem* System() { return dynamic_cast<QtWindowSystem*>(&ui->System()); }
    ::testing::AssertionResult Logged(const std::string& event) {
        return ui->WaitFor("\"" + event + "\" in the probe's log",
                           [&] { return log.Count(event) >= 1; });
    }
    // Adds (or changes, or deletes) the probe's icon, with `tip`.
    bool Icon(std::uint32_t message, const char* tip) {
        QtWindowSystem* system = System();
        const WindowHandle window = probe->Window();
        std::string text = tip;
        return ui
            ->OnUi(window,
                   [system, window, message, text] {
                       NotifyIconData data;
                       data.cbSize = 88;
                       data.hWnd = window;
                       data.uID = 128;
                       data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
                       data.uCallbackMessage = kProbeIconMessage;
                       data.hIcon = system->LoadIcon(PROBE_ICON);
                       std::strncpy(data.szTip, text.c_str(), sizeof data.szTip - 1);
                       return system->ShellNotifyIcon(message, data);
                   })
            .value_or(false);
    }
};

TEST(QtNotifyIcon, ShowsTheTipAndTheIconAndItsClicksReachTheWindow) {
    Probe p;
    ASSERT_TRUE(p.Logged("p open"));
    QtWindowSystem* system = p.System();
    const WindowHandle window = p.probe->Window();
    ASSERT_TRUE(p.ui->OnUi(window,
                           [system, window] {
                               const MenuHandle menu = system->GetSystemMenu(window, false);
                               return system->AppendMenu(menu, MF_SEPARATOR, 0, "") &&
                                      system->AppendMenu(menu, MF_STRING, 16,
                                                         "&About the probe...");
                           })
                    .value_or(false));
    ASSERT_TRUE(p.Icon(NIM_ADD, "Ann - 5 minutes \x80"));

    struct Seen {
        QString tip;
        bool icon = false;
        QStringList menu;
    };
    auto look = [system] {
        Seen seen;
        for (const QSystemTrayIcon* icon : system->NotifyIcons().Shown()) {
            seen.tip = icon->toolTip();
            seen.icon = !icon->icon().isNull() && icon->isVisible();
            if (icon->contextMenu() != nullptr) {
                for (const QAction* action : icon->contextMenu()->actions()) {
                    seen.menu.append(action->text());
                }
            }
        }
        return seen;
    };
    std::optional<Seen> seen = OnGuiThread(look);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->tip, QString::fromUtf8("Ann - 5 minutes \u20AC"));
    EXPECT_TRUE(seen->icon);
    // The program's own entries of the window's system menu, not its defaults.
    EXPECT_EQ(seen->menu, QStringList{QStringLiteral("&About the probe...")});

    ASSERT_TRUE(p.Icon(NIM_MODIFY, "Ann - 4 minutes"));
    seen = OnGuiThread(look);
    EXPECT_EQ(seen.value_or(Seen{}).tip, QStringLiteral("Ann - 4 minutes"));

    // A click, as the notification area reports it, and the menu's entry.
    OnGuiThread([system] {
        for (const QSystemTrayIcon* icon : system->NotifyIcons().Shown()) {
            emit const_cast<QSystemTrayIcon*>(icon)->activated(QSystemTrayIcon::Trigger);
            for (QAction* action : icon->contextMenu()->actions()) {
                action->trigger();
            }
        }
        return true;
    });
    EXPECT_TRUE(p.Logged("p icon 128 513"));
    EXPECT_TRUE(p.Logged("p system command 16"));

    ASSERT_TRUE(p.Icon(NIM_DELETE, ""));
    EXPECT_EQ(OnGuiThread([system] { return system->NotifyIcons().Shown().size(); }),
              std::optional<std::size_t>(0));
}

TEST(QtModalWindows, ActivatingAWindowThatAModalOneDisablesActivatesTheWindowInFront) {
    Probe p;
    ASSERT_TRUE(p.Logged("p open"));
    const WindowHandle probe = p.probe->Window();
    p.ui->Click(kOpenNested);
    ASSERT_TRUE(p.Logged("p.nested open"));
    const WindowHandle nested = p.ui->TopWindow();
    ASSERT_NE(nested, probe);
    ASSERT_TRUE(
        p.ui->WaitFor("the nested dialog active", [&] { return p.ui->ActiveWindow() == nested; }));
    // As the window manager activates the window the user clicked.
    p.ui->OnUi(probe, [probe] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->property(kWindowProperty).toULongLong() == static_cast<qulonglong>(probe)) {
                widget->windowHandle()->requestActivate();
            }
        }
        return true;
    });
    EXPECT_TRUE(p.ui->WaitFor("the probe active, and the nested dialog after it",
                              [&] { return p.ui->ActiveWindow() == nested; }));
    EXPECT_FALSE(p.ui->IsEnabled(probe));
}

// A screen reader toggles a check box or radio button through its accessible
// action, with no click: the dialog manager hears it as a click all the same.
TEST(QtAccessibility, AToggleThroughTheAccessibleActionIsAClick) {
    Probe p;
    ASSERT_TRUE(p.Logged("p open"));
    const auto toggle = [&](const char* text) {
        return p.ui->OnUi(p.probe->Window(), [text] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
                    if (button->text() == QLatin1String(text) && button->isVisible()) {
                        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                            QAccessibleActionInterface::toggleAction());
                        return true;
                    }
                }
            }
            return false;
        });
    };
    struct Step {
        const char* text;
        int check, radioA, radioB;
    };
    for (const Step& step : {Step{"A", 0, 1, 0}, Step{"B", 0, 0, 1}, Step{"Check", 1, 0, 1},
                             Step{"B", 1, 0, 1}, Step{"A", 1, 1, 0}}) {
        ASSERT_EQ(toggle(step.text), std::optional<bool>(true)) << step.text;
        EXPECT_TRUE(p.ui->WaitFor(std::string("the checks after toggling ") + step.text, [&] {
            return p.ui->Check(kCheckBox) == step.check && p.ui->Check(kRadioA) == step.radioA &&
                   p.ui->Check(kRadioB) == step.radioB;
        }));
    }
}

// The outcome of a later start, run as a process of its own.
enum class Later { Claimed = 10, HandedOver = 11, Unclaimed = 12 };

int StartLater(const std::string& directory, const char* session = "test-session",
               const char* extra = "") {
    const std::string command =
        std::string(QUOTAMIN_SESSION_CLAIM_CHILD) + " '" + directory + "' " + session + " " + extra;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QtSessionClaim, ALaterStartHasTheRunningCopyShowItsWindowAndEnds) {
    testing::TempDirectory directory;
    const std::string place = directory.Path().string();
    Probe p;
    ASSERT_TRUE(p.Logged("p open"));
    ASSERT_TRUE(p.Icon(NIM_ADD, "probe"));
    QtWindowSystem* system = p.System();
    ASSERT_EQ(OnGuiThread([system, place] {
                  return system->ClaimSession(QString::fromStdString(place),
                                              QStringLiteral("test-session"));
              }),
              std::optional<bool>(true));
    // Shown as a click on its icon shows it.
    EXPECT_EQ(StartLater(place), static_cast<int>(Later::HandedOver));
    EXPECT_TRUE(p.Logged("p icon 128 513"));
    // Another session of the same user is another claim.
    EXPECT_EQ(StartLater(place, "other-session"), static_cast<int>(Later::Claimed));
}

TEST(QtSessionClaim, WithoutARunningCopyALaterStartRunsOnItsOwn) {
    struct Case {
        const char* name;
        bool crashedCopy;  // a copy claimed the session and died holding it
        bool noPlace;      // the directory is not there
        Later outcome;
    };
    const Case cases[] = {
        {"no copy ran", false, false, Later::Claimed},
        {"the copy that held it died", true, false, Later::Claimed},
        {"no place for the lock", false, true, Later::Unclaimed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDirectory directory;
        const std::string place =
            c.noPlace ? (directory.Path() / "missing").string() : directory.Path().string();
        if (c.crashedCopy) {
            ASSERT_EQ(StartLater(place, "test-session", "die"), 0);
            ASSERT_TRUE(std::filesystem::exists(directory.Path() / "quotamin-test-session.lock"));
        }
        EXPECT_EQ(StartLater(place), static_cast<int>(c.outcome));
    }
}

}  // namespace
}  // namespace quotamin::test
