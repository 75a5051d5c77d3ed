#include "platform/ModalScope.h"

namespace quotamin {

ModalScope::ModalScope(ModalWindows& windows, WindowHandle window, WindowHandle owner)
    : m_windows(windows),
      m_window(window),
      m_owner(owner),
      m_disabledOwner(windows.Exists(owner) && windows.IsEnabled(owner)),
      m_focusBefore(windows.Focus()),
      m_foregroundBefore(windows.Foreground()) {
    if (m_disabledOwner) {
        m_windows.Enable(m_owner, false);
    }
}

ModalScope::~ModalScope() {
    if (m_disabledOwner && m_windows.Exists(m_owner)) {
        m_windows.Enable(m_owner, true);
    }
    const WindowHandle foreground = m_windows.Foreground();
    if (foreground == m_window || foreground == WindowHandle{}) {
        if (m_windows.Exists(m_owner)) {
            m_windows.SetForeground(m_owner);
        } else if (m_windows.Exists(m_foregroundBefore)) {
            m_windows.SetForeground(m_foregroundBefore);
        } else {
            m_windows.SetForeground(WindowHandle{});
        }
    }
    m_windows.SetFocus(m_windows.Exists(m_focusBefore) ? m_focusBefore : m_owner);
}

}  // namespace quotamin
