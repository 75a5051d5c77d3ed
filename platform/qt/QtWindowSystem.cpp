#include "platform/qt/QtWindowSystem.h"

#include <QtCore/QEventLoop>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontMetrics>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <cstring>
#include <filesystem>

#include "platform/ButtonClick.h"
#include "platform/ControlLabel.h"
#include "platform/DialogKeys.h"
#include "platform/Styles.h"
#include "platform/TabOrder.h"
#include "platform/qt/AnsiText.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtMenus.h"

namespace quotamin {

namespace {

constexpr const char* kSystemMenuName = "systemMenu";

std::string ProgramPath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("quotamin") : path.string();
}

// The font whose dialog base units come nearest those of MS Sans Serif 8 on
// Windows (6 by 13): Windows takes the average width of the 52 letters and
// the height of the font. DejaVu Sans Condensed at 11 pixels meets them.
QFont DialogFont() {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QStringList families = {QStringLiteral("DejaVu Sans Condensed"),
                                  QStringLiteral("Liberation Sans"),
                                  QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()};
    QFont best = QApplication::font();
    int bestMiss = -1;
    for (const QString& family : families) {
        if (!QFontDatabase::hasFamily(family)) {
            continue;
        }
        for (int pixels = 9; pixels <= 13; ++pixels) {
            QFont font(family);
            font.setPixelSize(pixels);
            const QFontMetrics metrics(font);
            const int x = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
            const int miss = std::abs(x - QtWindowSystem::kBaseUnits.x) +
                             std::abs(metrics.height() - QtWindowSystem::kBaseUnits.y);
            if (bestMiss < 0 || miss < bestMiss) {
                best = font;
                bestMiss = miss;
            }
            if (miss == 0) {
                return best;
            }
        }
    }
    return best;
}

std::unique_ptr<QApplication> ApplicationIfNone(int& argc, char** argv) {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

QtWindowSystem::QtWindowSystem(const ResourceTable& resources)
    : m_programPath(ProgramPath()),
      m_argv{m_programPath.data(), nullptr},
      m_ownApplication(ApplicationIfNone(m_argc, m_argv)),
      m_resources(resources),
      m_timers(
          [this](WindowHandle window, std::uintptr_t id) { SendMessage(window, WM_TIMER, id, 0); }),
      m_notifyIcons(QtNotifyIcons::Host{
          [this](IconHandle icon) { return m_drawing.Icon(icon); },
          [this](const NotifyIconData& icon, std::uint32_t mouse) {
              SendMessage(icon.hWnd, icon.uCallbackMessage, icon.uID, static_cast<LParam>(mouse));
          },
          [this](WindowHandle window) {
              const QtWindow* w = m_windows.Find(window);
              return w == nullptr ? std::vector<MenuItem>{}
                                  : ProgramEntries(w->systemMenu, w->style);
          },
          [this](WindowHandle window) { return m_windows.IsEnabled(window); },
          [this](WindowHandle window, std::uintptr_t id) {
              SendMessage(window, WM_SYSCOMMAND, id, 0);
          }}) {
    // The program ends when its main window does, not when its last window hides.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(DialogFont());
    // A program's first icon is the one Windows shows for its file.
    if (!m_resources.icons.empty()) {
        QApplication::setWindowIcon(m_drawing.Icon(m_drawing.LoadIcon(m_resources.icons.front())));
    }
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &m_context, [this](QWindow* now) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            const WindowHandle window = now != nullptr && widget->windowHandle() == now
                                            ? m_windows.HandleOf(widget)
                                            : WindowHandle{};
            if (window == WindowHandle{}) {
                continue;
            }
            // A window that a modal one disables passes the activation on to
            // the window in front, as a click on it does on Windows.
            const WindowHandle innermost = m_windows.Innermost();
            if (!m_windows.IsEnabled(window) && innermost != window &&
                m_windows.Exists(innermost)) {
                m_windows.SetForeground(innermost);
            } else {
                m_windows.ActivatedByUser(window);
            }
        }
    });
}

QtWindowSystem::~QtWindowSystem() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (m_windows.HandleOf(widget) != WindowHandle{}) {
            delete widget;
        }
    }
}

bool QtWindowSystem::ClaimSession(const QString& directory, const QString& session) {
    m_claim =
        std::make_unique<SessionClaim>(directory, session, [this] { m_notifyIcons.ClickAll(); });
    if (m_claim->Claim() == SessionClaim::Outcome::HandedOver) {
        m_claim.reset();
        return false;
    }
    return true;
}

// --- Dialogs and message boxes ---

WindowHandle QtWindowSystem::CreateDialogWindow(const DialogTemplate& dialogTemplate,
                                                DialogHost& host, WindowHandle owner) {
    Qt::WindowFlags flags = Qt::CustomizeWindowHint;
    // Only the main window has a button on the task bar, as on Windows.
    flags |= (dialogTemplate.exStyle & WS_EX_APPWINDOW) != 0 ? Qt::Window : Qt::Dialog;
    flags |=
        (dialogTemplate.style & WS_CAPTION) != 0 ? Qt::WindowTitleHint : Qt::FramelessWindowHint;
    if ((dialogTemplate.style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    auto* widget = new DialogWidget(*this, flags);
    QtWindow window;
    window.kind = QtWindow::Kind::Dialog;
    window.widget = widget;
    window.owner = owner;
    window.host = &host;
    window.templateId = dialogTemplate.id;
    window.style = dialogTemplate.style;
    window.controls = CreateControls(dialogTemplate, kBaseUnits);
    window.systemMenu = DefaultSystemMenu(dialogTemplate.style);
    const WindowHandle handle = m_windows.Add(std::move(window));
    widget->SetHandle(handle);
    widget->setWindowTitle(FromAnsi(dialogTemplate.title));
    widget->setAccessibleName(dialogTemplate.title.empty()
                                  ? QString::fromStdString(ApplicationName())
                                  : FromAnsi(dialogTemplate.title));
    const Rect client = ClientRect(dialogTemplate, kBaseUnits);
    widget->setFixedSize(client.Width(), client.Height());

    std::vector<DialogControl>& controls = m_windows.Find(handle)->controls;
    std::vector<QWidget*> widgets;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        DialogControl& control = controls[i];
        const QIcon icon = control.iconResource != 0
                               ? m_drawing.Icon(m_drawing.LoadIcon(control.iconResource))
                               : QIcon();
        QWidget* controlWidget =
            CreateControlWidget(control, dialogTemplate.controls[i].exStyle, *widget, icon);
        controlWidget->setProperty(kControlIdProperty, control.id);
        // The first control of a template lies on top of the others.
        controlWidget->lower();
        QtWindow entry;
        entry.kind = QtWindow::Kind::Control;
        entry.widget = controlWidget;
        entry.dialog = handle;
        entry.index = i;
        control.window = m_windows.Add(std::move(entry));
        widget->Adopt(*controlWidget, control.window);
        widgets.push_back(controlWidget);
    }
    QWidget* previousStop = nullptr;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const std::optional<std::string> name = AccessibleName(controls, i);
        widgets[i]->setAccessibleName(name ? FromAnsi(*name) : ControlText(*widgets[i]));
        if (controls[i].kind == ControlKind::Edit) {
            if (const std::optional<std::size_t> label = LabelOf(controls, i)) {
                if (auto* text = qobject_cast<QLabel*>(widgets[*label])) {
                    text->setBuddy(widgets[i]);
                }
            }
        }
        if ((controls[i].style & WS_TABSTOP) != 0) {
            if (previousStop != nullptr) {
                QWidget::setTabOrder(previousStop, widgets[i]);
            }
            previousStop = widgets[i];
        }
    }

    auto* menu = new QMenu(widget);
    menu->setObjectName(QLatin1String(kSystemMenuName));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, widget] {
        for (QAction* action : menu->actions()) {
            const QVariant id = action->property(kCommandProperty);
            if (id.isValid()) {
                action->setEnabled(SystemCommandAvailable(id.toULongLong(), widget->isMinimized()));
            }
        }
    });
    UpdateSystemMenu(handle);

    // The native window now, for its owner and its place above other windows.
    widget->winId();
    if (QWidget* ownerWidget = m_windows.Widget(owner)) {
        widget->windowHandle()->setTransientParent(ownerWidget->window()->windowHandle());
    }
    Place(*widget, owner);
    m_windows.PushModal(handle);
    return handle;
}

void QtWindowSystem::Place(QWidget& widget, WindowHandle owner) {
    const QWidget* ownerWidget = m_windows.Widget(owner);
    QScreen* screen =
        ownerWidget != nullptr ? ownerWidget->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect area = ownerWidget != nullptr && ownerWidget->isVisible()
                           ? ownerWidget->window()->frameGeometry()
                           : available;
    QPoint corner = area.center() - QPoint(widget.width() / 2, widget.height() / 2);
    corner.setX(std::clamp(corner.x(), available.left(),
                           std::max(available.left(), available.right() - widget.width())));
    corner.setY(std::clamp(corner.y(), available.top(),
                           std::max(available.top(), available.bottom() - widget.height())));
    widget.move(corner);
}

std::intptr_t QtWindowSystem::RunModalDialog(DialogHost& host, int templateId) {
    const DialogTemplate* dialogTemplate = m_resources.FindDialog(templateId);
    if (dialogTemplate == nullptr) {
        return -1;
    }
    const WindowHandle owner = m_windows.Innermost();
    const WindowHandle handle = CreateDialogWindow(*dialogTemplate, host, owner);
    std::intptr_t result = -1;
    {
        ModalScope scope(m_windows, handle, owner);
        const LResult initResult = SendMessage(handle, WM_INITDIALOG, 0, 0);
        QtWindow* opened = m_windows.Find(handle);
        if (opened != nullptr && !opened->ended && opened->widget) {
            // True from WM_INITDIALOG asks for the focus on the first tab stop.
            if (initResult != 0) {
                if (const std::optional<std::size_t> first = FirstTabStop(opened->controls)) {
                    m_windows.SetFocus(opened->controls[*first].window);
                }
            }
            opened->widget->show();
            ApplyTopmost(*opened);
            m_windows.SetForeground(handle);
        }
        RunLoop(handle);
        if (QtWindow* ended = m_windows.Find(handle)) {
            if (ended->ended) {
                result = ended->result;
            }
            if (ended->widget) {
                ended->widget->hide();
            }
            m_windows.ForgetForeground(handle);
        }
    }
    SendMessage(handle, WM_DESTROY, 0, 0);
    SendMessage(handle, WM_NCDESTROY, 0, 0);
    DestroyWindow(handle);
    return result;
}

void QtWindowSystem::RunLoop(WindowHandle window) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr || w->ended) {
        return;
    }
    QEventLoop loop;
    w->loop = &loop;
    // Returns when the window ends (or the application quits).
    loop.exec();
    if (QtWindow* after = m_windows.Find(window)) {
        after->loop = nullptr;
    }
}

bool QtWindowSystem::EndDialog(WindowHandle dialog, std::intptr_t result) {
    QtWindow* window = m_windows.Find(dialog);
    if (window == nullptr || window->kind == QtWindow::Kind::Control) {
        return false;
    }
    window->ended = true;
    window->result = result;
    if (window->loop != nullptr) {
        window->loop->quit();
    }
    return true;
}

int QtWindowSystem::MessageBox(WindowHandle owner, const std::string& text,
                               const std::string& caption, std::uint32_t) {
    auto* box = new QMessageBox();
    box->setWindowTitle(FromAnsi(caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(FromAnsi(text));
    box->setIcon(QMessageBox::NoIcon);
    box->setStandardButtons(QMessageBox::Ok);
    // A plain OK button, as Windows draws it, whatever icons the style would add.
    box->button(QMessageBox::Ok)->setIcon(QIcon());
    QtWindow window;
    window.kind = QtWindow::Kind::MessageBox;
    window.widget = box;
    window.owner = owner;
    const WindowHandle handle = m_windows.Add(std::move(window));
    QObject::connect(box, &QDialog::finished, &m_context,
                     [this, handle] { EndDialog(handle, IDOK); });
    box->winId();
    if (QWidget* ownerWidget = m_windows.Widget(owner)) {
        box->windowHandle()->setTransientParent(ownerWidget->window()->windowHandle());
    }
    box->adjustSize();
    Place(*box, owner);
    m_windows.PushModal(handle);
    {
        ModalScope scope(m_windows, handle, owner);
        box->show();
        m_windows.SetForeground(handle);
        RunLoop(handle);
        box->hide();
        m_windows.ForgetForeground(handle);
    }
    DestroyWindow(handle);
    return IDOK;
}

void QtWindowSystem::DestroyWindow(WindowHandle window) {
    QtWindow* w = m_windows.Find(window);
    if (w == nullptr) {
        return;
    }
    for (const DialogControl& control : w->controls) {
        m_timers.KillAllOf(control.window);
    }
    m_timers.KillAllOf(window);
    const QPointer<QWidget> widget = w->widget;
    m_windows.Remove(window);
    delete widget.data();
}

std::string QtWindowSystem::ApplicationName() {
    return ApplicationNameFromPath(QCoreApplication::applicationFilePath().toStdString());
}

// --- What the dialog's widget hears ---

void QtWindowSystem::Paint(WindowHandle dialog, QWidget& widget) {
    QPainter painter(&widget);
    const std::optional<PaintState> outer = m_paint;
    m_paint = PaintState{dialog, &painter};
    SendMessage(dialog, WM_PAINT, 0, 0);
    // A handler that did not paint still leaves the window erased, as
    // Windows would ask it again until it did.
    if (m_paint && !m_paint->begun) {
        EndPaint(dialog, BeginPaint(dialog));
    }
    m_paint = outer;
}

void QtWindowSystem::CloseBox(WindowHandle dialog) {
    // A disabled window cannot be closed, as no input reaches it on Windows.
    if (m_windows.IsEnabled(dialog)) {
        SendMessage(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

bool QtWindowSystem::DialogKey(WindowHandle dialog, int key) {
    const QtWindow* window = m_windows.Find(dialog);
    if (window == nullptr || !window->widget) {
        return false;
    }
    const std::vector<DialogControl>& controls = window->controls;
    std::optional<std::size_t> focused;
    if (const QtWindow* focus = m_windows.Find(m_windows.HandleOf(window->widget->focusWidget()));
        focus != nullptr && focus->kind == QtWindow::Kind::Control && focus->dialog == dialog) {
        focused = focus->index;
    }
    auto windowOf = [&](std::optional<std::size_t> index) {
        return index ? controls[*index].window : WindowHandle{};
    };
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (const std::optional<KeyCommand> command = EnterCommand(controls, focused)) {
                SendCommand(dialog, command->id, windowOf(command->control));
            } else {
                QApplication::beep();
            }
            return true;
        case Qt::Key_Escape: {
            const KeyCommand command = CancelCommand(controls);
            SendCommand(dialog, command.id, windowOf(command.control));
            return true;
        }
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            const bool backwards = key == Qt::Key_Backtab;
            if (const std::optional<std::size_t> next = NextTabStop(controls, focused, backwards)) {
                if (QWidget* widget = m_windows.Widget(controls[*next].window)) {
                    widget->setFocus(backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
                }
            }
            return true;
        }
        default:
            return false;
    }
}

void QtWindowSystem::Clicked(WindowHandle control) {
    const QtWindow* clicked = m_windows.Find(control);
    QtWindow* dialog = clicked == nullptr ? nullptr : m_windows.Find(clicked->dialog);
    if (dialog == nullptr) {
        return;
    }
    const bool heard = ClickButton(dialog->controls, clicked->index);
    SyncChecks(*dialog);
    if (heard) {
        SendCommand(clicked->dialog, dialog->controls[clicked->index].id, control);
    }
}

void QtWindowSystem::ContextMenu(WindowHandle dialog, const QPoint& globalPosition) {
    if (QWidget* widget = m_windows.Widget(dialog)) {
        auto* menu = widget->findChild<QMenu*>(QLatin1String(kSystemMenuName));
        if (menu != nullptr && !menu->isEmpty()) {
            menu->popup(globalPosition);
        }
    }
}

void QtWindowSystem::SyncChecks(const QtWindow& dialog) {
    for (const DialogControl& control : dialog.controls) {
        if (QWidget* widget = m_windows.Widget(control.window)) {
            ShowCheck(*widget, control.check);
        }
    }
}

void QtWindowSystem::SendCommand(WindowHandle dialog, int id, WindowHandle control) {
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<std::uint16_t>(id), BN_CLICKED),
                static_cast<LParam>(control));
}

void QtWindowSystem::UpdateSystemMenu(WindowHandle dialog) {
    QtWindow* window = m_windows.Find(dialog);
    QMenu* menu = window == nullptr || !window->widget
                      ? nullptr
                      : window->widget->findChild<QMenu*>(QLatin1String(kSystemMenuName));
    if (menu != nullptr) {
        FillMenu(*menu, window->systemMenu,
                 [this, dialog](std::uintptr_t id) { SendMessage(dialog, WM_SYSCOMMAND, id, 0); });
    }
}

}  // namespace quotamin
