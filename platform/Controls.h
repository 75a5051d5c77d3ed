#pragma once
// Controls of a dialog, bound to their windows by id in DoDataExchange the way
// DDX_Control binds them. A control object only refers to its window; the
// window belongs to the dialog.

#include "platform/WindowsHeaderOrder.h"

#include <string>

#include "platform/Handles.h"

namespace quotamin {

class WindowSystem;

class Control {
  public:
    WindowHandle GetSafeHwnd() const { return m_window; }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);

  protected:
    WindowSystem& GetWindowSystem() const;

  private:
    friend class DataExchange;
    WindowSystem* m_windowSystem = nullptr;
    WindowHandle m_window{};
};

class Edit : public Control {};

class Button : public Control {
  public:
    int GetCheck() const;  // BST_UNCHECKED or BST_CHECKED
    void SetCheck(int check);
};

// What DoDataExchange is given: the dialog whose controls are being bound.
class DataExchange {
  public:
    DataExchange(WindowSystem& windowSystem, WindowHandle dialog)
        : m_windowSystem(windowSystem), m_dialog(dialog) {}
    // Binds `control` to the dialog's control `id`; throws when there is none.
    void Bind(int id, Control& control);

  private:
    WindowSystem& m_windowSystem;
    WindowHandle m_dialog;
};

inline void DDX_Control(DataExchange& dx, int id, Control& control) {
    dx.Bind(id, control);
}

}  // namespace quotamin
