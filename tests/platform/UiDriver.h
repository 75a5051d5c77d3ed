#pragma once
// One way of driving a window system as a user would, and of reading what the
// user would see, so that the same contract rows run against the headless
// window system and the real Win32 and Qt ones. The headless driver is exact
// (it waits until the code is idle); the Win32 and Qt drivers act through real
// window messages and input events from a thread of their own, so a row states
// what it expects with WaitFor, which the headless driver checks at once and
// the others wait for, watching the windows' state, for a generous time. A
// wait that runs out fails the row, saying what it waited for; nothing aborts
// the test program.
//
// The queries and actions concern the window in front (the innermost modal
// window), as the user's do.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/DefaultSystemMenu.h"
#include "platform/DialogUnits.h"
#include "platform/Handles.h"
#include "platform/WindowSystem.h"
#include "tests/platform/ProbeDialog.h"

namespace quotamin::test {

struct SeenMessageBox {
    bool open = false;
    std::string caption;
    std::string text;
    WindowHandle owner{};
};

// The wait of the drivers of real window systems: checks `condition` every 10 ms
// for `patience`, and once more at the end, so a slow machine that brings the
// state just in time still passes.
inline ::testing::AssertionResult PollFor(const std::string& what,
                                          const std::function<bool()>& condition,
                                          std::chrono::seconds patience) {
    for (auto until = std::chrono::steady_clock::now() + patience;
         std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
    }
    if (condition()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "waited " << patience.count() << " s in vain for: " << what;
}

class UiDriver {
  public:
    virtual ~UiDriver() = default;
    virtual WindowSystem& System() = 0;
    virtual std::string Name() const = 0;

    // Runs `code` on a user-interface thread of its own.
    virtual void Start(std::function<void()> code) = 0;
    // Ends whatever still runs (Cancel to dialogs, OK to message boxes). False
    // when the code did not return in time: the row has failed, and the code is
    // left running with what it holds.
    virtual bool Stop() = 0;
    virtual ::testing::AssertionResult WaitFor(const std::string& what,
                                               const std::function<bool()>& condition) = 0;
    // Headless: lets virtual time pass. Win32: time passes by itself, and the
    // rows wait for what it brings.
    virtual void AdvanceBy(std::chrono::milliseconds duration) = 0;

    // Runs `code` on the user-interface thread, in a handler of the probe
    // `window`, as the program's own code runs, and returns its result; nothing
    // when the window did not answer in time (the row has failed then). `code`
    // must hold copies of what it uses: see UiCall.
    template <typename Code>
    auto OnUi(WindowHandle window, Code code) -> std::optional<std::invoke_result_t<Code&>> {
        auto call = std::make_shared<UiCallOf<Code>>(std::move(code));
        if (!Dispatch(window, call)) {
            return std::nullopt;
        }
        return call->result;
    }

    // The user's actions.
    virtual void PressEnter() = 0;
    virtual void PressEscape() = 0;
    virtual void PressTab() = 0;
    virtual void PressCloseBox() = 0;
    virtual void ChooseSystemCommand(std::uint32_t id) = 0;
    virtual void Click(int id) = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual void AnswerMessageBox() = 0;
    // The window in front is drawn again, its background erased first.
    virtual void Repaint() = 0;

    // What the user sees.
    virtual WindowHandle TopWindow() = 0;
    // The innermost window, if it is a message box.
    virtual SeenMessageBox TopMessageBox() = 0;
    // The number of modal windows open (dialogs and message boxes).
    virtual int OpenWindows() = 0;
    virtual bool IsEnabled(WindowHandle window) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual bool IsTopmost(WindowHandle window) = 0;
    // The active window of the user-interface thread, the one in front.
    virtual WindowHandle ActiveWindow() = 0;
    // BST_CHECKED or BST_UNCHECKED; -1 when the control did not answer.
    virtual int Check(int id) = 0;
    // The id of the control that has the keyboard focus; 0 when it is no control.
    virtual int FocusedControlId() = 0;
    // In the client coordinates of the window in front.
    virtual Rect ControlRect(int id) = 0;
    virtual Rect ClientRect() = 0;
    // The window in front's dialog base units, and its MapDialogRect.
    virtual DialogBaseUnits BaseUnits() = 0;
    virtual Rect MapDialogRect(const Rect& units) = 0;
    virtual std::vector<MenuItem> SystemMenu() = 0;
    virtual std::uint32_t PixelAt(int x, int y) = 0;
    // What the default erasure paints, and a bitmap resource's pixel, in the
    // same colour values as PixelAt.
    virtual std::uint32_t DialogBackground() = 0;
    virtual std::uint32_t BitmapPixel(int resourceId, int x, int y) = 0;

  protected:
    // Runs `call` in the handler of kRunOnUiMessage of the probe `window` and
    // waits for it; false when it gave up waiting.
    virtual bool Dispatch(WindowHandle window, std::shared_ptr<UiCall> call) = 0;
};

std::unique_ptr<UiDriver> MakeHeadlessDriver();
#ifdef _WIN32
std::unique_ptr<UiDriver> MakeWin32Driver();
#endif
#ifdef QUOTAMIN_QT_CONTRACT
std::unique_ptr<UiDriver> MakeQtDriver();
#endif

}  // namespace quotamin::test
