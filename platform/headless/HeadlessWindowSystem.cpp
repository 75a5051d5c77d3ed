#include "platform/headless/HeadlessWindowSystem.h"

#include <stdexcept>
#include <utility>

#include "platform/Styles.h"
#include "platform/TabOrder.h"

namespace quotamin {

namespace {

// Icons are handed out as this base plus their resource id, so that a test can
// tell which icon a record carries.
constexpr std::uintptr_t kIconHandleBase = 0x10000;

}  // namespace

HeadlessWindowSystem::HeadlessWindowSystem(ResourceTable resources, std::string programPath)
    : m_resources(std::move(resources)), m_programPath(std::move(programPath)) {}

HeadlessWindowSystem::~HeadlessWindowSystem() {
    m_turns.Stop();
}

void HeadlessWindowSystem::RequireUiThread() const {
    if (!m_turns.OnUiThread()) {
        throw std::logic_error(
            "headless window system: modal loops run only in code started with Start()");
    }
}

// --- Input ---

void HeadlessWindowSystem::PressKey(WParam key, bool shift) {
    m_defaults.PressKey(key, shift);
}

void HeadlessWindowSystem::Invalidate(WindowHandle window) {
    if (WindowModel::Window* w = m_windows.Find(window)) {
        w->erasePending = true;
    }
}

// --- Dialogs and message boxes ---

void HeadlessWindowSystem::RunLoop(WindowHandle window) {
    m_turns.Pump(
        [this, window] {
            const WindowModel::Window* w = m_windows.Find(window);
            return w == nullptr || w->ended;
        },
        [this] {
            const std::optional<TimerInfo> due = m_timers.TakeDue();
            if (due) {
                SendMessage(due->window, WM_TIMER, due->id, 0);
            }
            return due.has_value();
        },
        [this] { m_timers.CatchUp(); });
}

std::intptr_t HeadlessWindowSystem::RunModalDialog(DialogHost& host, int templateId) {
    RequireUiThread();
    const DialogTemplate* dialogTemplate = m_resources.FindDialog(templateId);
    if (dialogTemplate == nullptr) {
        return -1;
    }
    const WindowHandle owner = m_windows.Innermost();
    const WindowHandle handle = m_windows.CreateDialog(*dialogTemplate, host, owner, kBaseUnits);
    const Rect client = ClientRect(*dialogTemplate, kBaseUnits);
    m_raster.Resize(handle, client.Width(), client.Height());

    std::intptr_t result = -1;
    {
        ModalScope scope(m_windows, handle, owner);
        const LResult initResult = SendMessage(handle, WM_INITDIALOG, 0, 0);
        WindowModel::Window* opened = m_windows.Find(handle);
        if (opened != nullptr && !opened->ended && !m_turns.Stopping()) {
            // True from WM_INITDIALOG asks for the focus on the first tab stop.
            if (initResult != 0) {
                if (const std::optional<std::size_t> first = FirstTabStop(opened->controls)) {
                    m_windows.FocusControl(handle, *first);
                }
            }
            opened->visible = true;
            opened->erasePending = true;
            m_windows.SetForeground(handle);
        }
        RunLoop(handle);
        if (WindowModel::Window* ended = m_windows.Find(handle)) {
            if (ended->ended) {
                result = ended->result;
            }
            ended->visible = false;
        }
    }
    m_dialogHistory.push_back({templateId, result});
    SendMessage(handle, WM_DESTROY, 0, 0);
    SendMessage(handle, WM_NCDESTROY, 0, 0);
    DestroyWindow(handle);
    return result;
}

bool HeadlessWindowSystem::EndDialog(WindowHandle dialog, std::intptr_t result) {
    WindowModel::Window* window = m_windows.Find(dialog);
    if (window == nullptr || window->kind != WindowModel::Kind::Dialog) {
        return false;
    }
    window->ended = true;
    window->result = result;
    return true;
}

int HeadlessWindowSystem::MessageBox(WindowHandle owner, const std::string& text,
                                     const std::string& caption, std::uint32_t type) {
    RequireUiThread();
    const WindowHandle handle = m_windows.CreateMessageBox(owner, text, caption, type);
    m_messageBoxHistory.push_back({handle, owner, caption, text, type});
    int result = IDOK;
    {
        ModalScope scope(m_windows, handle, owner);
        m_windows.SetForeground(handle);
        m_windows.SetFocus(handle);
        RunLoop(handle);
        if (const WindowModel::Window* box = m_windows.Find(handle); box && box->ended) {
            result = static_cast<int>(box->result);
        }
    }
    DestroyWindow(handle);
    return result;
}

void HeadlessWindowSystem::DestroyWindow(WindowHandle window) {
    if (const WindowModel::Window* w = m_windows.Find(window)) {
        for (const DialogControl& control : w->controls) {
            m_timers.KillAllOf(control.window);
        }
    }
    m_timers.KillAllOf(window);
    m_raster.Forget(window);
    m_windows.Destroy(window);
}

std::string HeadlessWindowSystem::ApplicationName() {
    return ApplicationNameFromPath(m_programPath);
}

// --- Messages ---

LResult HeadlessWindowSystem::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                          LParam lParam) {
    const WindowModel::Window* w = m_windows.Find(window);
    if (w != nullptr && w->host != nullptr) {
        return w->host->ReceiveMessage(window, message, wParam, lParam);
    }
    return DefaultProcessing(window, message, wParam, lParam);
}

LResult HeadlessWindowSystem::DefaultProcessing(WindowHandle window, std::uint32_t message,
                                                WParam wParam, LParam lParam) {
    return m_defaults.Process(window, message, wParam, lParam);
}

// --- Windows and controls ---

WindowHandle HeadlessWindowSystem::GetDlgItem(WindowHandle dialog, int id) {
    return m_windows.GetDlgItem(dialog, id);
}

std::string HeadlessWindowSystem::GetWindowText(WindowHandle window) {
    return m_windows.Text(window);
}

void HeadlessWindowSystem::SetWindowText(WindowHandle window, const std::string& text) {
    m_windows.SetText(window, text);
}

bool HeadlessWindowSystem::ShowWindow(WindowHandle window, int command) {
    WindowModel::Window* w = m_windows.Find(window);
    if (w == nullptr) {
        return false;
    }
    const bool wasVisible = w->visible;
    if (command == SW_HIDE) {
        w->visible = false;
        if (m_windows.Foreground() == window) {
            m_windows.SetForeground(WindowHandle{});
        }
    } else if (command == SW_MINIMIZE) {
        w->visible = true;
        w->iconic = true;
        m_raster.Resize(window, 0, 0);
    } else {
        w->visible = true;
        if (command == SW_SHOWNORMAL && w->iconic) {
            w->iconic = false;
            if (const DialogTemplate* t = m_resources.FindDialog(w->templateId)) {
                const Rect client = ClientRect(*t, kBaseUnits);
                m_raster.Resize(window, client.Width(), client.Height());
            }
        }
    }
    return wasVisible;
}

bool HeadlessWindowSystem::SetForegroundWindow(WindowHandle window) {
    if (m_windows.Find(window) == nullptr) {
        return false;
    }
    m_windows.SetForeground(window);
    return true;
}

WindowHandle HeadlessWindowSystem::SetFocus(WindowHandle window) {
    if (!m_windows.Exists(window)) {
        return WindowHandle{};
    }
    const WindowHandle before = m_windows.Focus();
    m_windows.SetFocus(window);
    return before;
}

bool HeadlessWindowSystem::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int, int,
                                        int, int, std::uint32_t) {
    WindowModel::Window* w = m_windows.Find(window);
    if (w == nullptr) {
        return false;
    }
    if (insertAfter == HWND_TOPMOST) {
        w->topmost = true;
    } else if (insertAfter == HWND_NOTOPMOST) {
        w->topmost = false;
    }
    return true;
}

bool HeadlessWindowSystem::IsIconic(WindowHandle window) {
    const WindowModel::Window* w = m_windows.Find(window);
    return w != nullptr && w->iconic;
}

Rect HeadlessWindowSystem::GetClientRect(WindowHandle window) {
    if (const DialogControl* control = m_windows.Control(window)) {
        return {0, 0, control->rect.Width(), control->rect.Height()};
    }
    return m_raster.ClientRect(window);
}

std::uintptr_t HeadlessWindowSystem::SetTimer(WindowHandle window, std::uintptr_t id,
                                              std::uint32_t milliseconds) {
    if (!m_windows.Exists(window)) {
        return 0;
    }
    return m_timers.Set(window, id, milliseconds);
}

bool HeadlessWindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
    return m_timers.Kill(window, id);
}

MenuHandle HeadlessWindowSystem::GetSystemMenu(WindowHandle window, bool revert) {
    WindowModel::Window* w = m_windows.Find(window);
    if (w == nullptr || (w->style & WS_SYSMENU) == 0) {
        return MenuHandle{};
    }
    if (revert) {
        w->systemMenu = DefaultSystemMenu(w->style);
        return MenuHandle{};
    }
    // A window's menu is known by the window's own handle.
    return static_cast<MenuHandle>(static_cast<std::uintptr_t>(window));
}

bool HeadlessWindowSystem::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                      const std::string& text) {
    WindowModel::Window* w =
        m_windows.Find(static_cast<WindowHandle>(static_cast<std::uintptr_t>(menu)));
    if (w == nullptr) {
        return false;
    }
    w->systemMenu.push_back({flags, id, (flags & MF_SEPARATOR) != 0 ? std::string() : text});
    return true;
}

// --- Resources ---

std::string HeadlessWindowSystem::LoadString(int resourceId) {
    auto found = m_resources.strings.find(resourceId);
    return found == m_resources.strings.end() ? std::string() : found->second;
}

IconHandle HeadlessWindowSystem::LoadIcon(int resourceId) {
    if (!m_resources.HasIcon(resourceId)) {
        return IconHandle{};
    }
    return static_cast<IconHandle>(kIconHandleBase + static_cast<std::uintptr_t>(resourceId));
}

BitmapHandle HeadlessWindowSystem::LoadBitmap(int resourceId) {
    const BitmapResource* resource = m_resources.FindBitmap(resourceId);
    if (resource == nullptr) {
        return BitmapHandle{};
    }
    return m_raster.CreateBitmap(resourceId, resource->width, resource->height);
}

bool HeadlessWindowSystem::GetObject(BitmapHandle bitmap, BitmapInfo& info) {
    return m_raster.GetObject(bitmap, info);
}

bool HeadlessWindowSystem::DeleteObject(BitmapHandle bitmap) {
    return m_raster.DeleteObject(bitmap);
}

int HeadlessWindowSystem::GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? Raster::kIconSize : 0;
}

// --- Drawing ---

DcHandle HeadlessWindowSystem::BeginPaint(WindowHandle window) {
    WindowModel::Window* w = m_windows.Find(window);
    if (w == nullptr) {
        return DcHandle{};
    }
    const DcHandle dc = m_raster.WindowContext(window);
    if (w->erasePending) {
        w->erasePending = false;
        SendMessage(window, WM_ERASEBKGND, static_cast<WParam>(dc), 0);
    }
    return dc;
}

void HeadlessWindowSystem::EndPaint(WindowHandle, DcHandle dc) {
    m_raster.Release(dc);
}

DcHandle HeadlessWindowSystem::CreateCompatibleDC(DcHandle dc) {
    return m_raster.CreateCompatibleDC(dc);
}

bool HeadlessWindowSystem::DeleteDC(DcHandle dc) {
    return m_raster.DeleteDC(dc);
}

BitmapHandle HeadlessWindowSystem::SelectObject(DcHandle dc, BitmapHandle bitmap) {
    return m_raster.SelectObject(dc, bitmap);
}

bool HeadlessWindowSystem::BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                  int sx, int sy, std::uint32_t rop) {
    return m_raster.BitBlt(dest, x, y, cx, cy, source, sx, sy, rop);
}

bool HeadlessWindowSystem::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                      int sx, int sy, int scx, int scy, std::uint32_t rop) {
    return m_raster.StretchBlt(dest, x, y, cx, cy, source, sx, sy, scx, scy, rop);
}

bool HeadlessWindowSystem::DrawIcon(DcHandle dc, int x, int y, IconHandle icon) {
    return m_raster.DrawIcon(dc, x, y, icon);
}

// --- The notification area ---

bool HeadlessWindowSystem::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
    m_notifyIconCalls.push_back({message, data});
    return !m_refuseNotifyIcon && m_notifyIcons.Apply(message, data);
}

}  // namespace quotamin
