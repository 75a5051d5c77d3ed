#pragma once
// A dialog for exercising the layer: it records what happens to it, its
// commands open a nested dialog, a message box, fail, or end it, it draws a
// bitmap of known pixels on its background, and it runs code that a test hands
// it on the user-interface thread.

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Drawing.h"
#include "tests/platform/ProbeResources.h"

namespace quotamin::test {

// Code for the user-interface thread, which the probe runs inside its handler
// of kRunOnUiMessage (lParam: the UiCall). A caller that gives up waiting
// abandons it, and then it does not run any more: so it must hold its own
// copies of what it uses, not refer to the caller's stack.
inline constexpr std::uint32_t kRunOnUiMessage = WM_USER + 100;

class UiCall {
  public:
    virtual ~UiCall() = default;
    void RunUnlessAbandoned() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_abandoned) {
            Run();
            m_done = true;
        }
    }
    // False when the code is running right now and cannot be stopped.
    bool Abandon() {
        std::unique_lock<std::mutex> lock(m_mutex, std::try_to_lock);
        if (!lock.owns_lock()) {
            return false;
        }
        m_abandoned = true;
        return true;
    }
    bool Done() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_done;
    }

  protected:
    virtual void Run() = 0;

  private:
    std::mutex m_mutex;
    bool m_abandoned = false;
    bool m_done = false;
};

template <typename Code>
class UiCallOf final : public UiCall {
  public:
    using Result = std::invoke_result_t<Code&>;
    explicit UiCallOf(Code code) : m_code(std::move(code)) {}
    std::optional<Result> result;

  private:
    void Run() override { result = m_code(); }
    Code m_code;
};

// What the probe draws on its background after the default erasure, in client
// pixels: copies of bitmap PROBE_SMALL_BITMAP (7 by 5).
struct ProbeCopy {
    bool stretch;
    int x, y, cx, cy;  // destination
    int sx, sy;        // source origin
    int scx, scy;      // source size (a stretch only)
};
inline constexpr ProbeCopy kProbeCopies[] = {
    {false, 20, 60, 7, 5, 0, 0, 0, 0},    // the whole bitmap
    {false, 40, 60, 14, 10, 0, 0, 0, 0},  // reaching beyond the bitmap
    {true, 60, 60, 14, 10, 0, 0, 7, 5},   // twice the size
    {false, 80, 60, 7, 5, 2, 1, 0, 0},    // from inside the bitmap, reaching beyond it
};

// What the probes did, readable from another thread.
class EventLog {
  public:
    void Add(const std::string& event) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(event);
    }
    std::vector<std::string> Events() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    int Count(const std::string& event) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        int count = 0;
        for (const std::string& e : m_events) {
            count += e == event ? 1 : 0;
        }
        return count;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
};

struct ProbeTimer {
    std::uintptr_t id;
    std::uint32_t period;
    bool once;         // killed at its first tick
    bool box = false;  // shows a message box from its first tick's handler
};

// The callback message of the probes' notification-area icon.
inline constexpr std::uint32_t kProbeIconMessage = WM_USER + 2;

class ProbeDialog : public Dialog {
  public:
    ProbeDialog(WindowSystem& windowSystem, EventLog& log, std::string name,
                std::vector<ProbeTimer> timers = {}, int templateId = kProbeTemplate)
        : Dialog(windowSystem, templateId),
          m_log(log),
          m_name(std::move(name)),
          m_timers(std::move(timers)),
          m_bitmap(windowSystem) {}

    // The dialog's window once it is open; readable from any thread.
    WindowHandle Window() const { return m_window.load(); }

  protected:
    void DoDataExchange(DataExchange& dx) override { DDX_Control(dx, kNameEdit, m_nameEdit); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        m_window = GetSafeHwnd();
        m_bitmap.LoadBitmap(PROBE_SMALL_BITMAP);
        for (const ProbeTimer& timer : m_timers) {
            SetTimer(timer.id, timer.period);
        }
        m_log.Add(m_name + " open");
        return true;
    }
    void OnTimer(std::uintptr_t id) override {
        m_log.Add(m_name + " timer " + std::to_string(id));
        for (const ProbeTimer& timer : m_timers) {
            if (timer.id == id && timer.once) {
                KillTimer(id);
            }
            if (timer.id == id && timer.box && !m_timerBoxShown) {
                m_timerBoxShown = true;
                MessageBox("Tick from " + m_name);
                m_log.Add(m_name + " timer box closed");
            }
        }
        Dialog::OnTimer(id);
    }
    void OnOK() override {
        m_log.Add(m_name + " ok " + m_nameEdit.GetWindowText());
        Dialog::OnOK();
    }
    void OnCancel() override {
        m_log.Add(m_name + " cancel");
        Dialog::OnCancel();
    }
    void OnDestroy() override {
        m_log.Add(m_name + " destroy");
        Dialog::OnDestroy();
    }
    void OnSysCommand(std::uint32_t id, LParam lParam) override {
        m_log.Add(m_name + " system command " + std::to_string(id));
        Dialog::OnSysCommand(id, lParam);
    }
    bool OnEraseBkgnd(DrawingContext& dc) override {
        Default();
        if (m_bitmap) {
            MemoryDrawingContext memory(dc);
            if (memory) {
                const BitmapHandle before = memory.SelectObject(m_bitmap);
                for (const ProbeCopy& copy : kProbeCopies) {
                    if (copy.stretch) {
                        dc.StretchBlt(copy.x, copy.y, copy.cx, copy.cy, memory, copy.sx, copy.sy,
                                      copy.scx, copy.scy, SRCCOPY);
                    } else {
                        dc.BitBlt(copy.x, copy.y, copy.cx, copy.cy, memory, copy.sx, copy.sy,
                                  SRCCOPY);
                    }
                }
                memory.SelectObject(before);
            }
        }
        m_log.Add(m_name + " erased");
        return true;
    }
    LResult WindowProc(std::uint32_t message, WParam wParam, LParam lParam) override {
        if (message == kRunOnUiMessage) {
            reinterpret_cast<UiCall*>(lParam)->RunUnlessAbandoned();
            return 1;
        }
        if (message == kProbeIconMessage) {
            m_log.Add(m_name + " icon " + std::to_string(wParam) + " " + std::to_string(lParam));
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }
    bool OnCommand(int id) override {
        switch (id) {
            case kOpenNested: {
                ProbeDialog nested(GetWindowSystem(), m_log, m_name + ".nested");
                m_log.Add(m_name + " nested ended " + std::to_string(nested.DoModal()));
                return true;
            }
            case kShowBox:
                MessageBox("Hello from " + m_name);
                m_log.Add(m_name + " box closed");
                return true;
            case kFail:
                throw std::runtime_error("C:\\WINDOWS\\probe.dat - Can't read file");
            case kEndWithSeven:
                EndDialog(7);
                m_log.Add(m_name + " after EndDialog");
                return true;
            case kDefaultButton:
                m_log.Add(m_name + " default button");
                return true;
            default:
                m_log.Add(m_name + " command " + std::to_string(id));
                return true;
        }
    }

  private:
    EventLog& m_log;
    std::string m_name;
    std::vector<ProbeTimer> m_timers;
    bool m_timerBoxShown = false;
    Bitmap m_bitmap;
    Edit m_nameEdit;
    std::atomic<WindowHandle> m_window{};
};

}  // namespace quotamin::test
