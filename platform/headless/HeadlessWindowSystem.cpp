#include "platform/headless/HeadlessWindowSystem.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/Styles.h"

namespace quotamin {

namespace {

// Icons are handed out as this base plus their resource id, so that a test can
// tell which icon a record carries.
constexpr std::uintptr_t kIconHandleBase = 0x10000;
// Windows moves timers shorter than this up to it.
constexpr std::uint32_t kShortestTimer = 10;
constexpr int kIconSize = 32;
constexpr WindowHandle kHwndNoTopmost = static_cast<WindowHandle>(~std::uintptr_t{1});
constexpr std::uint32_t SC_MOVE = 0xF010;
constexpr int SW_MINIMIZE = 6;

// Dialog units to pixels for the program's font, MS Sans Serif 8: its average
// character is 6 pixels wide and 13 high, a dialog unit a quarter and an eighth of that.
int HorizontalPixels(int units) {
    return (units * 6 + 2) / 4;
}
int VerticalPixels(int units) {
    return (units * 13 + 4) / 8;
}

std::logic_error Misuse(const std::string& what) {
    return std::logic_error("headless window system: " + what);
}

}  // namespace

void MessageBoxView::PressOk() const {
    if (windowSystem == nullptr) {
        throw Misuse("this message box view belongs to no window system");
    }
    windowSystem->PressMessageBoxOk(window);
}

HeadlessWindowSystem::HeadlessWindowSystem(ResourceTable resources, std::string programPath)
    : m_resources(std::move(resources)), m_programPath(std::move(programPath)) {
    m_stockBitmap = static_cast<BitmapHandle>(m_nextHandle++);
    m_bitmaps[m_stockBitmap] = BitmapObject{0, 1, 1, {0}};
}

HeadlessWindowSystem::~HeadlessWindowSystem() {
    Stop();
}

// --- Running the code under test ---

HeadlessWindowSystem::Running HeadlessWindowSystem::Start(std::function<void()> code) {
    if (m_uiRunning) {
        throw Misuse("Start() while the code started before is still running");
    }
    if (m_ui.joinable()) {
        m_ui.join();
    }
    m_uiRunning = true;
    m_stopping = false;
    m_uiError = nullptr;
    m_ui = std::thread([this, code = std::move(code)] {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_turnChanged.wait(lock, [this] { return m_turn == Turn::Ui; });
        }
        try {
            code();
        } catch (...) {
            m_uiError = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_uiRunning = false;
        m_turn = Turn::Test;
        m_turnChanged.notify_all();
    });
    m_uiId = m_ui.get_id();
    HandToUiAndWait();
    return Running(*this);
}

bool HeadlessWindowSystem::Finished() {
    if (m_uiError) {
        std::exception_ptr error = std::exchange(m_uiError, nullptr);
        std::rethrow_exception(error);
    }
    return !m_uiRunning;
}

void HeadlessWindowSystem::Stop() {
    if (m_uiRunning) {
        m_stopping = true;
        HandToUiAndWait();
    }
    if (m_ui.joinable()) {
        m_ui.join();
    }
    m_stopping = false;
}

void HeadlessWindowSystem::HandToUiAndWait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_turn = Turn::Ui;
    m_turnChanged.notify_all();
    m_turnChanged.wait(lock, [this] { return m_turn == Turn::Test; });
}

void HeadlessWindowSystem::HandToTest(std::unique_lock<std::mutex>& lock) {
    m_turn = Turn::Test;
    m_turnChanged.notify_all();
    m_turnChanged.wait(lock, [this] { return m_turn == Turn::Ui; });
}

void HeadlessWindowSystem::RequireUiThread() const {
    if (!m_uiRunning || std::this_thread::get_id() != m_uiId) {
        throw Misuse("modal loops run only in code started with Start()");
    }
}

void HeadlessWindowSystem::RunOnUi(std::function<void()> action) {
    if (!m_uiRunning) {
        throw Misuse("no code is running to act on; Start() it first");
    }
    m_actions.push_back(std::move(action));
    HandToUiAndWait();
    Finished();  // rethrows what escaped from the code under test, if anything
}

void HeadlessWindowSystem::Pump(const std::function<bool()>& done) {
    while (!done() && !m_stopping) {
        if (!m_actions.empty()) {
            std::function<void()> action = std::move(m_actions.front());
            m_actions.pop_front();
            action();
            continue;
        }
        auto due =
            std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
        if (due != m_timers.end() && due->due <= m_target) {
            m_now = std::max(m_now, due->due);
            due->due += std::chrono::milliseconds(due->period);
            const WindowHandle window = due->window;
            const std::uintptr_t id = due->id;
            SendMessage(window, WM_TIMER, id, 0);
            continue;
        }
        m_now = std::max(m_now, m_target);
        std::unique_lock<std::mutex> lock(m_mutex);
        HandToTest(lock);
    }
}

// --- Actions ---

void HeadlessWindowSystem::AdvanceBy(std::chrono::milliseconds duration) {
    m_target = std::max(m_target, m_now) + duration;
    if (m_uiRunning) {
        HandToUiAndWait();
        Finished();
    } else {
        m_now = m_target;
    }
}

void HeadlessWindowSystem::Type(int id, const std::string& text) {
    const Window& control = TopControl(id);
    if (control.controlKind != ControlKind::Edit || (control.style & ES_READONLY) != 0) {
        throw Misuse("control " + std::to_string(id) + " is no edit that can be typed into");
    }
    WindowHandle handle = GetDlgItem(m_modal.back(), id);
    RunOnUi([this, handle, text] {
        m_focus = handle;
        Find(handle)->text += text;
    });
}

void HeadlessWindowSystem::SetText(int id, const std::string& text) {
    TopControl(id);
    WindowHandle handle = GetDlgItem(m_modal.back(), id);
    RunOnUi([this, handle, text] { SetWindowText(handle, text); });
}

void HeadlessWindowSystem::Click(int id) {
    const Window& control = TopControl(id);
    if (control.controlKind == ControlKind::Static) {
        throw Misuse("control " + std::to_string(id) + " cannot be clicked");
    }
    WindowHandle dialog = m_modal.back();
    WindowHandle handle = GetDlgItem(dialog, id);
    RunOnUi([this, dialog, handle, id] {
        Window& clicked = *Find(handle);
        m_focus = handle;
        if (clicked.controlKind != ControlKind::Button) {
            return;
        }
        const std::uint32_t type = clicked.style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            return;
        }
        if (type == BS_AUTOCHECKBOX) {
            clicked.check = clicked.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        } else if (type == BS_AUTORADIOBUTTON) {
            // The radio buttons of one group: from the control that starts the
            // group (WS_GROUP) up to the next one that starts another.
            const std::vector<WindowHandle>& controls = Find(dialog)->controls;
            auto at = std::find(controls.begin(), controls.end(), handle);
            auto first = at;
            while (first != controls.begin() && (Find(*first)->style & WS_GROUP) == 0) {
                --first;
            }
            for (auto it = first; it != controls.end(); ++it) {
                if (it != first && (Find(*it)->style & WS_GROUP) != 0) {
                    break;
                }
                Window& member = *Find(*it);
                if ((member.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                    member.controlKind == ControlKind::Button) {
                    member.check = BST_UNCHECKED;
                }
            }
            clicked.check = BST_CHECKED;
        }
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<std::uint16_t>(id), BN_CLICKED),
                    static_cast<LParam>(handle));
    });
}

void HeadlessWindowSystem::PressEnter() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window to press Enter in");
    }
    if (Require(top).kind == Kind::MessageBox) {
        PressMessageBoxOk(top);
        return;
    }
    RunOnUi([this, top] {
        const Window& dialog = *Find(top);
        int id = IDOK;
        WindowHandle button{};
        const Window* focused = Find(m_focus);
        auto isPushButton = [](const Window& w) {
            const std::uint32_t type = w.style & BS_TYPEMASK;
            return w.controlKind == ControlKind::Button &&
                   (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
        };
        if (focused != nullptr && focused->parent == top && isPushButton(*focused)) {
            id = focused->controlId;
            button = m_focus;
        } else {
            for (WindowHandle handle : dialog.controls) {
                const Window& control = *Find(handle);
                if (control.controlKind == ControlKind::Button &&
                    (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                    id = control.controlId;
                    button = handle;
                    break;
                }
            }
        }
        if (const Window* target = Find(button); target != nullptr && !target->enabled) {
            return;  // a disabled default button: Windows only beeps
        }
        SendMessage(top, WM_COMMAND, MAKEWPARAM(static_cast<std::uint16_t>(id), BN_CLICKED),
                    static_cast<LParam>(button));
    });
}

void HeadlessWindowSystem::PressEscape() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window to press Escape in");
    }
    if (Require(top).kind == Kind::MessageBox) {
        PressMessageBoxOk(top);  // a box with one OK button answers Escape with it
        return;
    }
    RunOnUi([this, top] {
        SendMessage(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    static_cast<LParam>(GetDlgItem(top, IDCANCEL)));
    });
}

void HeadlessWindowSystem::PressCloseBox() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window to close");
    }
    const Window& window = Require(top);
    if (window.kind == Kind::MessageBox) {
        PressMessageBoxOk(top);
        return;
    }
    if ((window.style & WS_SYSMENU) == 0) {
        throw Misuse("the window has no close box");
    }
    RunOnUi([this, top] { SendMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void HeadlessWindowSystem::ChooseSystemCommand(std::uint32_t id) {
    const Window& dialog = TopDialog();
    const bool listed = std::any_of(dialog.systemMenu.begin(), dialog.systemMenu.end(),
                                    [id](const MenuItem& item) { return item.id == id; });
    if (!listed) {
        throw Misuse("the system menu has no entry " + std::to_string(id));
    }
    const WindowHandle top = m_modal.back();
    RunOnUi([this, top, id] { SendMessage(top, WM_SYSCOMMAND, id, 0); });
}

LResult HeadlessWindowSystem::Send(WindowHandle window, std::uint32_t message, WParam wParam,
                                   LParam lParam) {
    Require(window);
    LResult result = 0;
    RunOnUi([&] { result = SendMessage(window, message, wParam, lParam); });
    return result;
}

void HeadlessWindowSystem::Paint(WindowHandle window) {
    Require(window);
    RunOnUi([this, window] {
        Find(window)->erasePending = true;
        SendMessage(window, WM_PAINT, 0, 0);
    });
}

LResult HeadlessWindowSystem::EraseBackground(WindowHandle window) {
    Require(window);
    LResult result = 0;
    RunOnUi([&] {
        const DcHandle dc = NewContext(window);
        result = SendMessage(window, WM_ERASEBKGND, static_cast<WParam>(dc), 0);
        m_contexts.erase(dc);
    });
    return result;
}

void HeadlessWindowSystem::SetClientSize(WindowHandle window, int width, int height) {
    Require(window);
    Window& w = *Find(window);
    w.width = width;
    w.height = height;
    ResizeSurface(w);
}

void HeadlessWindowSystem::Minimize(WindowHandle window) {
    Require(window);
    Window& w = *Find(window);
    w.iconic = true;
    w.width = 0;
    w.height = 0;
    ResizeSurface(w);
}

void HeadlessWindowSystem::PressMessageBoxOk(WindowHandle box) {
    const Window& window = Require(box);
    if (window.kind != Kind::MessageBox) {
        throw Misuse("that window is no message box");
    }
    if (TopWindow() != box) {
        throw Misuse("another window is in front of that message box");
    }
    RunOnUi([this, box] {
        Window& b = *Find(box);
        b.ended = true;
        b.result = IDOK;
    });
}

// --- Queries ---

WindowHandle HeadlessWindowSystem::TopWindow() const {
    return m_modal.empty() ? WindowHandle{} : m_modal.back();
}

WindowHandle HeadlessWindowSystem::FindDialog(int templateId) const {
    for (auto it = m_modal.rbegin(); it != m_modal.rend(); ++it) {
        const Window& window = Require(*it);
        if (window.kind == Kind::Dialog && window.templateId == templateId) {
            return *it;
        }
    }
    return WindowHandle{};
}

int HeadlessWindowSystem::TemplateOf(WindowHandle window) const {
    return Require(window).templateId;
}

WindowHandle HeadlessWindowSystem::OwnerOf(WindowHandle window) const {
    return Require(window).owner;
}

WindowHandle HeadlessWindowSystem::ControlOf(WindowHandle dialog, int id) const {
    for (WindowHandle handle : Require(dialog).controls) {
        if (Require(handle).controlId == id) {
            return handle;
        }
    }
    throw Misuse("the dialog has no control " + std::to_string(id));
}

bool HeadlessWindowSystem::IsOpen(WindowHandle window) const {
    return Find(window) != nullptr;
}

bool HeadlessWindowSystem::IsVisible(WindowHandle window) const {
    return Require(window).visible;
}

bool HeadlessWindowSystem::IsEnabled(WindowHandle window) const {
    return Require(window).enabled;
}

bool HeadlessWindowSystem::IsTopmost(WindowHandle window) const {
    return Require(window).topmost;
}

int HeadlessWindowSystem::FocusedControlId() const {
    const Window* focused = Find(m_focus);
    return focused != nullptr && focused->kind == Kind::Control ? focused->controlId : 0;
}

std::string HeadlessWindowSystem::TextOf(WindowHandle window) const {
    return Require(window).text;
}

std::vector<std::string> HeadlessWindowSystem::ControlTexts(WindowHandle dialog) const {
    std::vector<std::string> texts;
    for (WindowHandle handle : Require(dialog).controls) {
        texts.push_back(Require(handle).text);
    }
    return texts;
}

std::string HeadlessWindowSystem::ControlText(int id) const {
    return TopControl(id).text;
}

int HeadlessWindowSystem::Check(int id) const {
    return TopControl(id).check;
}

std::vector<MenuItem> HeadlessWindowSystem::SystemMenuOf(WindowHandle window) const {
    return Require(window).systemMenu;
}

IconHandle HeadlessWindowSystem::WindowIcon(WindowHandle window, WParam which) const {
    const Window& w = Require(window);
    return which == ICON_BIG ? w.bigIcon : w.smallIcon;
}

std::vector<TimerInfo> HeadlessWindowSystem::Timers() const {
    std::vector<TimerInfo> timers;
    for (const Timer& timer : m_timers) {
        timers.push_back({timer.window, timer.id, timer.period, timer.due});
    }
    return timers;
}

MessageBoxView HeadlessWindowSystem::TopMessageBox() {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{} || Require(top).kind != Kind::MessageBox) {
        throw Misuse("no message box is in front");
    }
    return ViewOf(top);
}

std::vector<MessageBoxView> HeadlessWindowSystem::OpenMessageBoxes() {
    std::vector<MessageBoxView> boxes;
    for (WindowHandle window : m_modal) {
        if (Require(window).kind == Kind::MessageBox) {
            boxes.push_back(ViewOf(window));
        }
    }
    return boxes;
}

std::uint32_t HeadlessWindowSystem::PixelAt(WindowHandle window, int x, int y) const {
    const Window& w = Require(window);
    if (x < 0 || y < 0 || x >= w.width || y >= w.height) {
        throw Misuse("pixel outside the client area");
    }
    return w.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w.width) +
                    static_cast<std::size_t>(x)];
}

std::size_t HeadlessWindowSystem::LiveMemoryContexts() const {
    return static_cast<std::size_t>(
        std::count_if(m_contexts.begin(), m_contexts.end(),
                      [](const auto& entry) { return entry.second.window == WindowHandle{}; }));
}

WindowHandle HeadlessWindowSystem::CreatePlainWindow() {
    const WindowHandle handle = NewHandle();
    m_windows[handle].kind = Kind::Plain;
    return handle;
}

// --- WindowSystem: dialogs ---

std::intptr_t HeadlessWindowSystem::RunModalDialog(DialogHost& host, int templateId) {
    RequireUiThread();
    const DialogTemplate* dialogTemplate = m_resources.FindDialog(templateId);
    if (dialogTemplate == nullptr) {
        return -1;
    }
    const WindowHandle owner = TopWindow();
    const WindowHandle handle = NewHandle();
    Window& dialog = m_windows[handle];
    dialog.kind = Kind::Dialog;
    dialog.owner = owner;
    dialog.templateId = templateId;
    dialog.style = dialogTemplate->style;
    dialog.text = dialogTemplate->title;
    dialog.width = HorizontalPixels(dialogTemplate->cx);
    dialog.height = VerticalPixels(dialogTemplate->cy);
    dialog.host = &host;
    if ((dialog.style & WS_SYSMENU) != 0) {
        dialog.systemMenu = {{MF_STRING, SC_MOVE, "&Move"}, {MF_STRING, SC_CLOSE, "&Close"}};
    }
    ResizeSurface(dialog);
    for (const ControlTemplate& item : dialogTemplate->controls) {
        const WindowHandle controlHandle = NewHandle();
        Window& control = m_windows[controlHandle];
        control.kind = Kind::Control;
        control.parent = handle;
        control.controlId = item.id;
        control.controlKind = item.kind;
        control.style = item.style;
        control.text = item.text;
        control.visible = true;
        control.enabled = (item.style & WS_DISABLED) == 0;
        dialog.controls.push_back(controlHandle);
    }

    Window* ownerWindow = Find(owner);
    const bool disabledOwner = ownerWindow != nullptr && ownerWindow->enabled;
    if (disabledOwner) {
        ownerWindow->enabled = false;
    }
    const WindowHandle focusBefore = m_focus;
    const WindowHandle foregroundBefore = m_foreground;
    m_modal.push_back(handle);

    const LResult initResult = SendMessage(handle, WM_INITDIALOG, 0, 0);
    if (Window* opened = Find(handle); opened != nullptr && !opened->ended && !m_stopping) {
        if (initResult != 0) {
            for (WindowHandle controlHandle : opened->controls) {
                const Window& control = *Find(controlHandle);
                if ((control.style & WS_TABSTOP) != 0 && control.enabled && control.visible) {
                    m_focus = controlHandle;
                    break;
                }
            }
        }
        opened->visible = true;
        opened->erasePending = true;
        m_foreground = handle;
    }
    Pump([this, handle] {
        const Window* w = Find(handle);
        return w == nullptr || w->ended;
    });

    std::intptr_t result = -1;
    if (Window* ended = Find(handle); ended != nullptr) {
        if (ended->ended) {
            result = ended->result;
        }
        ended->visible = false;
    }
    if (Window* o = Find(owner); o != nullptr && disabledOwner) {
        o->enabled = true;
    }
    if (m_foreground == handle || m_foreground == WindowHandle{}) {
        m_foreground = Find(owner) != nullptr
                           ? owner
                           : (Find(foregroundBefore) ? foregroundBefore : WindowHandle{});
    }
    SendMessage(handle, WM_DESTROY, 0, 0);
    SendMessage(handle, WM_NCDESTROY, 0, 0);
    DestroyWindow(handle);
    m_focus = Find(focusBefore) != nullptr ? focusBefore : owner;
    return result;
}

bool HeadlessWindowSystem::EndDialog(WindowHandle dialog, std::intptr_t result) {
    Window* window = Find(dialog);
    if (window == nullptr || window->kind != Kind::Dialog) {
        return false;
    }
    window->ended = true;
    window->result = result;
    return true;
}

void HeadlessWindowSystem::DestroyWindow(WindowHandle window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    std::vector<WindowHandle> gone = w->controls;
    gone.push_back(window);
    for (WindowHandle handle : gone) {
        m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                      [handle](const Timer& t) { return t.window == handle; }),
                       m_timers.end());
        m_windows.erase(handle);
    }
    m_modal.erase(std::remove(m_modal.begin(), m_modal.end(), window), m_modal.end());
}

LResult HeadlessWindowSystem::DefaultProcessing(WindowHandle window, std::uint32_t message,
                                                WParam wParam, LParam lParam) {
    Window* w = Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND: {
            const DcHandle dc = static_cast<DcHandle>(wParam);
            Surface surface = SurfaceOf(dc);
            if (surface.pixels != nullptr) {
                std::fill(surface.pixels->begin(), surface.pixels->end(), kBackgroundColour);
            }
            DrawCall call;
            call.kind = DrawCall::FillBackground;
            call.window = window;
            call.cx = surface.width;
            call.cy = surface.height;
            m_drawCalls.push_back(call);
            return 1;
        }
        case WM_PAINT:
            EndPaint(window, BeginPaint(window));
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                SendMessage(window, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_CLOSE:
            if (w->kind == Kind::Dialog) {
                // The dialog manager posts Cancel; it arrives once the loop is idle.
                m_actions.push_back([this, window] {
                    if (Find(window) != nullptr) {
                        SendMessage(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                    static_cast<LParam>(GetDlgItem(window, IDCANCEL)));
                    }
                });
            }
            return 0;
        case WM_SETICON: {
            IconHandle& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
            return static_cast<LResult>(std::exchange(slot, static_cast<IconHandle>(lParam)));
        }
        case WM_SETTEXT:
            w->text = reinterpret_cast<const char*>(lParam);
            return 1;
        case WM_GETTEXT: {
            if (wParam == 0) {
                return 0;
            }
            const std::size_t length = std::min<std::size_t>(w->text.size(), wParam - 1);
            std::memcpy(reinterpret_cast<char*>(lParam), w->text.data(), length);
            reinterpret_cast<char*>(lParam)[length] = '\0';
            return static_cast<LResult>(length);
        }
        case BM_GETCHECK:
            return w->check;
        case BM_SETCHECK:
            w->check = static_cast<int>(wParam);
            return 0;
        default:
            return 0;
    }
}

LResult HeadlessWindowSystem::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                          LParam lParam) {
    Window* w = Find(window);
    if (w == nullptr) {
        return 0;
    }
    if (w->host != nullptr) {
        return w->host->ReceiveMessage(window, message, wParam, lParam);
    }
    return DefaultProcessing(window, message, wParam, lParam);
}

int HeadlessWindowSystem::MessageBox(WindowHandle owner, const std::string& text,
                                     const std::string& caption, std::uint32_t type) {
    RequireUiThread();
    const WindowHandle handle = NewHandle();
    Window& box = m_windows[handle];
    box.kind = Kind::MessageBox;
    box.owner = owner;
    box.text = text;
    box.caption = caption;
    box.boxType = type;
    box.visible = true;

    Window* ownerWindow = Find(owner);
    const bool disabledOwner = ownerWindow != nullptr && ownerWindow->enabled;
    if (disabledOwner) {
        ownerWindow->enabled = false;
    }
    const WindowHandle focusBefore = m_focus;
    const WindowHandle foregroundBefore = m_foreground;
    m_modal.push_back(handle);
    m_foreground = handle;
    m_focus = handle;
    m_messageBoxHistory.push_back(ViewOf(handle));

    Pump([this, handle] { return Find(handle)->ended; });

    const int result = Find(handle)->ended ? static_cast<int>(Find(handle)->result) : IDOK;
    if (Window* o = Find(owner); o != nullptr && disabledOwner) {
        o->enabled = true;
    }
    if (m_foreground == handle) {
        m_foreground = Find(owner) != nullptr
                           ? owner
                           : (Find(foregroundBefore) ? foregroundBefore : WindowHandle{});
    }
    DestroyWindow(handle);
    m_focus = Find(focusBefore) != nullptr ? focusBefore : owner;
    return result;
}

std::string HeadlessWindowSystem::ApplicationName() {
    return ApplicationNameFromPath(m_programPath);
}

// --- WindowSystem: windows ---

WindowHandle HeadlessWindowSystem::GetDlgItem(WindowHandle dialog, int id) {
    const Window* w = Find(dialog);
    if (w == nullptr) {
        return WindowHandle{};
    }
    for (WindowHandle handle : w->controls) {
        if (Find(handle)->controlId == id) {
            return handle;
        }
    }
    return WindowHandle{};
}

std::string HeadlessWindowSystem::GetWindowText(WindowHandle window) {
    const Window* w = Find(window);
    return w == nullptr ? std::string() : w->text;
}

void HeadlessWindowSystem::SetWindowText(WindowHandle window, const std::string& text) {
    if (Window* w = Find(window)) {
        w->text = text;
    }
}

bool HeadlessWindowSystem::ShowWindow(WindowHandle window, int command) {
    Window* w = Find(window);
    if (w == nullptr) {
        return false;
    }
    const bool wasVisible = w->visible;
    if (command == SW_HIDE) {
        w->visible = false;
        if (m_foreground == window) {
            m_foreground = WindowHandle{};
        }
    } else if (command == SW_MINIMIZE) {
        w->visible = true;
        w->iconic = true;
        w->width = 0;
        w->height = 0;
        ResizeSurface(*w);
    } else {
        w->visible = true;
        if (command == SW_SHOWNORMAL && w->iconic) {
            w->iconic = false;
            if (const DialogTemplate* t = m_resources.FindDialog(w->templateId)) {
                w->width = HorizontalPixels(t->cx);
                w->height = VerticalPixels(t->cy);
                ResizeSurface(*w);
            }
        }
    }
    return wasVisible;
}

bool HeadlessWindowSystem::SetForegroundWindow(WindowHandle window) {
    if (Find(window) == nullptr) {
        return false;
    }
    m_foreground = window;
    return true;
}

WindowHandle HeadlessWindowSystem::SetFocus(WindowHandle window) {
    if (Find(window) == nullptr) {
        return WindowHandle{};
    }
    return std::exchange(m_focus, window);
}

bool HeadlessWindowSystem::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int, int,
                                        int, int, std::uint32_t) {
    Window* w = Find(window);
    if (w == nullptr) {
        return false;
    }
    if (insertAfter == HWND_TOPMOST) {
        w->topmost = true;
    } else if (insertAfter == kHwndNoTopmost) {
        w->topmost = false;
    }
    return true;
}

bool HeadlessWindowSystem::IsIconic(WindowHandle window) {
    const Window* w = Find(window);
    return w != nullptr && w->iconic;
}

Rect HeadlessWindowSystem::GetClientRect(WindowHandle window) {
    const Window* w = Find(window);
    return w == nullptr ? Rect{} : Rect{0, 0, w->width, w->height};
}

std::uintptr_t HeadlessWindowSystem::SetTimer(WindowHandle window, std::uintptr_t id,
                                              std::uint32_t milliseconds) {
    if (Find(window) == nullptr) {
        return 0;
    }
    const std::uint32_t period = std::max(milliseconds, kShortestTimer);
    const std::chrono::milliseconds due = m_now + std::chrono::milliseconds(period);
    for (Timer& timer : m_timers) {
        if (timer.window == window && timer.id == id) {
            timer.period = period;
            timer.due = due;
            return id;
        }
    }
    m_timers.push_back({window, id, period, due, m_timerSequence++});
    return id;
}

bool HeadlessWindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
    auto found = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == id;
    });
    if (found == m_timers.end()) {
        return false;
    }
    m_timers.erase(found);
    return true;
}

MenuHandle HeadlessWindowSystem::GetSystemMenu(WindowHandle window, bool revert) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_SYSMENU) == 0) {
        return MenuHandle{};
    }
    if (revert) {
        w->systemMenu = {{MF_STRING, SC_MOVE, "&Move"}, {MF_STRING, SC_CLOSE, "&Close"}};
        return MenuHandle{};
    }
    return static_cast<MenuHandle>(static_cast<std::uintptr_t>(window));
}

bool HeadlessWindowSystem::AppendMenu(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                      const std::string& text) {
    Window* w = Find(static_cast<WindowHandle>(static_cast<std::uintptr_t>(menu)));
    if (w == nullptr) {
        return false;
    }
    w->systemMenu.push_back({flags, id, (flags & MF_SEPARATOR) != 0 ? std::string() : text});
    return true;
}

// --- WindowSystem: resources ---

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
    BitmapObject bitmap{resourceId, resource->width, resource->height, {}};
    bitmap.pixels.reserve(static_cast<std::size_t>(bitmap.width) *
                          static_cast<std::size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            bitmap.pixels.push_back(BitmapPixel(x, y));
        }
    }
    const BitmapHandle handle = static_cast<BitmapHandle>(m_nextHandle++);
    m_bitmaps[handle] = std::move(bitmap);
    return handle;
}

bool HeadlessWindowSystem::GetObject(BitmapHandle bitmap, BitmapInfo& info) {
    auto found = m_bitmaps.find(bitmap);
    if (found == m_bitmaps.end()) {
        return false;
    }
    info.bmWidth = found->second.width;
    info.bmHeight = found->second.height;
    return true;
}

bool HeadlessWindowSystem::DeleteObject(BitmapHandle bitmap) {
    if (bitmap == m_stockBitmap) {
        return false;
    }
    return m_bitmaps.erase(bitmap) == 1;
}

int HeadlessWindowSystem::GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? kIconSize : 0;
}

// --- WindowSystem: drawing ---

DcHandle HeadlessWindowSystem::NewContext(WindowHandle window) {
    const DcHandle dc = static_cast<DcHandle>(m_nextHandle++);
    m_contexts[dc] = Context{window, window == WindowHandle{} ? m_stockBitmap : BitmapHandle{}};
    return dc;
}

DcHandle HeadlessWindowSystem::BeginPaint(WindowHandle window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return DcHandle{};
    }
    const DcHandle dc = NewContext(window);
    if (w->erasePending) {
        w->erasePending = false;
        SendMessage(window, WM_ERASEBKGND, static_cast<WParam>(dc), 0);
    }
    return dc;
}

void HeadlessWindowSystem::EndPaint(WindowHandle, DcHandle dc) {
    m_contexts.erase(dc);
}

DcHandle HeadlessWindowSystem::CreateCompatibleDC(DcHandle dc) {
    if (m_failMemoryContexts || m_contexts.count(dc) == 0) {
        return DcHandle{};
    }
    return NewContext(WindowHandle{});
}

bool HeadlessWindowSystem::DeleteDC(DcHandle dc) {
    return m_contexts.erase(dc) == 1;
}

BitmapHandle HeadlessWindowSystem::SelectObject(DcHandle dc, BitmapHandle bitmap) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end() || m_bitmaps.count(bitmap) == 0) {
        return BitmapHandle{};
    }
    return std::exchange(context->second.selected, bitmap);
}

HeadlessWindowSystem::Surface HeadlessWindowSystem::SurfaceOf(DcHandle dc) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return {};
    }
    if (context->second.window != WindowHandle{}) {
        Window* w = Find(context->second.window);
        return w == nullptr ? Surface{} : Surface{&w->pixels, w->width, w->height};
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    return bitmap == m_bitmaps.end()
               ? Surface{}
               : Surface{&bitmap->second.pixels, bitmap->second.width, bitmap->second.height};
}

int HeadlessWindowSystem::SelectedBitmapResource(DcHandle dc) const {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return 0;
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    return bitmap == m_bitmaps.end() ? 0 : bitmap->second.resourceId;
}

bool HeadlessWindowSystem::BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                  int sx, int sy, std::uint32_t rop) {
    return StretchBlt(dest, x, y, cx, cy, source, sx, sy, cx, cy, rop, DrawCall::BitBlt);
}

bool HeadlessWindowSystem::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                      int sx, int sy, int scx, int scy, std::uint32_t rop) {
    return StretchBlt(dest, x, y, cx, cy, source, sx, sy, scx, scy, rop, DrawCall::StretchBlt);
}

bool HeadlessWindowSystem::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source,
                                      int sx, int sy, int scx, int scy, std::uint32_t rop,
                                      DrawCall::Kind kind) {
    const Surface to = SurfaceOf(dest);
    const Surface from = SurfaceOf(source);
    if (to.pixels == nullptr || from.pixels == nullptr) {
        return false;
    }
    DrawCall call{kind,
                  m_contexts[dest].window,
                  x,
                  y,
                  cx,
                  cy,
                  SelectedBitmapResource(source),
                  sx,
                  sy,
                  scx,
                  scy,
                  rop,
                  IconHandle{}};
    m_drawCalls.push_back(call);
    // Pixels outside the source are left as they were on the destination.
    for (int j = 0; j < cy; ++j) {
        const int ty = y + j;
        const int fy = sy + static_cast<int>(static_cast<long long>(j) * scy / cy);
        if (ty < 0 || ty >= to.height || fy < 0 || fy >= from.height) {
            continue;
        }
        for (int i = 0; i < cx; ++i) {
            const int tx = x + i;
            const int fx = sx + static_cast<int>(static_cast<long long>(i) * scx / cx);
            if (tx < 0 || tx >= to.width || fx < 0 || fx >= from.width) {
                continue;
            }
            (*to.pixels)[static_cast<std::size_t>(ty) * static_cast<std::size_t>(to.width) +
                         static_cast<std::size_t>(tx)] =
                (*from.pixels)[static_cast<std::size_t>(fy) * static_cast<std::size_t>(from.width) +
                               static_cast<std::size_t>(fx)];
        }
    }
    return true;
}

bool HeadlessWindowSystem::DrawIcon(DcHandle dc, int x, int y, IconHandle icon) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end() || icon == IconHandle{}) {
        return false;
    }
    DrawCall call;
    call.kind = DrawCall::DrawIcon;
    call.window = context->second.window;
    call.x = x;
    call.y = y;
    call.cx = kIconSize;
    call.cy = kIconSize;
    call.icon = icon;
    m_drawCalls.push_back(call);
    return true;
}

bool HeadlessWindowSystem::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
    m_notifyIconCalls.push_back({message, data});
    return !m_refuseNotifyIcon;
}

// --- Helpers ---

HeadlessWindowSystem::Window* HeadlessWindowSystem::Find(WindowHandle window) {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

const HeadlessWindowSystem::Window* HeadlessWindowSystem::Find(WindowHandle window) const {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

const HeadlessWindowSystem::Window& HeadlessWindowSystem::Require(WindowHandle window) const {
    const Window* w = Find(window);
    if (w == nullptr) {
        throw Misuse("no such window");
    }
    return *w;
}

const HeadlessWindowSystem::Window& HeadlessWindowSystem::TopDialog() const {
    const WindowHandle top = TopWindow();
    if (top == WindowHandle{}) {
        throw Misuse("no window is open");
    }
    const Window& window = Require(top);
    if (window.kind != Kind::Dialog) {
        throw Misuse("a message box is in front: answer it first");
    }
    return window;
}

const HeadlessWindowSystem::Window& HeadlessWindowSystem::TopControl(int id) const {
    const Window& dialog = TopDialog();
    for (WindowHandle handle : dialog.controls) {
        const Window& control = Require(handle);
        if (control.controlId == id) {
            if (!control.enabled || !control.visible) {
                throw Misuse("control " + std::to_string(id) + " cannot be reached");
            }
            return control;
        }
    }
    throw Misuse("the dialog in front has no control " + std::to_string(id));
}

WindowHandle HeadlessWindowSystem::NewHandle() {
    return static_cast<WindowHandle>(m_nextHandle++);
}

void HeadlessWindowSystem::ResizeSurface(Window& window) {
    window.pixels.assign(static_cast<std::size_t>(std::max(window.width, 0)) *
                             static_cast<std::size_t>(std::max(window.height, 0)),
                         kUnpaintedColour);
}

MessageBoxView HeadlessWindowSystem::ViewOf(WindowHandle box) {
    const Window& window = Require(box);
    return MessageBoxView{box, window.owner, window.caption, window.text, window.boxType, this};
}

}  // namespace quotamin
