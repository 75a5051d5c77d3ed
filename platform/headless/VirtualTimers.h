#pragma once
// Window timers on a virtual clock. Time passes only when the test lets it: up
// to a target time, timers come due in the order of their due times (timers due
// at the same moment in the order they were set), each firing moves the clock
// to its due time, and a periodic timer is due again one period later.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Handles.h"

namespace quotamin {

struct TimerInfo {
    WindowHandle window{};
    std::uintptr_t id = 0;
    std::uint32_t period = 0;
    std::chrono::milliseconds due{0};
};

class VirtualTimers {
  public:
    std::chrono::milliseconds Now() const { return m_now; }
    // Lets `duration` more pass, counted from now or from the target set
    // before, whichever is later.
    void Allow(std::chrono::milliseconds duration);
    // The clock catches up with the target once nothing is due any more.
    void CatchUp() { m_now = std::max(m_now, m_target); }

    // SetTimer: a timer of the same window and id is replaced.
    std::uintptr_t Set(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds);
    bool Kill(WindowHandle window, std::uintptr_t id);
    void KillAllOf(WindowHandle window);

    // The timer due next by the target time, moved on to its next due time;
    // nothing when none is due.
    std::optional<TimerInfo> TakeDue();
    std::vector<TimerInfo> List() const;

  private:
    struct Timer {
        TimerInfo info;
        std::uint64_t sequence = 0;
    };
    std::vector<Timer> m_timers;
    std::uint64_t m_sequence = 0;
    std::chrono::milliseconds m_now{0};
    std::chrono::milliseconds m_target{0};
};

}  // namespace quotamin
