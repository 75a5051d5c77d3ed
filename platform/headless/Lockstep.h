#pragma once
// Two threads that take turns: the test's and the user-interface thread that
// runs the code under test. Only one of them runs at any time. The code under
// test runs until its innermost modal loop has nothing left to do, then hands
// control back to the test; each action of the test hands it to the code under
// test until that is idle again. So modal loops nest as they do on Windows, and
// the test sees each state in between without waiting or racing.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace quotamin {

class Lockstep {
  public:
    Lockstep() = default;
    ~Lockstep();
    Lockstep(const Lockstep&) = delete;
    Lockstep& operator=(const Lockstep&) = delete;

    // Stops the code under test when destroyed, unless it has finished.
    class [[nodiscard]] Running {
      public:
        explicit Running(Lockstep& lockstep) : m_lockstep(&lockstep) {}
        Running(Running&& other) noexcept : m_lockstep(std::exchange(other.m_lockstep, nullptr)) {}
        Running& operator=(Running&&) = delete;
        ~Running() {
            if (m_lockstep != nullptr) {
                m_lockstep->Stop();
            }
        }

      private:
        Lockstep* m_lockstep;
    };

    // --- From the test's thread ---

    // Runs `code` on the user-interface thread until it is idle or done.
    Running Start(std::function<void()> code);
    // True when the started code has returned; rethrows what escaped from it.
    bool Finished();
    // Ends every loop (each sees Stopping()) and waits for the code to return.
    void Stop();
    // Queues `action` for the user-interface thread and lets that run until it
    // is idle again; rethrows what escaped from the code under test.
    void RunOnUi(std::function<void()> action);
    // Lets the user-interface thread run until it is idle again (after the
    // test has made something due, such as time).
    void Resume();
    bool IsRunning() const { return m_uiRunning; }

    // --- From the user-interface thread ---

    bool OnUiThread() const;
    bool Stopping() const { return m_stopping; }
    // Queues `action` to run once the current handler has returned, as a
    // posted message does.
    void Post(std::function<void()> action);
    // A modal loop: runs queued actions, then `runDue` (one due item at a time,
    // false when none is due), until `done` or Stopping(); whenever there is
    // nothing to do it hands control to the test.
    void Pump(const std::function<bool()>& done, const std::function<bool()>& runDue,
              const std::function<void()>& idle);

  private:
    enum class Turn { Test, Ui };
    void HandToUiAndWait();
    void HandToTest();

    std::deque<std::function<void()>> m_actions;
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    Turn m_turn = Turn::Test;
    std::thread m_ui;
    std::thread::id m_uiId{};
    bool m_uiRunning = false;
    bool m_stopping = false;
    std::exception_ptr m_uiError;
};

}  // namespace quotamin
