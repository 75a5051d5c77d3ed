// The behaviour that the program relies on from any window system, run against
// each backend: the headless one everywhere, the Win32 one in the Windows build.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>

#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"

namespace quotamin::test {
namespace {

using namespace std::chrono_literals;

struct Context {
    UiDriver& ui;
    EventLog& log;
    ProbeDialog& probe;
    std::atomic<std::intptr_t>& result;

    bool Ended() {
        return ui.WaitFor([&] { return result.load() != kRunning; });
    }
    bool Logged(const std::string& event, int times = 1) {
        return ui.WaitFor([&] { return log.Count(event) >= times; });
    }
    int Position(const std::string& event) const {
        std::vector<std::string> events = log.Events();
        return static_cast<int>(std::find(events.begin(), events.end(), event) - events.begin());
    }
    static constexpr std::intptr_t kRunning = -100;
};

struct ContractCase {
    const char* name;
    int templateId;
    std::vector<ProbeTimer> timers;
    std::function<void(Context&)> run;
};

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
         EXPECT_EQ(c.result.load(), Context::kRunning);
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
         ASSERT_TRUE(c.ui.WaitFor([&] { return c.ui.TopMessageBox().open; }));
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
         EXPECT_TRUE(c.ui.WaitFor([&] { return c.ui.IsEnabled(c.probe.Window()); }));
         c.ui.PressEscape();
         EXPECT_TRUE(c.Ended());
     }},
    {"NestedDialogIsOwnedByTheDialogInFrontAndDisablesIt",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kOpenNested);
         ASSERT_TRUE(c.Logged("p.nested open"));
         ASSERT_TRUE(c.ui.WaitFor([&] { return c.ui.OpenWindows() == 2; }));
         EXPECT_FALSE(c.ui.IsEnabled(c.probe.Window()));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Logged("p nested ended 2"));
         EXPECT_TRUE(c.ui.WaitFor([&] { return c.ui.IsEnabled(c.probe.Window()); }));
         EXPECT_EQ(c.result.load(), Context::kRunning);
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
    {"AnErrorInAHandlerIsReportedAndTheProgramGoesOn",
     kProbeTemplate,
     {},
     [](Context& c) {
         c.ui.Click(kFail);
         ASSERT_TRUE(c.ui.WaitFor([&] { return c.ui.TopMessageBox().open; }));
         SeenMessageBox box = c.ui.TopMessageBox();
         EXPECT_NE(box.text.find("C:\\WINDOWS\\probe.dat - Can't read file"), std::string::npos)
             << box.text;
         EXPECT_NE(box.text.find("dialog 900, command 1204"), std::string::npos) << box.text;
         EXPECT_EQ(box.owner, c.probe.Window());
         c.ui.AnswerMessageBox();
         ASSERT_TRUE(c.ui.WaitFor([&] { return c.ui.OpenWindows() == 1; }));
         c.ui.PressEscape();
         ASSERT_TRUE(c.Ended());
         EXPECT_EQ(c.result.load(), IDCANCEL);
     }},
};

using Backend = std::function<std::unique_ptr<UiDriver>()>;

class Contract : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

Backend BackendNamed(const std::string& name) {
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
    std::unique_ptr<UiDriver> ui = BackendNamed(std::get<0>(GetParam()))();
    EventLog log;
    ProbeDialog probe(ui->System(), log, "p", contractCase.timers, contractCase.templateId);
    std::atomic<std::intptr_t> result{Context::kRunning};
    struct StopFirst {
        UiDriver& ui;
        ~StopFirst() { ui.Stop(); }
    } stopFirst{*ui};
    ui->Start([&] { result = probe.DoModal(); });
    ASSERT_TRUE(ui->WaitFor([&] { return log.Count("p open") == 1 && ui->OpenWindows() == 1; }));
    Context context{*ui, log, probe, result};
    contractCase.run(context);
}

std::vector<std::string> Backends() {
#ifdef _WIN32
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
}  // namespace quotamin::test
