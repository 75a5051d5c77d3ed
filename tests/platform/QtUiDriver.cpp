// Drives the Qt window system from the test's thread, as a user would, while
// the code under test runs its modal loops on the GUI thread: the actions are
// posted to the GUI thread (keys and mouse clicks as Qt delivers them, the
// close box as the window manager asks it), the queries read the widgets
// there. It waits by watching the widgets' state, never for a fixed time.

#include <QtCore/QVariant>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <atomic>
#include <thread>

#include "platform/qt/AnsiText.h"
#include "platform/qt/QtMenus.h"
#include "platform/qt/QtWindowSystem.h"
#include "tests/platform/ProbeDialog.h"
#include "tests/platform/UiDriver.h"
#include "tests/support/GuiThread.h"

namespace quotamin::test {
namespace {

using namespace std::chrono_literals;
using quotamin::testing::kGuiPatience;
using quotamin::testing::OnGuiThread;
using quotamin::testing::PostToGuiThread;

WindowHandle HandleOf(const QWidget* widget) {
    const QVariant handle = widget == nullptr ? QVariant() : widget->property(kWindowProperty);
    return handle.isValid() ? static_cast<WindowHandle>(handle.toULongLong()) : WindowHandle{};
}

// The program's windows that are shown: its dialogs and message boxes.
std::vector<QWidget*> ShownWindows() {
    std::vector<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && HandleOf(widget) != WindowHandle{}) {
            windows.push_back(widget);
        }
    }
    return windows;
}

// The innermost modal window: the one that is still enabled.
QWidget* Top() {
    for (QWidget* window : ShownWindows()) {
        if (window->isEnabled()) {
            return window;
        }
    }
    return nullptr;
}

QWidget* WindowWidget(WindowHandle window) {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (HandleOf(widget) == window && widget->isWindow()) {
            return widget;
        }
    }
    return nullptr;
}

QWidget* ControlOf(QWidget* dialog, int id) {
    if (dialog == nullptr) {
        return nullptr;
    }
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        if (child->property(kControlIdProperty).toInt() == id &&
            HandleOf(child) != WindowHandle{}) {
            return child;
        }
    }
    return nullptr;
}

// Where a click presses a button: a check box or radio button on its box.
QPoint PressPoint(const QWidget& widget) {
    if (qobject_cast<const QPushButton*>(&widget) != nullptr) {
        return widget.rect().center();
    }
    const int x = widget.layoutDirection() == Qt::RightToLeft ? widget.width() - 6 : 6;
    return {x, widget.height() / 2};
}

class QtUiDriver : public UiDriver {
  public:
    // The window system and what the driver's posted calls are tied to live
    // on the GUI thread, and go there.
    QtUiDriver() {
        OnGuiThread([this] {
            m_system = std::make_unique<QtWindowSystem>(ProbeResources());
            m_context = new QObject();
            return true;
        });
    }
    ~QtUiDriver() override {
        Stop();
        OnGuiThread([system = m_system.release(), context = m_context] {
            delete context;
            delete system;
            return true;
        });
    }

    WindowSystem& System() override { return *m_system; }
    std::string Name() const override { return "Qt"; }

    void Start(std::function<void()> code) override {
        m_started = true;
        auto finished = m_finished;
        finished->store(false);
        Post([code = std::move(code), finished] {
            code();
            finished->store(true);
        });
    }

    // Answers whatever is open (Cancel to the layer's dialogs, OK to message
    // boxes) until the code has returned.
    bool Stop() override {
        if (!m_started) {
            return true;
        }
        const auto until = std::chrono::steady_clock::now() + kGuiPatience;
        while (!m_finished->load() && std::chrono::steady_clock::now() < until) {
            OnGuiThread(
                [this] {
                    for (QWidget* window : ShownWindows()) {
                        const WindowHandle handle = HandleOf(window);
                        const WParam answer = qobject_cast<QMessageBox*>(window) ? IDOK : IDCANCEL;
                        Post([system = m_system.get(), handle, answer] {
                            system->SendMessage(handle, WM_COMMAND, answer, 0);
                        });
                    }
                    return true;
                },
                1s);
            std::this_thread::sleep_for(100ms);
        }
        m_started = !m_finished->load();
        return m_finished->load();
    }

    ::testing::AssertionResult WaitFor(const std::string& what,
                                       const std::function<bool()>& condition) override {
        return PollFor(what, condition, kGuiPatience);
    }

    void AdvanceBy(std::chrono::milliseconds) override {}

    // Keys go where the user's keys would: to the focus of the window in front.
    void PressEnter() override { PostKey(Qt::Key_Return); }
    void PressEscape() override { PostKey(Qt::Key_Escape); }
    void PressTab() override { PostKey(Qt::Key_Tab); }
    // As the window manager asks a window to close.
    void PressCloseBox() override {
        Post([] {
            if (QWidget* top = Top(); top != nullptr && top->windowHandle() != nullptr) {
                top->windowHandle()->close();
            }
        });
    }
    void ChooseSystemCommand(std::uint32_t id) override {
        Post([id] {
            QMenu* menu = Top() == nullptr ? nullptr : Top()->findChild<QMenu*>();
            for (QAction* action : menu == nullptr ? QList<QAction*>() : menu->actions()) {
                if (action->property(kCommandProperty).toULongLong() == id) {
                    action->trigger();
                }
            }
        });
    }
    void Click(int id) override {
        Post([id] {
            if (QWidget* control = ControlOf(Top(), id)) {
                QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, PressPoint(*control));
            }
        });
    }
    void SetText(int id, const std::string& text) override {
        const bool set =
            OnGuiThread([system = m_system.get(), id, text] {
                const WindowHandle control = system->GetDlgItem(HandleOf(Top()), id);
                system->SendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LParam>(text.c_str()));
                return control != WindowHandle{};
            }).value_or(false);
        if (!set) {
            ADD_FAILURE() << "control " << id << " did not take its text in time";
        }
    }
    void AnswerMessageBox() override {
        Post([] {
            if (auto* box = qobject_cast<QMessageBox*>(Top())) {
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
    }
    void Repaint() override {
        Post([] {
            if (QWidget* top = Top()) {
                top->update();
            }
        });
    }

    WindowHandle TopWindow() override {
        return OnGuiThread([] { return HandleOf(Top()); }).value_or(WindowHandle{});
    }
    SeenMessageBox TopMessageBox() override {
        return OnGuiThread([] {
                   auto* box = qobject_cast<QMessageBox*>(Top());
                   if (box == nullptr) {
                       return SeenMessageBox{};
                   }
                   QWidget* owner = nullptr;
                   for (QWidget* window : QApplication::topLevelWidgets()) {
                       if (window->windowHandle() != nullptr &&
                           window->windowHandle() == box->windowHandle()->transientParent()) {
                           owner = window;
                       }
                   }
                   return SeenMessageBox{true, ToAnsi(box->windowTitle()), ToAnsi(box->text()),
                                         HandleOf(owner)};
               })
            .value_or(SeenMessageBox{});
    }
    int OpenWindows() override {
        return OnGuiThread([] { return static_cast<int>(ShownWindows().size()); }).value_or(-1);
    }
    bool IsEnabled(WindowHandle window) override {
        return OnGuiThread([window] {
                   const QWidget* widget = WindowWidget(window);
                   return widget != nullptr && widget->isEnabled();
               })
            .value_or(false);
    }
    bool IsVisible(WindowHandle window) override {
        return OnGuiThread([window] {
                   const QWidget* widget = WindowWidget(window);
                   return widget != nullptr && widget->isVisible();
               })
            .value_or(false);
    }
    bool IsTopmost(WindowHandle window) override {
        return OnGuiThread([window] {
                   const QWidget* widget = WindowWidget(window);
                   return widget != nullptr && widget->windowHandle() != nullptr &&
                          widget->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
               })
            .value_or(false);
    }
    // The window that has the window system's input focus.
    WindowHandle ActiveWindow() override {
        return OnGuiThread([] {
                   for (QWidget* window : QApplication::topLevelWidgets()) {
                       if (window->windowHandle() != nullptr &&
                           window->windowHandle() == QGuiApplication::focusWindow()) {
                           return HandleOf(window);
                       }
                   }
                   return WindowHandle{};
               })
            .value_or(WindowHandle{});
    }
    int Check(int id) override {
        return OnGuiThread([id] {
                   const auto* button = qobject_cast<QAbstractButton*>(ControlOf(Top(), id));
                   return button == nullptr     ? -1
                          : button->isChecked() ? BST_CHECKED
                                                : BST_UNCHECKED;
               })
            .value_or(-1);
    }
    int FocusedControlId() override {
        return OnGuiThread([] {
                   const QWidget* focus = Top() == nullptr ? nullptr : Top()->focusWidget();
                   return focus == nullptr ? 0 : focus->property(kControlIdProperty).toInt();
               })
            .value_or(0);
    }
    Rect ControlRect(int id) override {
        return OnGuiThread([id] {
                   const QWidget* control = ControlOf(Top(), id);
                   const QRect r = control == nullptr ? QRect() : control->geometry();
                   return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
               })
            .value_or(Rect{});
    }
    Rect ClientRect() override {
        return OnGuiThread([] {
                   const QWidget* top = Top();
                   return top == nullptr ? Rect{} : Rect{0, 0, top->width(), top->height()};
               })
            .value_or(Rect{});
    }
    DialogBaseUnits BaseUnits() override { return QtWindowSystem::kBaseUnits; }
    Rect MapDialogRect(const Rect& units) override {
        return quotamin::MapDialogRect(units, QtWindowSystem::kBaseUnits);
    }
    std::vector<MenuItem> SystemMenu() override {
        return OnGuiThread([] {
                   std::vector<MenuItem> items;
                   QMenu* menu = Top() == nullptr ? nullptr : Top()->findChild<QMenu*>();
                   for (QAction* action : menu == nullptr ? QList<QAction*>() : menu->actions()) {
                       if (action->isSeparator()) {
                           items.push_back({MF_SEPARATOR, 0, ""});
                       } else {
                           items.push_back({MF_STRING,
                                            static_cast<std::uintptr_t>(
                                                action->property(kCommandProperty).toULongLong()),
                                            ToAnsi(action->text())});
                       }
                   }
                   return items;
               })
            .value_or(std::vector<MenuItem>{});
    }
    // What the screen shows, read back from the X server.
    std::uint32_t PixelAt(int x, int y) override {
        return OnGuiThread([x, y] {
                   QWidget* top = Top();
                   if (top == nullptr || top->screen() == nullptr) {
                       return 0u;
                   }
                   const QImage pixel =
                       top->screen()->grabWindow(top->winId(), x, y, 1, 1).toImage();
                   return static_cast<std::uint32_t>(pixel.pixel(0, 0)) & 0xFFFFFFu;
               })
            .value_or(0u);
    }
    std::uint32_t DialogBackground() override {
        return OnGuiThread([] {
                   const QWidget* top = Top();
                   return top == nullptr ? 0u
                                         : static_cast<std::uint32_t>(
                                               top->palette().color(QPalette::Window).rgb()) &
                                               0xFFFFFFu;
               })
            .value_or(0u);
    }
    std::uint32_t BitmapPixel(int resourceId, int x, int y) override {
        const QImage bitmap(QStringLiteral(":/quotamin/bitmap/%1").arg(resourceId));
        return static_cast<std::uint32_t>(bitmap.pixel(x, y)) & 0xFFFFFFu;
    }

  protected:
    bool Dispatch(WindowHandle window, std::shared_ptr<UiCall> call) override {
        const bool answered = OnGuiThread([system = m_system.get(), window, call] {
                                  system->SendMessage(window, kRunOnUiMessage, 0,
                                                      reinterpret_cast<LParam>(call.get()));
                                  return true;
                              }).has_value();
        if (!answered) {
            call->Abandon();
            return false;
        }
        return call->Done();
    }

  private:
    void PostKey(Qt::Key key) {
        Post([key] {
            QWidget* top = Top();
            if (top == nullptr) {
                return;
            }
            QWidget* focus = top->focusWidget();
            QTest::keyClick(focus != nullptr ? focus : top, key);
        });
    }

    void Post(std::function<void()> code) { PostToGuiThread(std::move(code), m_context); }

    std::unique_ptr<QtWindowSystem> m_system;
    QObject* m_context = nullptr;
    std::shared_ptr<std::atomic<bool>> m_finished = std::make_shared<std::atomic<bool>>(true);
    bool m_started = false;
};

}  // namespace

std::unique_ptr<UiDriver> MakeQtDriver() {
    return std::make_unique<QtUiDriver>();
}

}  // namespace quotamin::test
