#include <memory>
#include <optional>

#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"
#include "tests/support/HeadlessDriver.h"

namespace quotamin::test {
namespace {

class HeadlessUiDriver : public UiDriver {
  public:
    WindowSystem& System() override { return m_windowSystem; }
    void Start(std::function<void()> code) override {
        m_running.emplace(m_ui.Start(std::move(code)));
    }
    void Stop() override { m_running.reset(); }
    bool WaitFor(const std::function<bool()>& condition) override { return condition(); }
    void AdvanceBy(std::chrono::milliseconds duration) override { m_ui.AdvanceBy(duration); }
    void PressEnter() override { m_ui.PressEnter(); }
    void PressEscape() override { m_ui.PressEscape(); }
    void PressCloseBox() override { m_ui.PressCloseBox(); }
    void Click(int id) override { m_ui.Click(id); }
    void SetText(int id, const std::string& text) override { m_ui.SetText(id, text); }
    SeenMessageBox TopMessageBox() override {
        if (m_ui.OpenMessageBoxes().empty() ||
            m_ui.TopWindow() != m_ui.OpenMessageBoxes().back().window) {
            return {};
        }
        testing::MessageBoxView box = m_ui.TopMessageBox();
        return {true, box.caption, box.text, box.owner};
    }
    void AnswerMessageBox() override { m_ui.TopMessageBox().PressOk(); }
    int OpenWindows() override { return static_cast<int>(m_ui.ModalWindows().size()); }
    bool IsEnabled(WindowHandle window) override {
        return m_ui.IsOpen(window) && m_ui.IsEnabled(window);
    }
    std::string Name() const override { return "Headless"; }

  private:
    HeadlessWindowSystem m_windowSystem{ProbeResources(),
                                        "C:\\Program Files\\Probe\\probe-app.exe"};
    testing::HeadlessDriver m_ui{m_windowSystem};
    std::optional<testing::HeadlessDriver::Running> m_running;
};

}  // namespace

std::unique_ptr<UiDriver> MakeHeadlessDriver() {
    return std::make_unique<HeadlessUiDriver>();
}

}  // namespace quotamin::test
