#include "platform/qt/QtControls.h"

#include <QtCore/QSignalBlocker>
#include <QtGui/QFontMetrics>
#include <QtGui/QTextOption>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTextEdit>

#include "platform/Messages.h"
#include "platform/Styles.h"
#include "platform/qt/AnsiText.h"

namespace quotamin {

namespace {

constexpr int kIconPixels = 32;

QWidget* CreateEdit(const DialogControl& control, std::uint32_t exStyle, QWidget& dialog) {
    const bool readOnly = (control.style & ES_READONLY) != 0;
    const bool framed = (control.style & WS_BORDER) != 0 || (exStyle & WS_EX_STATICEDGE) != 0;
    if ((control.style & ES_MULTILINE) != 0) {
        auto* edit = new QTextEdit(&dialog);
        edit->setAcceptRichText(false);
        edit->setReadOnly(readOnly);
        // No scroll bars: the template asks for none; the lines wrap at the box's edge.
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QTextOption option = edit->document()->defaultTextOption();
        option.setAlignment((control.style & ES_CENTER) != 0 ? Qt::AlignHCenter : Qt::AlignLeft);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit->document()->setDefaultTextOption(option);
        edit->setFrameShape(framed ? QFrame::StyledPanel : QFrame::NoFrame);
        edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(&dialog);
    edit->setReadOnly(readOnly);
    edit->setFrame(framed);
    if ((control.style & ES_PASSWORD) != 0) {
        edit->setEchoMode(QLineEdit::Password);
    }
    if ((control.style & ES_CENTER) != 0) {
        edit->setAlignment(Qt::AlignHCenter);
    }
    return edit;
}

QWidget* CreateButton(const DialogControl& control, QWidget& dialog) {
    const QString text = FromAnsi(control.text);
    const bool leftText = (control.style & BS_LEFTTEXT) != 0;
    if (control.IsButtonOfType(BS_GROUPBOX)) {
        return new QGroupBox(text, &dialog);
    }
    if (control.IsButtonOfType(BS_AUTOCHECKBOX)) {
        auto* box = new QCheckBox(text, &dialog);
        box->setLayoutDirection(leftText ? Qt::RightToLeft : Qt::LeftToRight);
        return box;
    }
    if (control.IsButtonOfType(BS_AUTORADIOBUTTON)) {
        auto* radio = new QRadioButton(text, &dialog);
        // The dialog manager checks and unchecks the radio buttons of a group.
        radio->setAutoExclusive(false);
        radio->setLayoutDirection(leftText ? Qt::RightToLeft : Qt::LeftToRight);
        return radio;
    }
    auto* button = new QPushButton(text, &dialog);
    button->setAutoDefault(false);
    button->setDefault(control.IsButtonOfType(BS_DEFPUSHBUTTON));
    return button;
}

QWidget* CreateStatic(const DialogControl& control, QWidget& dialog, const QIcon& icon) {
    auto* label = new QLabel(&dialog);
    if ((control.style & SS_TYPEMASK) == SS_ICON) {
        label->setPixmap(icon.pixmap(QSize(kIconPixels, kIconPixels), 1.0));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(FromAnsi(control.text));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The room a control's widget has for its text.
QRect TextRoom(const QWidget& widget) {
    const QStyle* style = widget.style();
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QRadioButton*>(&widget) != nullptr) {
        const bool check = qobject_cast<const QCheckBox*>(&widget) != nullptr;
        const int indicator = style->pixelMetric(check ? QStyle::PM_IndicatorWidth
                                                       : QStyle::PM_ExclusiveIndicatorWidth,
                                                 nullptr, &widget) +
                              style->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing
                                                       : QStyle::PM_RadioButtonLabelSpacing,
                                                 nullptr, &widget);
        return QRect(0, 0, widget.width() - indicator, widget.height());
    }
    if (qobject_cast<const QPushButton*>(&widget) != nullptr) {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget);
        return QRect(0, 0, widget.width() - margin, widget.height());
    }
    return widget.rect();
}

// A text that the dialog font does not fit into its control (the font's
// letters are wider than Windows' bitmap font of the same average width) is
// drawn a pixel smaller, and again, so that none is cut.
void FitText(QWidget& widget, const QString& text, bool wraps) {
    constexpr int kSmallestPixels = 8;
    const QRect room = TextRoom(widget);
    QFont font = widget.font();
    for (int pixels = font.pixelSize(); pixels > kSmallestPixels; --pixels) {
        const QRect needed = QFontMetrics(font).boundingRect(
            room, Qt::AlignLeft | Qt::AlignTop | (wraps ? Qt::TextWordWrap : 0), text);
        if (needed.width() <= room.width() && needed.height() <= room.height()) {
            break;
        }
        font.setPixelSize(pixels - 1);
    }
    if (font != widget.font()) {
        widget.setFont(font);
    }
}

}  // namespace

QWidget* CreateControlWidget(const DialogControl& control, std::uint32_t exStyle, QWidget& dialog,
                             const QIcon& icon) {
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::Edit:
            widget = CreateEdit(control, exStyle, dialog);
            break;
        case ControlKind::Button:
            widget = CreateButton(control, dialog);
            break;
        case ControlKind::Static:
            widget = CreateStatic(control, dialog, icon);
            break;
    }
    const Rect& r = control.rect;
    if (control.kind == ControlKind::Static && (control.style & SS_TYPEMASK) == SS_ICON) {
        widget->setGeometry(r.left, r.top, kIconPixels, kIconPixels);
    } else {
        widget->setGeometry(r.left, r.top, r.Width(), r.Height());
    }
    widget->setEnabled(control.enabled);
    if (control.kind != ControlKind::Edit && !control.text.empty() &&
        widget->font().pixelSize() > 0) {
        FitText(*widget, FromAnsi(control.text), control.kind == ControlKind::Static);
    }
    return widget;
}

QString ControlText(const QWidget& widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        return edit->text();
    }
    if (const auto* edit = qobject_cast<const QTextEdit*>(&widget)) {
        return edit->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        return group->title();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    return {};
}

void SetControlText(QWidget& widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        edit->setText(text);
    } else if (auto* box = qobject_cast<QTextEdit*>(&widget)) {
        QString lines = text;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (box->toPlainText() != lines) {
            box->setPlainText(lines);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(text);
    }
}

void ShowCheck(QWidget& widget, int check) {
    auto* button = qobject_cast<QAbstractButton*>(&widget);
    if (button != nullptr && button->isCheckable()) {
        const QSignalBlocker quiet(button);
        button->setChecked(check == BST_CHECKED);
    }
}

bool IsClickable(const QWidget& widget) {
    return qobject_cast<const QAbstractButton*>(&widget) != nullptr;
}

}  // namespace quotamin
