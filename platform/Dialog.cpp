#include "platform/Dialog.h"

#include <exception>

namespace quotamin {

Dialog::Dialog(WindowSystem& windowSystem, int templateId)
    : windowSystem_(windowSystem), templateId_(templateId) {}

std::intptr_t Dialog::DoModal() {
    return windowSystem_.RunModalDialog(*this, templateId_);
}

void Dialog::EndDialog(std::intptr_t result) {
    windowSystem_.EndDialog(window_, result);
}

bool Dialog::ShowWindow(int command) {
    return windowSystem_.ShowWindow(window_, command);
}

bool Dialog::SetForegroundWindow() {
    return windowSystem_.SetForegroundWindow(window_);
}

WindowHandle Dialog::SetFocus() {
    return windowSystem_.SetFocus(window_);
}

bool Dialog::SetWindowPos(WindowHandle insertAfter, int x, int y, int cx, int cy,
                          std::uint32_t flags) {
    return windowSystem_.SetWindowPos(window_, insertAfter, x, y, cx, cy, flags);
}

bool Dialog::IsIconic() const {
    return windowSystem_.IsIconic(window_);
}

Rect Dialog::GetClientRect() const {
    return windowSystem_.GetClientRect(window_);
}

std::uintptr_t Dialog::SetTimer(std::uintptr_t id, std::uint32_t milliseconds) {
    return windowSystem_.SetTimer(window_, id, milliseconds);
}

bool Dialog::KillTimer(std::uintptr_t id) {
    return windowSystem_.KillTimer(window_, id);
}

LResult Dialog::SendMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    return windowSystem_.SendMessage(window_, message, wParam, lParam);
}

int Dialog::MessageBox(const std::string& text) {
    return windowSystem_.MessageBox(window_, text, windowSystem_.ApplicationName(), MB_OK);
}

bool Dialog::SystemMenu::AppendMenu(std::uint32_t flags, std::uintptr_t id,
                                    const std::string& text) {
    return windowSystem_.AppendMenu(menu_, flags, id, text);
}

Dialog::SystemMenu Dialog::GetSystemMenu(bool revert) {
    return SystemMenu(windowSystem_, windowSystem_.GetSystemMenu(window_, revert));
}

std::string Dialog::LoadString(int resourceId) {
    return windowSystem_.LoadString(resourceId);
}

IconHandle Dialog::LoadIcon(int resourceId) {
    return windowSystem_.LoadIcon(resourceId);
}

int Dialog::GetSystemMetrics(int index) {
    return windowSystem_.GetSystemMetrics(index);
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    DataExchange dx(windowSystem_, window_);
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
            BorrowedDrawingContext dc(windowSystem_, static_cast<DcHandle>(wParam));
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
    return windowSystem_.DefaultProcessing(window_, current_.message, current_.wParam,
                                           current_.lParam);
}

LResult Dialog::ReceiveMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                               LParam lParam) noexcept {
    if (window_ == WindowHandle{}) {
        window_ = window;
    }
    // Handlers nest (a handler's message box dispatches timer messages), so the
    // message that Default() refers to is restored when each returns.
    const Message outer = current_;
    current_ = {message, wParam, lParam};
    LResult result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportError(message, wParam, error.what());
    } catch (...) {
        ReportError(message, wParam, "An unknown error occurred.");
    }
    current_ = outer;
    if (message == WM_NCDESTROY) {
        window_ = WindowHandle{};
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
        MessageBox("The action was not completed (" + Where(templateId_, message, wParam) +
                   "):\n\n" + reason);
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on regardless.
    }
}

}  // namespace quotamin
