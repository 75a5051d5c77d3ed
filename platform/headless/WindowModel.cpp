#include "platform/headless/WindowModel.h"

#include <algorithm>

namespace quotamin {

WindowHandle WindowModel::CreateDialog(const DialogTemplate& dialogTemplate, DialogHost& host,
                                       WindowHandle owner, DialogBaseUnits base) {
    const WindowHandle handle = NewHandle();
    Window& dialog = m_windows[handle];
    dialog.kind = Kind::Dialog;
    dialog.owner = owner;
    dialog.templateId = dialogTemplate.id;
    dialog.style = dialogTemplate.style;
    dialog.text = dialogTemplate.title;
    dialog.host = &host;
    dialog.systemMenu = DefaultSystemMenu(dialog.style);
    dialog.controls = CreateControls(dialogTemplate, base);
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        dialog.controls[i].window = NewHandle();
        m_controls[dialog.controls[i].window] = {handle, i};
    }
    m_modal.push_back(handle);
    return handle;
}

WindowHandle WindowModel::CreateMessageBox(WindowHandle owner, const std::string& text,
                                           const std::string& caption, std::uint32_t type) {
    const WindowHandle handle = NewHandle();
    Window& box = m_windows[handle];
    box.kind = Kind::MessageBox;
    box.owner = owner;
    box.text = text;
    box.caption = caption;
    box.boxType = type;
    box.visible = true;
    m_modal.push_back(handle);
    return handle;
}

WindowHandle WindowModel::CreatePlainWindow() {
    const WindowHandle handle = NewHandle();
    m_windows[handle].kind = Kind::Plain;
    return handle;
}

void WindowModel::Destroy(WindowHandle window) {
    auto found = m_windows.find(window);
    if (found == m_windows.end()) {
        return;
    }
    for (const DialogControl& control : found->second.controls) {
        m_controls.erase(control.window);
    }
    m_windows.erase(found);
    std::erase(m_modal, window);
}

WindowModel::Window* WindowModel::Find(WindowHandle window) {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

const WindowModel::Window* WindowModel::Find(WindowHandle window) const {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

std::optional<WindowModel::ControlRef> WindowModel::FindControl(WindowHandle control) const {
    auto found = m_controls.find(control);
    return found == m_controls.end() ? std::nullopt : std::optional(found->second);
}

DialogControl* WindowModel::Control(WindowHandle control) {
    const std::optional<ControlRef> ref = FindControl(control);
    return ref ? &m_windows.at(ref->dialog).controls[ref->index] : nullptr;
}

const DialogControl* WindowModel::Control(WindowHandle control) const {
    const std::optional<ControlRef> ref = FindControl(control);
    return ref ? &m_windows.at(ref->dialog).controls[ref->index] : nullptr;
}

WindowHandle WindowModel::GetDlgItem(WindowHandle dialog, int id) const {
    if (const Window* w = Find(dialog)) {
        for (const DialogControl& control : w->controls) {
            if (control.id == id) {
                return control.window;
            }
        }
    }
    return WindowHandle{};
}

std::string WindowModel::Text(WindowHandle window) const {
    if (const DialogControl* control = Control(window)) {
        return control->text;
    }
    const Window* w = Find(window);
    return w == nullptr ? std::string() : w->text;
}

void WindowModel::SetText(WindowHandle window, const std::string& text) {
    if (DialogControl* control = Control(window)) {
        control->text = text;
    } else if (Window* w = Find(window)) {
        w->text = text;
    }
}

WindowHandle WindowModel::Innermost() const {
    return m_modal.empty() ? WindowHandle{} : m_modal.back();
}

std::optional<std::size_t> WindowModel::FocusedControlOf(WindowHandle dialog) const {
    const std::optional<ControlRef> ref = FindControl(m_focus);
    if (!ref || ref->dialog != dialog) {
        return std::nullopt;
    }
    return ref->index;
}

void WindowModel::FocusControl(WindowHandle dialog, std::size_t index) {
    m_focus = m_windows.at(dialog).controls.at(index).window;
}

bool WindowModel::Exists(WindowHandle window) const {
    return Find(window) != nullptr || FindControl(window).has_value();
}

bool WindowModel::IsEnabled(WindowHandle window) const {
    if (const DialogControl* control = Control(window)) {
        return control->enabled;
    }
    const Window* w = Find(window);
    return w != nullptr && w->enabled;
}

void WindowModel::Enable(WindowHandle window, bool enable) {
    if (DialogControl* control = Control(window)) {
        control->enabled = enable;
    } else if (Window* w = Find(window)) {
        w->enabled = enable;
    }
}

}  // namespace quotamin
