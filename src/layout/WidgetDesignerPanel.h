#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

// A grey panel of the ticket designer: raised frame, optional bold title, hidden until called.
class WidgetDesignerPanel : public QFrame {
    Q_OBJECT
public:
    WidgetDesignerPanel(const QString &name, QWidget *parent, QRect place, const QString &title);

protected:
    // The "X" in the panel's top right corner.
    QToolButton *addCloser(const QString &hint);
    QLabel *addCaption(const QString &text, QPoint at);
    QLineEdit *addEdit(const char *name, QRect at);
};

// Controls shared by the designer's panels.
namespace DesignerControls {
// The sixteen standard colours, each item holding its colour value.
void fillColours(QComboBox *box);
// Selects the colour, adding an item for a value outside the standard ones.
void selectColour(QComboBox *box, int value);
int colourOf(const QComboBox *box);
// An editable list set by its text keeps its old item and reports the text as chosen when it loses
// the focus: select the item itself, and show a value outside the list as text only.
void selectSize(QComboBox *box, int value);
// Digits, backspace, tab and enter only.
void digitsOnly(QLineEdit *edit);
} // namespace DesignerControls
