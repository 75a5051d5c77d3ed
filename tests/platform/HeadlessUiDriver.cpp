#include <memory>
#include <optional>

#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"

namespace quotamin::test {
namespace {

class HeadlessUiDriver : public UiDriver {
  public:
    WindowSystem& System() override { return ui_; }
    void Start(std::function<void()> code) override {
        running_.emplace(ui_.Start(std::move(code)));
    }
    void Stop() override { running_.reset(); }
    bool WaitFor(const std::function<bool()>& condition) override { return condition(); }
    void AdvanceBy(std::chrono::milliseconds duration) override { ui_.AdvanceBy(duration); }
    void PressEnter() override { ui_.PressEnter(); }
    void PressEscape() override { ui_.PressEscape(); }
    void PressCloseBox() override { ui_.PressCloseBox(); }
    void Click(int id) override { ui_.Click(id); }
    void SetText(int id, const std::string& text) override { ui_.SetText(id, text); }
    SeenMessageBox TopMessageBox() override {
        if (ui_.OpenMessageBoxes().empty() ||
            ui_.TopWindow() != ui_.OpenMessageBoxes().back().window) {
            return {};
        }
        MessageBoxView box = ui_.TopMessageBox();
        return {true, box.caption, box.text, box.owner};
    }
    void AnswerMessageBox() override { ui_.TopMessageBox().PressOk(); }
    int OpenWindows() override { return static_cast<int>(ui_.ModalWindows().size()); }
    bool IsEnabled(WindowHandle window) override {
        return ui_.IsOpen(window) && ui_.IsEnabled(window);
    }
    std::string Name() const override { return "Headless"; }

  private:
    HeadlessWindowSystem ui_{ProbeResources(), "C:\\Program Files\\Probe\\probe-app.exe"};
    std::optional<HeadlessWindowSystem::Running> running_;
};

}  // namespace

std::unique_ptr<UiDriver> MakeHeadlessDriver() {
    return std::make_unique<HeadlessUiDriver>();
}

}  // namespace quotamin::test
