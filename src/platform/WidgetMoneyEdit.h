#pragma once

#include <QLineEdit>
#include <optional>

// A calculator-like money field: a point, a comma or the keypad's decimal key starts the cents.
// Shows "R$ 1.234,50" at rest and the plain "1234,50" while it is edited.
class WidgetMoneyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit WidgetMoneyEdit(QWidget *parent = nullptr);

    void setCents(qint64 cents); // loads a stored value; emits nothing
    // Shows text typed earlier as it was typed (an amount at rest in its display form); emits nothing.
    void setTypedText(const QString &typed);
    // The value typed; nothing when the text is not an amount.
    std::optional<qint64> cents() const;

Q_SIGNALS:
    void amountEdited(); // the person changed the text

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
