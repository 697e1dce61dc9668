#include "platform/WidgetMoneyEdit.h"

#include "platform/TypedValues.h"

#include <QKeyEvent>
#include <QTimer>

WidgetMoneyEdit::WidgetMoneyEdit(QWidget *parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight);
    setMaxLength(20);
    connect(this, &QLineEdit::textEdited, this, &WidgetMoneyEdit::amountEdited);
}

void WidgetMoneyEdit::setCents(qint64 cents) {
    setText(hasFocus() ? TypedValues::moneyEditable(cents) : TypedValues::moneyDisplay(cents));
}

void WidgetMoneyEdit::setTypedText(const QString &typed) {
    const auto c = TypedValues::parseMoneyCents(typed);
    setText(c && !hasFocus() ? TypedValues::moneyDisplay(*c) : typed);
}

std::optional<qint64> WidgetMoneyEdit::cents() const {
    return TypedValues::parseMoneyCents(text());
}

void WidgetMoneyEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    if (const auto c = cents()) setText(TypedValues::moneyEditable(*c));
    // After the click that brought the focus has placed the cursor.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) selectAll();
    });
}

void WidgetMoneyEdit::focusOutEvent(QFocusEvent *event) {
    if (const auto c = cents()) setText(TypedValues::moneyDisplay(*c));
    QLineEdit::focusOutEvent(event);
}

void WidgetMoneyEdit::keyPressEvent(QKeyEvent *event) {
    const QString text = event->text();
    // The keypad's decimal key types whatever the keyboard layout gives it: always a separator here.
    if ((event->modifiers() & Qt::KeypadModifier) &&
        (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma || event->key() == Qt::Key_Delete) &&
        !text.isEmpty()) {
        insert(QStringLiteral(","));
        Q_EMIT amountEdited();
        return;
    }
    // Letters and other signs are not part of an amount.
    if (text.size() == 1 && text.at(0).isPrint() && !text.at(0).isDigit() && text != QStringLiteral(".") &&
        text != QStringLiteral(",") && !(event->modifiers() & Qt::ControlModifier))
        return;
    QLineEdit::keyPressEvent(event);
}
