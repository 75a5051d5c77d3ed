#pragma once
// A modal dialog built from a dialog template: the base of every window of the
// program. The window system hands each message of the window to WindowProc,
// whose base turns it into the virtual handler of that message (the message
// map) and leaves the rest to the window system's default processing. An
// exception that escapes a handler stops there: it is reported in a message box
// owned by the dialog and the program goes on.
//
// A dialog has no parent of its own: it is owned by the innermost modal window
// that is open when DoModal runs, which is disabled until the dialog ends.

#include "platform/WindowsHeaderOrder.h"

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/Drawing.h"
#include "platform/Geometry.h"
#include "platform/Handles.h"
#include "platform/Messages.h"
#include "platform/WindowSystem.h"

namespace quotamin {

class Dialog : private DialogHost {
  public:
    Dialog(WindowSystem& windowSystem, int templateId);
    ~Dialog() override = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog until EndDialog; returns EndDialog's code, -1 when the
    // template does not exist.
    std::intptr_t DoModal();
    // Ends the modal loop once the current handler has returned.
    void EndDialog(std::intptr_t result);

    WindowHandle GetSafeHwnd() const { return m_window; }
    int GetTemplateId() const { return m_templateId; }
    WindowSystem& GetWindowSystem() const { return m_windowSystem; }

    bool ShowWindow(int command);
    bool SetForegroundWindow();
    WindowHandle SetFocus();
    bool SetWindowPos(WindowHandle insertAfter, int x, int y, int cx, int cy, std::uint32_t flags);
    bool IsIconic() const;
    Rect GetClientRect() const;
    std::uintptr_t SetTimer(std::uintptr_t id, std::uint32_t milliseconds);
    bool KillTimer(std::uintptr_t id);
    LResult SendMessage(std::uint32_t message, WParam wParam = 0, LParam lParam = 0);

    // A modal message box owned by this dialog: the application name as caption,
    // one OK button, no icon.
    int MessageBox(const std::string& text);

    // The system menu of the window.
    class SystemMenu {
      public:
        SystemMenu(WindowSystem& windowSystem, MenuHandle menu)
            : m_windowSystem(windowSystem), m_menu(menu) {}
        explicit operator bool() const { return m_menu != MenuHandle{}; }
        bool AppendMenu(std::uint32_t flags, std::uintptr_t id = 0, const std::string& text = {});

      private:
        WindowSystem& m_windowSystem;
        MenuHandle m_menu;
    };
    SystemMenu GetSystemMenu(bool revert = false);

    std::string LoadString(int resourceId);
    IconHandle LoadIcon(int resourceId);
    int GetSystemMetrics(int index);

  protected:
    // Handlers. The base versions do what the window system does by default,
    // except as noted.
    virtual void DoDataExchange(DataExchange& dx);
    // Binds the controls through DoDataExchange; true: the focus goes to the
    // first tab stop.
    virtual bool OnInitDialog();
    virtual void OnOK();      // EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    virtual void OnTimer(std::uintptr_t id);
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(DrawingContext& dc);
    virtual void OnSysCommand(std::uint32_t id, LParam lParam);
    virtual IconHandle OnQueryDragIcon();
    virtual void OnDestroy();
    // Commands other than IDOK and IDCANCEL (a button clicked, a menu entry
    // chosen); true when handled. The base handles none. The controls' other
    // notifications do not come here.
    virtual bool OnCommand(int id);

    // Every message of the window. The base dispatches to the handlers above,
    // and leaves what they do not take to the default processing.
    virtual LResult WindowProc(std::uint32_t message, WParam wParam, LParam lParam);

    // The window system's default processing of the message being handled.
    LResult Default();

  private:
    LResult ReceiveMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                           LParam lParam) noexcept override;
    void ReportError(std::uint32_t message, WParam wParam, const std::string& reason) noexcept;

    struct Message {
        std::uint32_t message = 0;
        WParam wParam = 0;
        LParam lParam = 0;
    };

    WindowSystem& m_windowSystem;
    int m_templateId;
    WindowHandle m_window{};
    Message m_current;
};

}  // namespace quotamin
