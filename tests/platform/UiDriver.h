#pragma once
// One way of driving a window system as a user would, so that the same
// contract cases run against the headless window system and the real Win32 one.
// The headless driver is exact (it waits until the code is idle); the Win32
// driver acts through real window messages and polls, so a case states its
// expectations with WaitFor, which the headless driver checks at once.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace quotamin::test {

struct SeenMessageBox {
    bool open = false;
    std::string caption;
    std::string text;
    WindowHandle owner{};
};

class UiDriver {
  public:
    virtual ~UiDriver() = default;
    virtual WindowSystem& System() = 0;
    // Runs `code` on a user-interface thread of its own.
    virtual void Start(std::function<void()> code) = 0;
    // Ends whatever still runs; called before the dialogs' owner goes away.
    virtual void Stop() = 0;
    virtual bool WaitFor(const std::function<bool()>& condition) = 0;
    virtual void AdvanceBy(std::chrono::milliseconds duration) = 0;
    virtual void PressEnter() = 0;
    virtual void PressEscape() = 0;
    virtual void PressCloseBox() = 0;
    virtual void Click(int id) = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // The innermost window, if it is a message box.
    virtual SeenMessageBox TopMessageBox() = 0;
    virtual void AnswerMessageBox() = 0;
    // The number of modal windows open (dialogs and message boxes).
    virtual int OpenWindows() = 0;
    virtual bool IsEnabled(WindowHandle window) = 0;
    virtual std::string Name() const = 0;
};

std::unique_ptr<UiDriver> MakeHeadlessDriver();
#ifdef _WIN32
std::unique_ptr<UiDriver> MakeWin32Driver();
#endif

}  // namespace quotamin::test
