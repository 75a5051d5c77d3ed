#include "platform/qt/QtTimers.h"

#include <algorithm>

namespace quotamin {

std::uintptr_t QtTimers::Set(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
    const Key key{window, id};
    Timer& timer = m_timers[key];
    if (!timer.timer) {
        timer.timer = std::make_unique<QTimer>();
        timer.serial = m_nextSerial++;
        // A minute is a minute: the coarse kind may be off by 5 per cent.
        timer.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.timer.get(), &QTimer::timeout, [this, key] { Queue(key); });
    }
    timer.timer->start(static_cast<int>(std::min<std::uint32_t>(milliseconds, 0x7FFFFFFF)));
    return id;
}

void QtTimers::Queue(const Key& key) {
    auto found = m_timers.find(key);
    if (found == m_timers.end() || found->second.queued) {
        return;
    }
    found->second.queued = true;
    // A timer killed meanwhile takes its tick with it.
    QMetaObject::invokeMethod(
        &m_context,
        [this, key, serial = found->second.serial] {
            auto timer = m_timers.find(key);
            if (timer != m_timers.end() && timer->second.serial == serial) {
                timer->second.queued = false;
                m_tick(key.first, key.second);
            }
        },
        Qt::QueuedConnection);
}

bool QtTimers::Kill(WindowHandle window, std::uintptr_t id) {
    return m_timers.erase({window, id}) == 1;
}

void QtTimers::KillAllOf(WindowHandle window) {
    std::erase_if(m_timers, [window](const auto& timer) { return timer.first.first == window; });
}

}  // namespace quotamin
