#include "platform/Controls.h"

#include <stdexcept>

#include "platform/WindowSystem.h"

namespace quotamin {

WindowSystem& Control::GetWindowSystem() const {
    if (windowSystem_ == nullptr) {
        throw std::logic_error("control used before DoDataExchange bound it");
    }
    return *windowSystem_;
}

std::string Control::GetWindowText() const {
    return GetWindowSystem().GetWindowText(window_);
}

void Control::SetWindowText(const std::string& text) {
    GetWindowSystem().SetWindowText(window_, text);
}

int Button::GetCheck() const {
    return static_cast<int>(GetWindowSystem().SendMessage(GetSafeHwnd(), BM_GETCHECK, 0, 0));
}

void Button::SetCheck(int check) {
    GetWindowSystem().SendMessage(GetSafeHwnd(), BM_SETCHECK, static_cast<WParam>(check), 0);
}

void DataExchange::Bind(int id, Control& control) {
    WindowHandle window = windowSystem_.GetDlgItem(dialog_, id);
    if (window == WindowHandle{}) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    control.windowSystem_ = &windowSystem_;
    control.window_ = window;
}

}  // namespace quotamin
