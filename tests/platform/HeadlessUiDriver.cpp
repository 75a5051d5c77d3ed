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
    std::string Name() const override { return "Headless"; }
    void Start(std::function<void()> code) override {
        m_running.emplace(m_ui.Start(std::move(code)));
    }
    bool Stop() override {
        m_running.reset();
        return true;
    }
    ::testing::AssertionResult WaitFor(const std::string& what,
                                       const std::function<bool()>& condition) override {
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "not so once the code was idle: " << what;
    }
    void AdvanceBy(std::chrono::milliseconds duration) override { m_ui.AdvanceBy(duration); }

    void PressEnter() override { m_ui.PressEnter(); }
    void PressEscape() override { m_ui.PressEscape(); }
    void PressTab() override { m_ui.PressTab(); }
    void PressCloseBox() override { m_ui.PressCloseBox(); }
    void ChooseSystemCommand(std::uint32_t id) override { m_ui.ChooseSystemCommand(id); }
    void Click(int id) override { m_ui.Click(id); }
    void SetText(int id, const std::string& text) override { m_ui.SetText(id, text); }
    void AnswerMessageBox() override { m_ui.TopMessageBox().PressOk(); }
    void Repaint() override { m_ui.Paint(m_ui.TopWindow()); }

    WindowHandle TopWindow() override { return m_ui.TopWindow(); }
    SeenMessageBox TopMessageBox() override {
        const std::vector<testing::MessageBoxView> boxes = m_ui.OpenMessageBoxes();
        if (boxes.empty() || m_ui.TopWindow() != boxes.back().window) {
            return {};
        }
        return {true, boxes.back().caption, boxes.back().text, boxes.back().owner};
    }
    int OpenWindows() override { return static_cast<int>(m_ui.ModalWindows().size()); }
    bool IsEnabled(WindowHandle window) override {
        return m_ui.IsOpen(window) && m_ui.IsEnabled(window);
    }
    bool IsVisible(WindowHandle window) override { return m_ui.IsVisible(window); }
    bool IsTopmost(WindowHandle window) override { return m_ui.IsTopmost(window); }
    WindowHandle ActiveWindow() override { return m_ui.Foreground(); }
    int Check(int id) override { return m_ui.Check(id); }
    int FocusedControlId() override { return m_ui.FocusedControlId(); }
    Rect ControlRect(int id) override { return m_ui.ControlRect(m_ui.TopWindow(), id); }
    Rect ClientRect() override { return m_windowSystem.GetClientRect(m_ui.TopWindow()); }
    DialogBaseUnits BaseUnits() override { return HeadlessWindowSystem::kBaseUnits; }
    Rect MapDialogRect(const Rect& units) override {
        return quotamin::MapDialogRect(units, HeadlessWindowSystem::kBaseUnits);
    }
    std::vector<MenuItem> SystemMenu() override { return m_ui.SystemMenuOf(m_ui.TopWindow()); }
    std::uint32_t PixelAt(int x, int y) override { return m_ui.PixelAt(m_ui.TopWindow(), x, y); }
    std::uint32_t DialogBackground() override { return Raster::kBackgroundColour; }
    std::uint32_t BitmapPixel(int, int x, int y) override { return Raster::BitmapPixel(x, y); }

  protected:
    bool Dispatch(WindowHandle window, std::shared_ptr<UiCall> call) override {
        m_ui.Send(window, kRunOnUiMessage, 0, reinterpret_cast<LParam>(call.get()));
        return call->Done();
    }

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
