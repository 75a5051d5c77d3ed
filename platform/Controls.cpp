#include "platform/Controls.h"

#include <stdexcept>

#include "platform/WindowSystem.h"

namespace quotamin {

WindowSystem& Control::GetWindowSystem() const {
    if (m_windowSystem == nullptr) {
        throw std::logic_error("control used before DoDataExchange bound it");
    }
    return *m_windowSystem;
}

std::string Control::GetWindowText() const {
    return GetWindowSystem().GetWindowText(m_window);
}

void Control::SetWindowText(const std::string& text) {
    GetWindowSystem().SetWindowText(m_window, text);
}

int Button::GetCheck() const {
    return static_cast<int>(GetWindowSystem().SendMessage(GetSafeHwnd(), BM_GETCHECK, 0, 0));
}

void Button::SetCheck(int check) {
    GetWindowSystem().SendMessage(GetSafeHwnd(), BM_SETCHECK, static_cast<WParam>(check), 0);
}

void DataExchange::Bind(int id, Control& control) {
    WindowHandle window = m_windowSystem.GetDlgItem(m_dialog, id);
    if (window == WindowHandle{}) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    control.m_windowSystem = &m_windowSystem;
    control.m_window = window;
}

}  // namespace quotamin
