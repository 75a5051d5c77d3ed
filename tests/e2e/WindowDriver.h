#pragma once
// Drives a running Windows program from outside, the way a person and the
// shell would: finds its windows, reads and sets control texts, clicks
// buttons, presses keys, answers message boxes and sends the messages the
// notification area and the timers send. Every wait polls with a deadline.

#include "os/Win32Handles.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace quotamin::e2e {

using namespace std::chrono_literals;

// A check that did not hold; the message says what was expected and what was seen.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Bytes and texts as a person can read them: printable characters as they
// are, everything else as \r, \n or \xNN.
std::string Printable(const std::string& bytes);

template <typename T>
void ExpectEq(const T& actual, const T& expected, const std::string& what) {
    if (!(actual == expected)) {
        if constexpr (std::is_convertible_v<T, std::string>) {
            throw Failure(what + ": expected \"" + Printable(expected) + "\", got \"" +
                          Printable(actual) + "\"");
        } else {
            throw Failure(what + ": expected " + std::to_string(expected) + ", got " +
                          std::to_string(actual));
        }
    }
}
void Expect(bool condition, const std::string& what);

// Polls `found` every few milliseconds until it gives something true, and
// throws when `timeout` has passed first.
template <typename Find>
auto WaitFor(Find found, std::chrono::milliseconds timeout, const std::string& what) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto result = found()) {
            return result;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw Failure("timed out waiting for " + what);
        }
        ::Sleep(5);
    }
}

// Polls `get` until it gives `expected`; fails with what it gave last when
// `timeout` has passed first. For what the program does after a posted message.
template <typename Get, typename T>
void ExpectSoon(Get get, const T& expected, const std::string& what,
                std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const T actual = get();
        if (actual == expected) {
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ExpectEq(actual, expected, what);
        }
        ::Sleep(5);
    }
}

// A process started with no arguments; ended when the object goes if it still runs.
class Process {
  public:
    explicit Process(const std::string& program, const std::string& arguments = "");
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    DWORD ExitCode() const;
    void Terminate();

  private:
    UniqueKernelObject m_process;
    UniqueKernelObject m_thread;
    DWORD m_id = 0;
};

// The visible top-level dialog (class #32770) of `processId` with `title`, or null.
HWND FindDialog(DWORD processId, const std::string& title);
// Waits for that dialog to be shown.
HWND WaitForDialog(DWORD processId, const std::string& title,
                   std::chrono::milliseconds timeout = 30s);
void WaitUntilHidden(HWND window, std::chrono::milliseconds timeout = 10s);

HWND Control(HWND dialog, int id);
// The control's text, asked of the control itself (WM_GETTEXT), so that an
// edit box gives what it holds now.
std::string Text(HWND window);
// The same, or nothing when the window is gone or does not answer.
std::optional<std::string> TextIfThere(HWND window);
void SetText(HWND window, const std::string& text);
bool IsChecked(HWND button);
// A press of the button, posted: the program may answer it with a modal loop.
void Click(HWND button);
// A key pressed and released over `window`.
void PressKey(HWND window, UINT virtualKey);
// Sends a message and waits for the answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A message box as the user sees it.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    bool hasIcon = false;
};
// Waits for the message box owned by `owner`, reads it and presses its OK
// button; returns once the box is gone.
MessageBoxSeen AnswerMessageBox(HWND owner, std::chrono::milliseconds timeout = 30s);
// The message box owned by `owner` that is shown now, or null.
HWND FindMessageBox(HWND owner);

// Saves what the screen shows of `window` as a 24-bit BMP file, once two
// captures a moment apart agree (the window has finished painting).
void SaveScreenshot(HWND window, const std::string& path);

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
std::string WindowsDirectory();
std::string UserName();

}  // namespace quotamin::e2e
