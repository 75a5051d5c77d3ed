#include "platform/headless/VirtualTimers.h"

#include <algorithm>

namespace quotamin {

namespace {

// Windows moves timers shorter than this up to it.
constexpr std::uint32_t kShortestTimer = 10;

}  // namespace

void VirtualTimers::Allow(std::chrono::milliseconds duration) {
    m_target = std::max(m_target, m_now) + duration;
}

std::uintptr_t VirtualTimers::Set(WindowHandle window, std::uintptr_t id,
                                  std::uint32_t milliseconds) {
    const std::uint32_t period = std::max(milliseconds, kShortestTimer);
    const std::chrono::milliseconds due = m_now + std::chrono::milliseconds(period);
    for (Timer& timer : m_timers) {
        if (timer.info.window == window && timer.info.id == id) {
            timer.info.period = period;
            timer.info.due = due;
            return id;
        }
    }
    m_timers.push_back({{window, id, period, due}, m_sequence++});
    return id;
}

bool VirtualTimers::Kill(WindowHandle window, std::uintptr_t id) {
    auto found = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& timer) {
        return timer.info.window == window && timer.info.id == id;
    });
    if (found == m_timers.end()) {
        return false;
    }
    m_timers.erase(found);
    return true;
}

void VirtualTimers::KillAllOf(WindowHandle window) {
    std::erase_if(m_timers, [window](const Timer& timer) { return timer.info.window == window; });
}

std::optional<TimerInfo> VirtualTimers::TakeDue() {
    auto due =
        std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
            return a.info.due != b.info.due ? a.info.due < b.info.due : a.sequence < b.sequence;
        });
    if (due == m_timers.end() || due->info.due > m_target) {
        return std::nullopt;
    }
    m_now = std::max(m_now, due->info.due);
    const TimerInfo fired = due->info;
    due->info.due += std::chrono::milliseconds(due->info.period);
    return fired;
}

std::vector<TimerInfo> VirtualTimers::List() const {
    std::vector<TimerInfo> timers;
    for (const Timer& timer : m_timers) {
        timers.push_back(timer.info);
    }
    return timers;
}

}  // namespace quotamin
