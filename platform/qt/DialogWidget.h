#pragma once
// The top-level widget of a dialog. What happens to it (painting, the close
// box, the keys the dialog manager answers, clicks on its buttons, a right
// click on its background) goes to the window system as the messages of the
// dialog; the widget itself decides nothing.

#include "platform/WindowsHeaderOrder.h"

#include <QtWidgets/QWidget>

#include "platform/Handles.h"

namespace quotamin {

class DialogWidget final : public QWidget {
  public:
    class Events {
      public:
        virtual void Paint(WindowHandle dialog, QWidget& widget) = 0;
        virtual void CloseBox(WindowHandle dialog) = 0;
        // Enter, Escape, Tab and Shift+Tab in the dialog; true when taken.
        virtual bool DialogKey(WindowHandle dialog, int key) = 0;
        virtual void Clicked(WindowHandle control) = 0;
        // A right click on the background: the window's system menu.
        virtual void ContextMenu(WindowHandle dialog, const QPoint& globalPosition) = 0;

      protected:
        ~Events() = default;
    };

    DialogWidget(Events& events, Qt::WindowFlags flags);
    void SetHandle(WindowHandle handle) { m_handle = handle; }
    // The widget of one of the dialog's controls: its keys and clicks come here.
    void Adopt(QWidget& control, WindowHandle handle);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Events& m_events;
    WindowHandle m_handle{};
    // Clicks heard so far: a toggle with no click after it was no click.
    unsigned long long m_clicks = 0;
};

}  // namespace quotamin
