#include "tests/support/HeadlessDriver.h"

#include <algorithm>
#include <stdexcept>

#include "platform/Styles.h"

namespace quotamin::testing {

namespace {

std::logic_error Misuse(const std::string& what) {
    return std::logic_error("headless driver: " + what);
}

}  // namespace

void MessageBoxView::PressOk() const {
    if (driver == nullptr) {
        throw Misuse("this message box view belongs to no driver");
    }
    driver->PressMessageBoxOk(window);
}

// --- Actions ---

void HeadlessDriver::AdvanceBy(std::chrono::milliseconds duration) {
    m_ui.Clock().Allow(duration);
    if (m_ui.Turns().IsRunning()) {
        m_ui.Turns().Resume();
    } else {
        m_ui.Clock().CatchUp();
    }
}

void HeadlessDriver::Type(int id, const std::string& text) {
    const DialogControl& control = TopControl(id);
    if (control.kind != ControlKind::Edit || (control.style & ES_READONLY) != 0) {
        throw Misuse("control " + std::to_string(id) + " is no edit that can be typed into");
    }
    const WindowHandle handle = control.window;
    m_ui.Turns().RunOnUi([this, handle, text] {
        m_ui.SetFocus(handle);
        for (char c : text) {
            m_ui.SendMessage(handle, WM_CHAR, static_cast<unsigned char>(c), 0);
        }
    });
}

void HeadlessDriver::SetText(int id, const std::string& text) {
    const WindowHandle handle = TopControl(id).window;
    m_ui.Turns().RunOnUi([this, handle, text] { m_ui.SetWindowText(handle, text); });
}

void HeadlessDriver::Click(int id) {
    const DialogControl& control = TopControl(id);
    const WindowHandle handle = control.window;
    switch (control.kind) {
        case ControlKind::Static:
            throw Misuse("control " + std::to_string(id) + " cannot be clicked");
        case ControlKind::Edit:
            m_ui.Turns().RunOnUi([this, handle] { m_ui.SetFocus(handle); });
            return;
        case ControlKind::Button:
            m_ui.Turns().RunOnUi([this, handle] { m_ui.SendMessage(handle, BM_CLICK, 0, 0); });
            return;
    }
}

void HeadlessDriver::PressEnter() {
    if (TopWindow() == WindowHandle{}) {
        throw Misuse("no window to press Enter in");
    }
    m_ui.Turns().RunOnUi([this] { m_ui.PressKey(VK_RETURN); });
}

void HeadlessDriver::PressEscape() {
    if (TopWindow() == WindowHandle{}) {
        throw Misuse("no window to press Escape in");
    }
    m_ui.Turns().RunOnUi([this] { m_ui.PressKey(VK_ESCAPE); });
}

void HeadlessDriver::PressTab(bool shift) {
    TopDialog();
    m_ui.Turns().RunOnUi([this, shift] { m_ui.PressKey(VK_TAB, shift); });
}

void HeadlessDriver::PressCloseBox() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window to close");
    }
    const WindowModel::Window& window = Require(top);
    if (window.kind == WindowModel::Kind::MessageBox) {
        PressMessageBoxOk(top);
        return;
    }
    if ((window.style & WS_SYSMENU) == 0) {
        throw Misuse("the window has no close box");
    }
    m_ui.Turns().RunOnUi([this, top] { m_ui.SendMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void HeadlessDriver::ChooseSystemCommand(std::uint32_t id) {
    const WindowModel::Window& dialog = TopDialog();
    const bool listed = std::any_of(dialog.systemMenu.begin(), dialog.systemMenu.end(),
                                    [id](const MenuItem& item) { return item.id == id; });
    if (!listed) {
        throw Misuse("the system menu has no entry " + std::to_string(id));
    }
    const WindowHandle top = TopWindow();
    m_ui.Turns().RunOnUi([this, top, id] { m_ui.SendMessage(top, WM_SYSCOMMAND, id, 0); });
}

LResult HeadlessDriver::Send(WindowHandle window, std::uint32_t message, WParam wParam,
                             LParam lParam) {
    Require(window);
    LResult result = 0;
    m_ui.Turns().RunOnUi([&] { result = m_ui.SendMessage(window, message, wParam, lParam); });
    return result;
}

void HeadlessDriver::Paint(WindowHandle window) {
    Require(window);
    m_ui.Turns().RunOnUi([this, window] {
        m_ui.Invalidate(window);
        m_ui.SendMessage(window, WM_PAINT, 0, 0);
    });
}

LResult HeadlessDriver::EraseBackground(WindowHandle window) {
    Require(window);
    LResult result = 0;
    m_ui.Turns().RunOnUi([&] {
        const DcHandle dc = m_ui.Drawing().WindowContext(window);
        result = m_ui.SendMessage(window, WM_ERASEBKGND, static_cast<WParam>(dc), 0);
        m_ui.Drawing().Release(dc);
    });
    return result;
}

void HeadlessDriver::SetClientSize(WindowHandle window, int width, int height) {
    Require(window);
    m_ui.Drawing().Resize(window, width, height);
}

void HeadlessDriver::Minimize(WindowHandle window) {
    Require(window);
    m_ui.Windows().Find(window)->iconic = true;
    m_ui.Drawing().Resize(window, 0, 0);
}

void HeadlessDriver::PressMessageBoxOk(WindowHandle box) {
    if (Require(box).kind != WindowModel::Kind::MessageBox) {
        throw Misuse("that window is no message box");
    }
    if (TopWindow() != box) {
        throw Misuse("another window is in front of that message box");
    }
    m_ui.Turns().RunOnUi([this, box] { m_ui.SendMessage(box, WM_COMMAND, IDOK, 0); });
}

// --- Queries ---

WindowHandle HeadlessDriver::FindDialog(int templateId) const {
    const std::vector<WindowHandle>& modal = m_ui.Windows().ModalStack();
    for (auto it = modal.rbegin(); it != modal.rend(); ++it) {
        const WindowModel::Window& window = Require(*it);
        if (window.kind == WindowModel::Kind::Dialog && window.templateId == templateId) {
            return *it;
        }
    }
    return WindowHandle{};
}

WindowHandle HeadlessDriver::ControlOf(WindowHandle dialog, int id) const {
    Require(dialog);
    const WindowHandle control = m_ui.Windows().GetDlgItem(dialog, id);
    if (control == WindowHandle{}) {
        throw Misuse("the dialog has no control " + std::to_string(id));
    }
    return control;
}

bool HeadlessDriver::IsVisible(WindowHandle window) const {
    if (const DialogControl* control = m_ui.Windows().Control(window)) {
        return control->visible;
    }
    return Require(window).visible;
}

bool HeadlessDriver::IsEnabled(WindowHandle window) const {
    if (!IsOpen(window)) {
        throw Misuse("no such window");
    }
    return m_ui.Windows().IsEnabled(window);
}

int HeadlessDriver::FocusedControlId() const {
    const DialogControl* focused = m_ui.Windows().Control(Focus());
    return focused != nullptr ? focused->id : 0;
}

std::string HeadlessDriver::TextOf(WindowHandle window) const {
    if (!IsOpen(window)) {
        throw Misuse("no such window");
    }
    return m_ui.Windows().Text(window);
}

std::vector<std::string> HeadlessDriver::ControlTexts(WindowHandle dialog) const {
    std::vector<std::string> texts;
    for (const DialogControl& control : Require(dialog).controls) {
        texts.push_back(control.text);
    }
    return texts;
}

Rect HeadlessDriver::ControlRect(WindowHandle dialog, int id) const {
    const DialogControl* control = m_ui.Windows().Control(ControlOf(dialog, id));
    return control->rect;
}

IconHandle HeadlessDriver::WindowIcon(WindowHandle window, WParam which) const {
    const WindowModel::Window& w = Require(window);
    return which == ICON_BIG ? w.bigIcon : w.smallIcon;
}

MessageBoxView HeadlessDriver::TopMessageBox() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{} || Require(top).kind != WindowModel::Kind::MessageBox) {
        throw Misuse("no message box is in front");
    }
    return ViewOf(top);
}

std::vector<MessageBoxView> HeadlessDriver::OpenMessageBoxes() {
    std::vector<MessageBoxView> boxes;
    for (WindowHandle window : m_ui.Windows().ModalStack()) {
        if (Require(window).kind == WindowModel::Kind::MessageBox) {
            boxes.push_back(ViewOf(window));
        }
    }
    return boxes;
}

// --- Helpers ---

const WindowModel::Window& HeadlessDriver::Require(WindowHandle window) const {
    const WindowModel::Window* w = m_ui.Windows().Find(window);
    if (w == nullptr) {
        throw Misuse("no such window");
    }
    return *w;
}

const WindowModel::Window& HeadlessDriver::TopDialog() const {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window is open");
    }
    const WindowModel::Window& window = Require(top);
    if (window.kind != WindowModel::Kind::Dialog) {
        throw Misuse("a message box is in front: answer it first");
    }
    return window;
}

const DialogControl& HeadlessDriver::TopControl(int id) const {
    for (const DialogControl& control : TopDialog().controls) {
        if (control.id == id) {
            if (!control.Reachable()) {
                throw Misuse("control " + std::to_string(id) + " cannot be reached");
            }
            return control;
        }
    }
    throw Misuse("the dialog in front has no control " + std::to_string(id));
}

MessageBoxView HeadlessDriver::ViewOf(WindowHandle box) {
    const WindowModel::Window& window = Require(box);
    return MessageBoxView{box, window.owner, window.caption, window.text, window.boxType, this};
}

}  // namespace quotamin::testing
