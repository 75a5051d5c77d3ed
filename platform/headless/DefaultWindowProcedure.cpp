#include "platform/headless/DefaultWindowProcedure.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ButtonClick.h"
#include "platform/DialogKeys.h"
#include "platform/Styles.h"
#include "platform/TabOrder.h"

namespace quotamin {

namespace {

constexpr WParam kBackspace = 0x08;

}  // namespace

DefaultWindowProcedure::DefaultWindowProcedure(WindowSystem& sender, WindowModel& windows,
                                               Raster& raster, Lockstep& turns)
    : m_sender(sender), m_windows(windows), m_raster(raster), m_turns(turns) {}

LResult DefaultWindowProcedure::Process(WindowHandle window, std::uint32_t message, WParam wParam,
                                        LParam lParam) {
    if (m_windows.Control(window) != nullptr) {
        return ProcessControl(window, message, wParam, lParam);
    }
    WindowModel::Window* w = m_windows.Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND:
            m_raster.FillBackground(window, static_cast<DcHandle>(wParam));
            return 1;
        case WM_PAINT:
            m_sender.EndPaint(window, m_sender.BeginPaint(window));
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                m_sender.SendMessage(window, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_CLOSE:
            if (w->kind == WindowModel::Kind::Dialog) {
                // The dialog manager posts Cancel; it arrives once the loop is idle.
                m_turns.Post([this, window] {
                    if (const WindowModel::Window* open = m_windows.Find(window)) {
                        const KeyCommand command = CancelCommand(open->controls);
                        SendCommand(window, command.id,
                                    command.control ? open->controls[*command.control].window
                                                    : WindowHandle{});
                    }
                });
            }
            return 0;
        case WM_COMMAND:
            if (w->kind == WindowModel::Kind::MessageBox) {
                w->ended = true;
                w->result = LOWORD(wParam);
            }
            return 0;
        case WM_SETICON: {
            IconHandle& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
            return static_cast<LResult>(std::exchange(slot, static_cast<IconHandle>(lParam)));
        }
        case WM_SETTEXT:
        case WM_GETTEXT:
            return ProcessControl(window, message, wParam, lParam);
        default:
            return 0;
    }
}

// What a control's own window procedure does; also the text messages of any window.
LResult DefaultWindowProcedure::ProcessControl(WindowHandle window, std::uint32_t message,
                                               WParam wParam, LParam lParam) {
    DialogControl* control = m_windows.Control(window);
    switch (message) {
        case WM_SETTEXT:
            m_windows.SetText(window, reinterpret_cast<const char*>(lParam));
            return 1;
        case WM_GETTEXT: {
            if (wParam == 0) {
                return 0;
            }
            const std::string text = m_windows.Text(window);
            const std::size_t length = std::min<std::size_t>(text.size(), wParam - 1);
            std::memcpy(reinterpret_cast<char*>(lParam), text.data(), length);
            reinterpret_cast<char*>(lParam)[length] = '\0';
            return static_cast<LResult>(length);
        }
        case BM_GETCHECK:
            return control != nullptr && control->kind == ControlKind::Button ? control->check : 0;
        case BM_SETCHECK:
            if (control != nullptr && control->kind == ControlKind::Button) {
                control->check = static_cast<int>(wParam);
            }
            return 0;
        case BM_CLICK: {
            if (control == nullptr || control->kind != ControlKind::Button) {
                return 0;
            }
            // The button takes the focus when the mouse goes down on it, and
            // changes its state when the mouse comes up.
            const WindowModel::ControlRef ref = *m_windows.FindControl(window);
            m_windows.FocusControl(ref.dialog, ref.index);
            if (ClickButton(m_windows.Find(ref.dialog)->controls, ref.index)) {
                SendCommand(ref.dialog, control->id, window);
            }
            return 0;
        }
        case WM_CHAR:
            // An edit control takes what is typed, unless it is read-only.
            if (control != nullptr && control->kind == ControlKind::Edit &&
                (control->style & ES_READONLY) == 0) {
                if (wParam == kBackspace) {
                    if (!control->text.empty()) {
                        control->text.pop_back();
                    }
                } else {
                    control->text += static_cast<char>(wParam);
                }
            }
            return 0;
        default:
            return 0;
    }
}

void DefaultWindowProcedure::PressKey(WParam key, bool shift) {
    const WindowHandle top = m_windows.Innermost();
    const WindowModel::Window* window = m_windows.Find(top);
    if (window == nullptr) {
        return;
    }
    if (window->kind == WindowModel::Kind::MessageBox) {
        // A box with one OK button answers Escape with it too.
        if (key == VK_RETURN || key == VK_ESCAPE) {
            m_sender.SendMessage(top, WM_COMMAND, IDOK, 0);
        }
        return;
    }
    const std::vector<DialogControl>& controls = window->controls;
    const std::optional<std::size_t> focused = m_windows.FocusedControlOf(top);
    auto windowOf = [&](std::optional<std::size_t> index) {
        return index ? controls[*index].window : WindowHandle{};
    };
    if (key == VK_RETURN) {
        if (const std::optional<KeyCommand> command = EnterCommand(controls, focused)) {
            SendCommand(top, command->id, windowOf(command->control));
        }
    } else if (key == VK_ESCAPE) {
        const KeyCommand command = CancelCommand(controls);
        SendCommand(top, command.id, windowOf(command.control));
    } else if (key == VK_TAB) {
        if (const std::optional<std::size_t> next = NextTabStop(controls, focused, shift)) {
            m_windows.FocusControl(top, *next);
        }
    }
}

void DefaultWindowProcedure::SendCommand(WindowHandle dialog, int id, WindowHandle control) {
    m_sender.SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<std::uint16_t>(id), BN_CLICKED),
                         static_cast<LParam>(control));
}

}  // namespace quotamin
