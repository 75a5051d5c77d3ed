#include "platform/headless/Lockstep.h"

#include <stdexcept>

namespace quotamin {

namespace {

std::logic_error Misuse(const std::string& what) {
    return std::logic_error("headless window system: " + what);
}

}  // namespace

Lockstep::~Lockstep() {
    Stop();
}

Lockstep::Running Lockstep::Start(std::function<void()> code) {
    if (m_uiRunning) {
        throw Misuse("Start() while the code started before is still running");
    }
    if (m_ui.joinable()) {
        m_ui.join();
    }
    m_uiRunning = true;
    m_stopping = false;
    m_uiError = nullptr;
    m_ui = std::thread([this, code = std::move(code)] {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_turnChanged.wait(lock, [this] { return m_turn == Turn::Ui; });
        }
        try {
            code();
        } catch (...) {
            m_uiError = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_uiRunning = false;
        m_turn = Turn::Test;
        m_turnChanged.notify_all();
    });
    m_uiId = m_ui.get_id();
    HandToUiAndWait();
    return Running(*this);
}

bool Lockstep::Finished() {
    if (m_uiError) {
        std::exception_ptr error = std::exchange(m_uiError, nullptr);
        std::rethrow_exception(error);
    }
    return !m_uiRunning;
}

void Lockstep::Stop() {
    if (m_uiRunning) {
        m_stopping = true;
        HandToUiAndWait();
    }
    if (m_ui.joinable()) {
        m_ui.join();
    }
    m_stopping = false;
    m_actions.clear();
}

void Lockstep::RunOnUi(std::function<void()> action) {
    if (!m_uiRunning) {
        throw Misuse("no code is running to act on; Start() it first");
    }
    m_actions.push_back(std::move(action));
    Resume();
}

void Lockstep::Resume() {
    if (m_uiRunning) {
        HandToUiAndWait();
        Finished();  // rethrows what escaped from the code under test, if anything
    }
}

bool Lockstep::OnUiThread() const {
    return m_uiRunning && std::this_thread::get_id() == m_uiId;
}

void Lockstep::Post(std::function<void()> action) {
    m_actions.push_back(std::move(action));
}

void Lockstep::Pump(const std::function<bool()>& done, const std::function<bool()>& runDue,
                    const std::function<void()>& idle) {
    if (!OnUiThread()) {
        throw Misuse("modal loops run only in code started with Start()");
    }
    while (!done() && !m_stopping) {
        if (!m_actions.empty()) {
            std::function<void()> action = std::move(m_actions.front());
            m_actions.pop_front();
            action();
            continue;
        }
        if (runDue()) {
            continue;
        }
        idle();
        HandToTest();
    }
}

void Lockstep::HandToUiAndWait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_turn = Turn::Ui;
    m_turnChanged.notify_all();
    m_turnChanged.wait(lock, [this] { return m_turn == Turn::Test; });
}

void Lockstep::HandToTest() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_turn = Turn::Test;
    m_turnChanged.notify_all();
    m_turnChanged.wait(lock, [this] { return m_turn == Turn::Ui; });
}

}  // namespace quotamin
