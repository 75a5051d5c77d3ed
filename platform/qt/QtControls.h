#pragma once
// Each control of a dialog template as its Qt widget: edit boxes (one line, a
// password, or several lines), push buttons, check boxes and radio buttons
// with their text on the side the template gives, group boxes, static texts
// and icons. The dialog manager's state of a control (its check, whether it is
// enabled) stays in its DialogControl; the widget shows it.

#include "platform/WindowsHeaderOrder.h"

#include <QtGui/QIcon>
#include <QtWidgets/QWidget>
#include <cstdint>

#include "platform/DialogControl.h"

namespace quotamin {

// The widget of `control` (with the template's extended style) as a child of
// `dialog`, where the template puts it (an icon at its own size, 32 pixels
// square, as Windows sizes it).
QWidget* CreateControlWidget(const DialogControl& control, std::uint32_t exStyle, QWidget& dialog,
                             const QIcon& icon);

// The text of a control's widget, and setting it. A box of several lines
// separates its lines with "\r\n", as an edit control of Windows does.
QString ControlText(const QWidget& widget);
void SetControlText(QWidget& widget, const QString& text);
// Shows a check box's or radio button's check (BST_CHECKED or BST_UNCHECKED).
void ShowCheck(QWidget& widget, int check);
// Whether clicking the widget is a click of a button that the dialog hears of.
bool IsClickable(const QWidget& widget);

}  // namespace quotamin
