// The behaviour that the program relies on from any window system, run against
// each backend: the headless one everywhere, the Win32 one in the Windows build
// (under Wine), the Qt one in the Linux build (its own test program, on Xvfb).
// Every behaviour of the headless window system that a test of
// the program relies on is a row of this table, so the headless model cannot
// drift from Win32 without a row failing.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>

#include "platform/DialogUnits.h"
#include "platform/NotifyIcon.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"

namespace quotamin {

void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << "}";
}

void PrintTo(const MenuItem& item, std::ostream* out) {
    *out << "{flags " << item.flags << ", id " << item.id << ", \"" << item.text << "\"}";
}

namespace test {
namespace {

using namespace std::chrono_literals;

constexpr std::intptr_t kRunning = -100;

// Everything a row works on. The code under test holds it too, so that a row
// whose windows do not end leaves it behind whole instead of pulling it away.
struct Row {
    std::unique_ptr<UiDriver> ui;
    EventLog log;
    std::optional<ProbeDialog> probe;
    std::atomic<std::intptr_t> result{kRunning};
};

struct Context {
    UiDriver& ui;
    EventLog& log;
    ProbeDialog& probe;
    std::atomic<std::intptr_t>& result;
    const DialogTemplate& dialogTemplate;

    ::testing::AssertionResult Ended() {
        return ui.WaitFor("the probe dialog to end", [&] { return result.load() != kRunning; });
    }
    ::testing::AssertionResult Logged(const std::string& event, int times = 1) {
        return ui.WaitFor(
            "\"" + event + "\" in the probe's log " + std::to_string(times) + " time(s)",
            [&] { return log.Count(event) >= times; });
    }
    int Position(const std::string& event) const {
        std::vector<std::string> events = log.Events();
        return static_cast<int>(std::find(events.begin(), events.end(), event) - events.begin());
    }
    WindowSystem* System() { return &ui.System(); }
};

struct ContractCase {
    const char* name;
    int templateId;
    std::vector<ProbeTimer> timers;
    std::function<void(Context&)> run;
};

// The pixel that kProbeCopies leave at client pixel (x, y): a bitmap pixel,
// or nothing where no copy took one from inside the bitmap.
std::optional<std::pair<int, int>> CopiedBitmapPixel(int x, int y) {
    constexpr int kWidth = 7, kHeight = 5;
    std::optional<std::pair<int, int>> pixel;
    for (const ProbeCopy& copy : kProbeCopies) {
        const int i = x - copy.x, j = y - copy.y;
        if (i < 0 || j < 0 || i >= copy.cx || j >= copy.cy) {
            continue;
        }
        const int sx = copy.sx + (copy.stretch ? i * copy.scx / copy.cx : i);
        const int sy = copy.sy + (copy.stretch ? j * copy.scy / copy.cy : j);
        if (sx < kWidth && sy < kHeight) {
            pixel = std::pair(sx, sy);
        }
    }
    return pixel;
}

NotifyIconData ProbeIcon(WindowSystem& system, WindowHandle window, std::uint32_t id) {
    NotifyIconData data;
    data.cbSize = 88;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_USER + 2;
    data.hIcon = system.LoadIcon(PROBE_ICON);
    std::strcpy(data.szTip, "probe");
    return data;
}

const ContractCase kCases[] = {
    {"EnterWithoutDefaultButtonIsOk",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.SetText(kNameEdit, "Ann");
         c.ui.PressEnter();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDOK);
         EXPECT_TRUE(c.Logged("p ok Ann"));
         EXPECT_LT(c.Position("p ok Ann"), c.Position("p destroy"));
     }},
    {"EnterWithDefaultButtonSendsItsCommand",
     kProbeWithDefaultTemplate,
     {},
     [](Context& c) {
         c.ui.PressEnter();
         ASSERT_TRUE(c.Logged("p default button"));
         EXPECT_EQ(c.result.load(), kRunning);
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
    {"EscapeIsCancel",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
         EXPECT_TRUE(c.Logged("p cancel"));
     }},
    {"CloseBoxIsCancel",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.PressCloseBox();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
         EXPECT_TRUE(c.Logged("p cancel"));
     }},
    {"EndDialogEndsOnceTheHandlerHasReturned",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kEndWithSeven);
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), 7);
         ASSERT_TRUE(c.Logged("p destroy"));
         EXPECT_LT(c.Position("p after EndDialog"), c.Position("p destroy"));
     }},
    // The one row that depends on the clock: the timers are far enough apart
    // for a busy machine, and a timer that is late is late in due order.
    {"TimersFireInOrderOfDueTime",
     kProbeTemplate,
     {{1, 400, true}, {2, 100, true}},
     [](Context& c) {
         c.ui.AdvanceBy(700ms);
         ASSERT_TRUE(c.Logged("p timer 1"));
         ASSERT_TRUE(c.Logged("p timer 2"));
         EXPECT_LT(c.Position("p timer 2"), c.Position("p timer 1"));
         EXPECT_EQ(c.log.Count("p timer 1"), 1);
         EXPECT_EQ(c.log.Count("p timer 2"), 1);
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"MessageBoxIsANestedModalLoopThatTimersGoOnIn",
     kProbeTemplate,
     {{3, 50, false}},
     [](Context& c) {
         c.ui.Click(kShowBox);
         ASSERT_TRUE(c.ui.WaitFor("a message box", [&] { return c.ui.TopMessageBox().open; }));
         SeenMessageBox box = c.ui.TopMessageBox();
         EXPECT_EQ(box.caption, c.ui.System().ApplicationName());
         EXPECT_EQ(box.text, "Hello from p");
         EXPECT_EQ(box.owner, c.probe.Window());
         EXPECT_FALSE(c.ui.IsEnabled(c.probe.Window()));
         const int ticks = c.log.Count("p timer 3");
         c.ui.AdvanceBy(300ms);
         EXPECT_TRUE(c.Logged("p timer 3", ticks + 2));
         EXPECT_EQ(c.log.Count("p box closed"), 0);
         c.ui.AnswerMessageBox();
         ASSERT_TRUE(c.Logged("p box closed"));
         EXPECT_TRUE(c.ui.WaitFor("the probe enabled again",
                                  [&] { return c.ui.IsEnabled(c.probe.Window()); }));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    // The minute tick's own handler may show a message box (a failed save):
    // the minute timer goes on ticking in that box's loop.
    {"ATimerTicksOnInTheMessageBoxThatItsOwnHandlerShows",
     kProbeTemplate,
     {{4, 50, false, true}},
     [](Context& c) {
         c.ui.AdvanceBy(100ms);
         ASSERT_TRUE(c.ui.WaitFor("a message box", [&] { return c.ui.TopMessageBox().open; }));
         EXPECT_EQ(c.ui.TopMessageBox().text, "Tick from p");
         const int ticks = c.log.Count("p timer 4");
         c.ui.AdvanceBy(300ms);
         EXPECT_TRUE(c.Logged("p timer 4", ticks + 2));
         EXPECT_EQ(c.log.Count("p timer box closed"), 0);
         c.ui.AnswerMessageBox();
         ASSERT_TRUE(c.Logged("p timer box closed"));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"NestedDialogIsOwnedByTheDialogInFrontAndDisablesIt",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kOpenNested);
         ASSERT_TRUE(c.Logged("p.nested open"));
         ASSERT_TRUE(c.ui.WaitFor("two windows open", [&] { return c.ui.OpenWindows() == 2; }));
         EXPECT_FALSE(c.ui.IsEnabled(c.probe.Window()));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Logged("p nested ended 2"));
         EXPECT_TRUE(c.ui.WaitFor("the probe enabled again",
                                  [&] { return c.ui.IsEnabled(c.probe.Window()); }));
         EXPECT_EQ(c.result.load(), kRunning);
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
    {"AMessageBoxOfANestedDialogIsOwnedByItAndDisablesBoth",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kOpenNested);
         ASSERT_TRUE(c.Logged("p.nested open"));
         ASSERT_TRUE(c.ui.WaitFor("two windows open", [&] { return c.ui.OpenWindows() == 2; }));
         const WindowHandle nested = c.ui.TopWindow();
         c.ui.Click(kShowBox);
         ASSERT_TRUE(c.ui.WaitFor("a message box", [&] { return c.ui.TopMessageBox().open; }));
         SeenMessageBox box = c.ui.TopMessageBox();
         EXPECT_EQ(box.owner, nested);
         EXPECT_EQ(box.caption, c.ui.System().ApplicationName());
         EXPECT_EQ(box.text, "Hello from p.nested");
         EXPECT_FALSE(c.ui.IsEnabled(nested));
         EXPECT_FALSE(c.ui.IsEnabled(c.probe.Window()));
         c.ui.AnswerMessageBox();
         ASSERT_TRUE(c.Logged("p.nested box closed"));
         EXPECT_TRUE(c.ui.WaitFor("the nested dialog enabled again",
                                  [&] { return c.ui.IsEnabled(nested); }));
         EXPECT_FALSE(c.ui.IsEnabled(c.probe.Window()));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Logged("p nested ended 2"));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"TheWindowInFrontIsActiveAndItsOwnerIsActiveAgainWhenItEnds",
     kProbeTemplate,
     {},
     [](Context& c) {
         const WindowHandle probe = c.probe.Window();
         EXPECT_TRUE(
             c.ui.WaitFor("the probe active", [&] { return c.ui.ActiveWindow() == probe; }));
         c.ui.Click(kOpenNested);
         ASSERT_TRUE(c.ui.WaitFor("two windows open", [&] { return c.ui.OpenWindows() == 2; }));
         const WindowHandle nested = c.ui.TopWindow();
         EXPECT_TRUE(c.ui.WaitFor("the nested dialog active",
                                  [&] { return c.ui.ActiveWindow() == nested; }));
         c.ui.Click(kShowBox);
         ASSERT_TRUE(c.ui.WaitFor("a message box", [&] { return c.ui.TopMessageBox().open; }));
         const WindowHandle box = c.ui.TopWindow();
         EXPECT_TRUE(
             c.ui.WaitFor("the message box active", [&] { return c.ui.ActiveWindow() == box; }));
         c.ui.AnswerMessageBox();
         EXPECT_TRUE(c.ui.WaitFor("the nested dialog active again",
                                  [&] { return c.ui.ActiveWindow() == nested; }));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Logged("p nested ended 2"));
         EXPECT_TRUE(
             c.ui.WaitFor("the probe active again", [&] { return c.ui.ActiveWindow() == probe; }));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"ShowWindowHidesAndShowsAndSetWindowPosPutsItOnTop",
     kProbeTemplate,
     {},
     [](Context& c) {
         WindowSystem* system = c.System();
         const WindowHandle probe = c.probe.Window();
         EXPECT_TRUE(c.ui.IsVisible(probe));
         EXPECT_FALSE(c.ui.IsTopmost(probe));
         // ShowWindow tells whether the window was visible before.
         EXPECT_EQ(c.ui.OnUi(probe, [system, probe] { return system->ShowWindow(probe, SW_HIDE); }),
                   true);
         EXPECT_FALSE(c.ui.IsVisible(probe));
         EXPECT_EQ(c.ui.OnUi(probe, [system, probe] { return system->ShowWindow(probe, SW_HIDE); }),
                   false);
         EXPECT_EQ(c.ui.OnUi(probe,
                             [system, probe] {
                                 const bool before = system->ShowWindow(probe, SW_SHOWNORMAL);
                                 system->SetForegroundWindow(probe);
                                 return before;
                             }),
                   false);
         EXPECT_TRUE(c.ui.IsVisible(probe));
         EXPECT_TRUE(
             c.ui.WaitFor("the probe active", [&] { return c.ui.ActiveWindow() == probe; }));
         EXPECT_EQ(c.ui.OnUi(probe,
                             [system, probe] {
                                 return system->SetWindowPos(probe, HWND_TOPMOST, 0, 0, 0, 0,
                                                             SWP_NOSIZE | SWP_NOMOVE);
                             }),
                   true);
         EXPECT_TRUE(c.ui.IsTopmost(probe));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"AnErrorInAHandlerIsReportedAndTheProgramGoesOn",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kFail);
         ASSERT_TRUE(c.ui.WaitFor("a message box", [&] { return c.ui.TopMessageBox().open; }));
         SeenMessageBox box = c.ui.TopMessageBox();
         EXPECT_NE(box.text.find("C:\\WINDOWS\\probe.dat - Can't read file"), std::string::npos)
             << box.text;
         EXPECT_NE(box.text.find("dialog 900, command 1204"), std::string::npos) << box.text;
         EXPECT_EQ(box.owner, c.probe.Window());
         c.ui.AnswerMessageBox();
         ASSERT_TRUE(c.ui.WaitFor("one window open", [&] { return c.ui.OpenWindows() == 1; }));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
    {"AClickTogglesACheckBoxAndChecksOneRadioButtonOfItsGroup",
     kProbeTemplate,
     {},
     [](Context& c) {
         struct Step {
             int click;
             int check, radioA, radioB;
         };
         const Step steps[] = {{kCheckBox, 1, 0, 0}, {kRadioA, 1, 1, 0}, {kRadioB, 1, 0, 1},
                               {kCheckBox, 0, 0, 1}, {kRadioB, 0, 0, 1}, {kRadioA, 0, 1, 0}};
         int clicks = 0;
         for (const Step& step : steps) {
             SCOPED_TRACE("click " + std::to_string(++clicks) + " on " +
                          std::to_string(step.click));
             c.ui.Click(step.click);
             EXPECT_TRUE(
                 c.Logged("p command " + std::to_string(step.click),
                          static_cast<int>(std::count_if(steps, steps + clicks, [&](const Step& s) {
                              return s.click == step.click;
                          }))));
             EXPECT_EQ(c.ui.Check(kCheckBox), step.check);
             EXPECT_EQ(c.ui.Check(kRadioA), step.radioA);
             EXPECT_EQ(c.ui.Check(kRadioB), step.radioB);
             EXPECT_EQ(c.ui.FocusedControlId(), step.click);
         }
         // One notification per click, none for anything else.
         EXPECT_EQ(c.log.Count("p command 1207"), 2);
         EXPECT_EQ(c.log.Count("p command 1208"), 2);
         EXPECT_EQ(c.log.Count("p command 1209"), 2);
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"TheFocusStartsOnTheFirstTabStopAndTabMovesItInTemplateOrder",
     kProbeTemplate,
     {},
     [](Context& c) {
         ASSERT_TRUE(c.ui.WaitFor("the focus on the name box",
                                  [&] { return c.ui.FocusedControlId() == kNameEdit; }));
         // The disabled button is no stop; after the last one the first comes again.
         for (int id : {kOpenNested, kShowBox, kFail, kEndWithSeven, kCheckBox, kRadioA, kRadioB,
                        kNameEdit}) {
             c.ui.PressTab();
             EXPECT_TRUE(c.ui.WaitFor("the focus on control " + std::to_string(id),
                                      [&] { return c.ui.FocusedControlId() == id; }));
         }
         // Moving the focus is no command, nor does it check a radio button.
         const std::vector<std::string> events = c.log.Events();
         EXPECT_EQ(std::count_if(events.begin(), events.end(),
                                 [](const std::string& e) { return e.rfind("p command", 0) == 0; }),
                   0);
         EXPECT_EQ(c.ui.Check(kRadioA), BST_UNCHECKED);
         EXPECT_EQ(c.ui.Check(kRadioB), BST_UNCHECKED);
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"ControlsSitWhereTheirTemplatePutsThemInDialogUnits",
     kProbeWithDefaultTemplate,
     {},
     [](Context& c) {
         const DialogBaseUnits base = c.ui.BaseUnits();
         for (const Rect& units : {Rect{0, 0, 4, 8}, Rect{1, 1, 3, 5}, Rect{88, 137, 153, 151},
                                   Rect{-3, -5, 7, 9}, Rect{2, 3, 6, 7}}) {
             EXPECT_EQ(c.ui.MapDialogRect(units), MapDialogRect(units, base));
         }
         EXPECT_EQ(c.ui.ClientRect(), ClientRect(c.dialogTemplate, base));
         for (const ControlTemplate& control : c.dialogTemplate.controls) {
             EXPECT_EQ(c.ui.ControlRect(control.id), ControlRect(control, base))
                 << "control " << control.id;
         }
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"ErasingPaintsThePlainBackgroundAndCopiesLeaveTheirBitmapsPixels",
     kProbeTemplate,
     {},
     [](Context& c) {
         const int erased = c.log.Count("p erased");
         c.ui.Repaint();
         ASSERT_TRUE(c.Logged("p erased", erased + 1));
         const std::uint32_t background = c.ui.DialogBackground();
         int wrong = 0;
         std::ostringstream first;
         for (int y = 55; y < 75; ++y) {
             for (int x = 15; x < 100; ++x) {
                 const auto source = CopiedBitmapPixel(x, y);
                 const std::uint32_t expected =
                     source ? c.ui.BitmapPixel(PROBE_SMALL_BITMAP, source->first, source->second)
                            : background;
                 const std::uint32_t seen = c.ui.PixelAt(x, y);
                 if (seen != expected && ++wrong <= 5) {
                     first << " (" << x << ", " << y << "): " << std::hex << seen << " for "
                           << expected << std::dec;
                 }
             }
         }
         EXPECT_EQ(wrong, 0) << "first wrong pixels:" << first.str();
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"TheShellTakesOnlyIconActionsThatFitTheIconsItHas",
     kProbeTemplate,
     {},
     [](Context& c) {
         struct Step {
             std::uint32_t message;
             std::uint32_t id;
             bool accepted;
         };
         const Step steps[] = {
             {NIM_MODIFY, 128, false}, {NIM_DELETE, 128, false}, {NIM_ADD, 128, true},
             {NIM_ADD, 128, false},    {NIM_MODIFY, 129, false}, {NIM_MODIFY, 128, true},
             {NIM_DELETE, 128, true},  {NIM_DELETE, 128, false}, {NIM_MODIFY, 128, false},
         };
         WindowSystem* system = c.System();
         const WindowHandle window = c.probe.Window();
         int step = 0;
         for (const Step& s : steps) {
             const std::optional<bool> accepted = c.ui.OnUi(window, [system, window, s] {
                 return system->ShellNotifyIcon(s.message, ProbeIcon(*system, window, s.id));
             });
             ASSERT_TRUE(accepted.has_value()) << "the probe did not answer at step " << step;
             EXPECT_EQ(*accepted, s.accepted)
                 << "step " << step << ": action " << s.message << ", icon " << s.id;
             ++step;
         }
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"TheSystemMenuHasTheDefaultEntriesAndThoseAppended",
     kProbeTemplate,
     {},
     [](Context& c) {
         WindowSystem* system = c.System();
         const WindowHandle window = c.probe.Window();
         const std::vector<MenuItem> defaults = DefaultSystemMenu(c.dialogTemplate.style);
         EXPECT_EQ(c.ui.SystemMenu(), defaults);
         const std::optional<bool> appended = c.ui.OnUi(window, [system, window] {
             const MenuHandle menu = system->GetSystemMenu(window, false);
             return system->AppendMenu(menu, MF_SEPARATOR, 0, "") &&
                    system->AppendMenu(menu, MF_STRING, 16, system->LoadString(PROBE_ABOUT_STRING));
         });
         ASSERT_TRUE(appended.value_or(false));
         std::vector<MenuItem> expected = defaults;
         expected.push_back({MF_SEPARATOR, 0, ""});
         expected.push_back({MF_STRING, 16, PROBE_ABOUT_TEXT});
         EXPECT_EQ(c.ui.SystemMenu(), expected);

         c.ui.ChooseSystemCommand(16);
         ASSERT_TRUE(c.Logged("p system command 16"));
         EXPECT_EQ(c.result.load(), kRunning);

         const std::optional<bool> reverted = c.ui.OnUi(window, [system, window] {
             return system->GetSystemMenu(window, true) == MenuHandle{};
         });
         EXPECT_TRUE(reverted.value_or(false));
         EXPECT_EQ(c.ui.SystemMenu(), defaults);

         c.ui.ChooseSystemCommand(SC_CLOSE);
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
    {"ResourcesOfTheProgramAreFoundByTheirIdsAndIconsAre32PixelsSquare",
     kProbeTemplate,
     {},
     [](Context& c) {
         struct Seen {
             std::string string, noString;
             bool icon = false, noIcon = false, bitmap = false, noBitmap = false, deleted = false;
             BitmapInfo info;
             int iconWidth = 0, iconHeight = 0;
         };
         WindowSystem* system = c.System();
         const std::optional<Seen> seen = c.ui.OnUi(c.probe.Window(), [system] {
             Seen s;
             s.string = system->LoadString(PROBE_ABOUT_STRING);
             s.noString = system->LoadString(999);
             s.icon = system->LoadIcon(PROBE_ICON) != IconHandle{};
             s.noIcon = system->LoadIcon(129) == IconHandle{};
             const BitmapHandle bitmap = system->LoadBitmap(PROBE_SMALL_BITMAP);
             s.bitmap = bitmap != BitmapHandle{} && system->GetObject(bitmap, s.info);
             s.deleted = system->DeleteObject(bitmap);
             s.noBitmap = system->LoadBitmap(999) == BitmapHandle{};
             s.iconWidth = system->GetSystemMetrics(SM_CXICON);
             s.iconHeight = system->GetSystemMetrics(SM_CYICON);
             return s;
         });
         ASSERT_TRUE(seen.has_value());
         EXPECT_EQ(seen->string, PROBE_ABOUT_TEXT);
         EXPECT_EQ(seen->noString, "");
         EXPECT_TRUE(seen->icon);
         EXPECT_TRUE(seen->noIcon);
         EXPECT_TRUE(seen->bitmap);
         EXPECT_EQ(seen->info.bmWidth, 7);
         EXPECT_EQ(seen->info.bmHeight, 5);
         EXPECT_TRUE(seen->deleted);
         EXPECT_TRUE(seen->noBitmap);
         EXPECT_EQ(seen->iconWidth, 32);
         EXPECT_EQ(seen->iconHeight, 32);
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
};

using Backend = std::function<std::unique_ptr<UiDriver>()>;

class Contract : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

Backend BackendNamed(const std::string& name) {
#ifdef QUOTAMIN_QT_CONTRACT
    if (name == "Qt") {
        return MakeQtDriver;
    }
#endif
#ifdef _WIN32
    if (name == "Win32") {
        return MakeWin32Driver;
    }
#endif
    (void)name;
    return MakeHeadlessDriver;
}

TEST_P(Contract, Holds) {
    const ContractCase& contractCase = kCases[std::get<1>(GetParam())];
    static const ResourceTable resources = ProbeResources();
    auto row = std::make_shared<Row>();
    row->ui = BackendNamed(std::get<0>(GetParam()))();
    row->probe.emplace(row->ui->System(), row->log, "p", contractCase.timers,
                       contractCase.templateId);
    struct StopFirst {
        Row& row;
        ~StopFirst() {
            if (!row.ui->Stop()) {
                ADD_FAILURE() << "the probe's windows did not end; they are left behind";
            }
        }
    } stopFirst{*row};
    row->ui->Start([row] { row->result = row->probe->DoModal(); });
    ASSERT_TRUE(row->ui->WaitFor("the probe open and shown", [&] {
        return row->log.Count("p open") == 1 && row->ui->OpenWindows() == 1;
    }));
    Context context{*row->ui, row->log, *row->probe, row->result,
                    *resources.FindDialog(contractCase.templateId)};
    contractCase.run(context);
}

std::vector<std::string> Backends() {
#if defined(QUOTAMIN_QT_CONTRACT)
    return {"Qt"};
#elif defined(_WIN32)
    return {"Headless", "Win32"};
#else
    return {"Headless"};
#endif
}

std::string CaseName(const ::testing::TestParamInfo<Contract::ParamType>& param) {
    return std::get<0>(param.param) + "_" + kCases[std::get<1>(param.param)].name;
}

INSTANTIATE_TEST_SUITE_P(Backends, Contract,
                         ::testing::Combine(::testing::ValuesIn(Backends()),
                                            ::testing::Range(0,
                                                             static_cast<int>(std::size(kCases)))),
                         CaseName);

}  // namespace
}  // namespace test
}  // namespace quotamin
