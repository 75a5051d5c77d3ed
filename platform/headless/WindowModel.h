#pragma once
// The windows of the headless window system: dialogs with their controls,
// message boxes and plain windows, their owners, which are shown, enabled and
// topmost, which window is in front and which has the keyboard focus, and the
// stack of modal windows open (innermost last). What the dialog manager does
// with them comes from the layer's rules (platform/DialogControl.h and the
// files beside it); what is drawn on them lives in the raster.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/DefaultSystemMenu.h"
#include "platform/DialogControl.h"
#include "platform/ModalScope.h"
#include "platform/WindowSystem.h"

namespace quotamin {

class WindowModel final : public ModalWindows {
  public:
    enum class Kind { Dialog, MessageBox, Plain };
    struct Window {
        Kind kind = Kind::Plain;
        WindowHandle owner{};
        int templateId = 0;
        std::uint32_t style = 0;
        std::string text;     // a dialog's title, a message box's message
        std::string caption;  // a message box's
        std::uint32_t boxType = 0;
        bool visible = false;
        bool enabled = true;
        bool topmost = false;
        bool iconic = false;
        bool ended = false;
        bool erasePending = false;
        std::intptr_t result = 0;
        DialogHost* host = nullptr;
        std::vector<DialogControl> controls;  // template order
        std::vector<MenuItem> systemMenu;
        IconHandle bigIcon{}, smallIcon{};
    };
    // A control: its dialog and its place among the dialog's controls.
    struct ControlRef {
        WindowHandle dialog{};
        std::size_t index = 0;
    };

    // Creation and destruction. Dialogs and message boxes join the modal stack.
    WindowHandle CreateDialog(const DialogTemplate& dialogTemplate, DialogHost& host,
                              WindowHandle owner, DialogBaseUnits base);
    WindowHandle CreateMessageBox(WindowHandle owner, const std::string& text,
                                  const std::string& caption, std::uint32_t type);
    WindowHandle CreatePlainWindow();
    void Destroy(WindowHandle window);

    Window* Find(WindowHandle window);
    const Window* Find(WindowHandle window) const;
    std::optional<ControlRef> FindControl(WindowHandle control) const;
    DialogControl* Control(WindowHandle control);
    const DialogControl* Control(WindowHandle control) const;
    WindowHandle GetDlgItem(WindowHandle dialog, int id) const;
    // The text of a window or a control.
    std::string Text(WindowHandle window) const;
    void SetText(WindowHandle window, const std::string& text);

    const std::vector<WindowHandle>& ModalStack() const { return m_modal; }
    // The innermost modal window, which a new dialog belongs to; none when none is open.
    WindowHandle Innermost() const;

    // The focused control of `dialog`, if the focus is on one of its controls.
    std::optional<std::size_t> FocusedControlOf(WindowHandle dialog) const;
    // Focuses the control `index` of `dialog`.
    void FocusControl(WindowHandle dialog, std::size_t index);

    // ModalWindows. A control counts as a window of its own.
    bool Exists(WindowHandle window) const override;
    bool IsEnabled(WindowHandle window) const override;
    void Enable(WindowHandle window, bool enable) override;
    WindowHandle Foreground() const override { return m_foreground; }
    void SetForeground(WindowHandle window) override { m_foreground = window; }
    WindowHandle Focus() const override { return m_focus; }
    void SetFocus(WindowHandle window) override { m_focus = window; }

  private:
    WindowHandle NewHandle() { return static_cast<WindowHandle>(m_nextHandle++); }

    std::uintptr_t m_nextHandle = 0x100;
    std::map<WindowHandle, Window> m_windows;
    std::map<WindowHandle, ControlRef> m_controls;
    std::vector<WindowHandle> m_modal;
    WindowHandle m_foreground{};
    WindowHandle m_focus{};
};

}  // namespace quotamin
