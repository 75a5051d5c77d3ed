#include "platform/Dialog.h"

#include <exception>

namespace quotamin {

Dialog::Dialog(WindowSystem& windowSystem, int templateId)
    : m_windowSystem(windowSystem), m_templateId(templateId) {}

std::intptr_t Dialog::DoModal() {
    return m_windowSystem.RunModalDialog(*this, m_templateId);
}

void Dialog::EndDialog(std::intptr_t result) {
    m_windowSystem.EndDialog(m_window, result);
}

bool Dialog::ShowWindow(int command) {
    return m_windowSystem.ShowWindow(m_window, command);
}

bool Dialog::SetForegroundWindow() {
    return m_windowSystem.SetForegroundWindow(m_window);
}

WindowHandle Dialog::SetFocus() {
    return m_windowSystem.SetFocus(m_window);
}

bool Dialog::SetWindowPos(WindowHandle insertAfter, int x, int y, int cx, int cy,
                          std::uint32_t flags) {
    return m_windowSystem.SetWindowPos(m_window, insertAfter, x, y, cx, cy, flags);
}

bool Dialog::IsIconic() const {
    return m_windowSystem.IsIconic(m_window);
}

Rect Dialog::GetClientRect() const {
    return m_windowSystem.GetClientRect(m_window);
}

std::uintptr_t Dialog::SetTimer(std::uintptr_t id, std::uint32_t milliseconds) {
    return m_windowSystem.SetTimer(m_window, id, milliseconds);
}

bool Dialog::KillTimer(std::uintptr_t id) {
    return m_windowSystem.KillTimer(m_window, id);
}

LResult Dialog::SendMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    return m_windowSystem.SendMessage(m_window, message, wParam, lParam);
}

int Dialog::MessageBox(const std::string& text) {
    return m_windowSystem.MessageBox(m_window, text, m_windowSystem.ApplicationName(), MB_OK);
}

bool Dialog::SystemMenu::AppendMenu(std::uint32_t flags, std::uintptr_t id,
                                    const std::string& text) {
    return m_windowSystem.AppendMenu(m_menu, flags, id, text);
}

Dialog::SystemMenu Dialog::GetSystemMenu(bool revert) {
    return SystemMenu(m_windowSystem, m_windowSystem.GetSystemMenu(m_window, revert));
}

std::string Dialog::LoadString(int resourceId) {
    return m_windowSystem.LoadString(resourceId);
}

IconHandle Dialog::LoadIcon(int resourceId) {
    return m_windowSystem.LoadIcon(resourceId);
}

int Dialog::GetSystemMetrics(int index) {
    return m_windowSystem.GetSystemMetrics(index);
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    DataExchange dx(m_windowSystem, m_window);
    DoDataExchange(dx);
    return true;
}

void Dialog::OnOK() {
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::OnTimer(std::uintptr_t) {
    Default();
}

void Dialog::OnPaint() {
    Default();
}

bool Dialog::OnEraseBkgnd(DrawingContext&) {
    return Default() != 0;
}

void Dialog::OnSysCommand(std::uint32_t, LParam) {
    Default();
}

IconHandle Dialog::OnQueryDragIcon() {
    return static_cast<IconHandle>(Default());
}

void Dialog::OnDestroy() {
    Default();
}

bool Dialog::OnCommand(int) {
    return false;
}

LResult Dialog::WindowProc(std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? 1 : 0;
        case WM_COMMAND: {
            // A command comes from a button, a menu or a key (notification code
            // 0) or an accelerator (1); what else the controls tell (an edit's
            // EN_SETFOCUS or EN_CHANGE) is no command, whatever the id.
            if (HIWORD(wParam) > 1) {
                return Default();
            }
            int id = LOWORD(wParam);
            if (id == IDOK) {
                OnOK();
            } else if (id == IDCANCEL) {
                OnCancel();
            } else if (!OnCommand(id)) {
                return Default();
            }
            return 0;
        }
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND: {
            BorrowedDrawingContext dc(m_windowSystem, static_cast<DcHandle>(wParam));
            return OnEraseBkgnd(dc) ? 1 : 0;
        }
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<std::uint32_t>(wParam), lParam);
            return 0;
        case WM_QUERYDRAGICON:
            return static_cast<LResult>(OnQueryDragIcon());
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return Default();
    }
}

LResult Dialog::Default() {
    return m_windowSystem.DefaultProcessing(m_window, m_current.message, m_current.wParam,
                                            m_current.lParam);
}

LResult Dialog::ReceiveMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                               LParam lParam) noexcept {
    if (m_window == WindowHandle{}) {
        m_window = window;
    }
    // Handlers nest (a handler's message box dispatches timer messages), so the
    // message that Default() refers to is restored when each returns.
    const Message outer = m_current;
    m_current = {message, wParam, lParam};
    LResult result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportError(message, wParam, error.what());
    } catch (...) {
        ReportError(message, wParam, "An unknown error occurred.");
    }
    m_current = outer;
    if (message == WM_NCDESTROY) {
        m_window = WindowHandle{};
    }
    return result;
}

namespace {
std::string Where(int templateId, std::uint32_t message, WParam wParam) {
    std::string where = "dialog " + std::to_string(templateId) + ", ";
    switch (message) {
        case WM_INITDIALOG:
            return where + "opening the window";
        case WM_COMMAND:
            return where + "command " + std::to_string(LOWORD(wParam));
        case WM_TIMER:
            return where + "timer " + std::to_string(wParam);
        case WM_SYSCOMMAND:
            return where + "system command " + std::to_string(wParam);
        case WM_PAINT:
        case WM_ERASEBKGND:
            return where + "drawing the window";
        case WM_DESTROY:
            return where + "closing the window";
        default:
            return where + "message " + std::to_string(message);
    }
}
}  // namespace

void Dialog::ReportError(std::uint32_t message, WParam wParam, const std::string& reason) noexcept {
    try {
        MessageBox("The action was not completed (" + Where(m_templateId, message, wParam) +
                   "):\n\n" + reason);
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on regardless.
    }
}

}  // namespace quotamin
