#include "tests/support/GuiThread.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QMetaObject>
#include <condition_variable>
#include <thread>

namespace quotamin::testing {

void PostToGuiThread(std::function<void()> code, QObject* context) {
    QMetaObject::invokeMethod(context != nullptr ? context : QCoreApplication::instance(),
                              std::move(code), Qt::QueuedConnection);
}

namespace detail {

bool RunOnGuiThread(const std::shared_ptr<GuiCallState>& state, std::function<void()> run,
                    std::chrono::milliseconds patience) {
    auto finished = std::make_shared<std::condition_variable>();
    PostToGuiThread([state, finished, run = std::move(run)] {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->abandoned) {
                return;
            }
        }
        // Run without the lock: the code may run a modal loop that takes its time.
        run();
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->done = true;
        }
        finished->notify_all();
    });
    std::unique_lock<std::mutex> lock(state->mutex);
    if (finished->wait_for(lock, patience, [&] { return state->done; })) {
        return true;
    }
    state->abandoned = true;
    return false;
}

}  // namespace detail

}  // namespace quotamin::testing
