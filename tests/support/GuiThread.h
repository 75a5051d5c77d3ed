#pragma once
// The Qt test programs run their QApplication on the main thread and the
// tests on a thread of their own (QtTestMain.cpp), so that a test can drive
// the windows from outside as a user would while the code under test runs its
// modal loops. These hand work to the main thread, the GUI thread.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

class QObject;

namespace quotamin::testing {

// Long enough for a machine that is busy with other work.
inline constexpr std::chrono::seconds kGuiPatience{20};

// Posts `code` to the GUI thread's event loop and returns at once. Tied to
// `context` when given: the code is dropped if the context is deleted first.
void PostToGuiThread(std::function<void()> code, QObject* context = nullptr);

namespace detail {
struct GuiCallState {
    std::mutex mutex;
    bool abandoned = false;
    bool done = false;
};
// Runs `run` on the GUI thread unless abandoned; waits for it as long as `patience`.
bool RunOnGuiThread(const std::shared_ptr<GuiCallState>& state, std::function<void()> run,
                    std::chrono::milliseconds patience);
}  // namespace detail

// Runs `code` on the GUI thread once its event loop gets to it and waits for
// its result; nothing when that took longer than `patience` (the code is then
// dropped if it has not started). `code` must hold copies of what it uses.
template <typename Code>
auto OnGuiThread(Code code, std::chrono::milliseconds patience = kGuiPatience)
    -> std::optional<std::invoke_result_t<Code&>> {
    using Result = std::invoke_result_t<Code&>;
    static_assert(!std::is_void_v<Result>, "the code returns what it found");
    auto state = std::make_shared<detail::GuiCallState>();
    auto result = std::make_shared<std::optional<Result>>();
    if (!detail::RunOnGuiThread(
            state, [code, result]() mutable { *result = code(); }, patience)) {
        return std::nullopt;
    }
    return std::move(*result);
}

}  // namespace quotamin::testing
