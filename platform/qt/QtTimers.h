#pragma once
// Window timers on Qt: each (window, id) a QTimer. A tick is handed to the
// window as WM_TIMER from the event loop once the timer's own activation is
// over, the way Windows queues WM_TIMER: so a timer goes on ticking in a
// modal loop that its own handler runs (a message box), and ticks that a busy
// handler misses come as one, never piled up.

#include "platform/WindowsHeaderOrder.h"

#include <QtCore/QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/Handles.h"

namespace quotamin {

class QtTimers {
  public:
    using Tick = std::function<void(WindowHandle window, std::uintptr_t id)>;
    explicit QtTimers(Tick tick) : m_tick(std::move(tick)) {}

    // Sets the timer anew (a timer of that id starts over); returns the id.
    std::uintptr_t Set(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds);
    bool Kill(WindowHandle window, std::uintptr_t id);
    void KillAllOf(WindowHandle window);

  private:
    using Key = std::pair<WindowHandle, std::uintptr_t>;
    struct Timer {
        std::unique_ptr<QTimer> timer;
        std::uint64_t serial = 0;  // tells a timer set again from the one killed before
        bool queued = false;
    };
    void Queue(const Key& key);

    Tick m_tick;
    std::map<Key, Timer> m_timers;
    std::uint64_t m_nextSerial = 1;
    // What the queued ticks are tied to: a handler may kill its own timer,
    // which must not delete the object whose event is being delivered.
    QObject m_context;
};

}  // namespace quotamin
