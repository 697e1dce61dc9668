#pragma once

#include "layout/WidgetDesignerPanel.h"

#include <QVariant>

class QCheckBox;
class QPushButton;
class QSqlRecord;
class TicketLayout;

// "QUADROS DE TEXTO": the sizes in mm of the ticket's and the stub's text boxes, and the stub's switch.
class WidgetTextBoxPanel : public WidgetDesignerPanel {
    Q_OBJECT
public:
    explicit WidgetTextBoxPanel(QWidget *window);

    void showRow(const QSqlRecord &row, const TicketLayout &layout, bool printOnly);
    // The stub's sizes can be typed while the stub is in use.
    void setStubSizesEnabled(bool enabled);
    void lockForPrinting();
    void open();

    QLineEdit *DBEdit_TxtAlt, *DBEdit_TxtComp, *DBEdit_TxtCAlt, *DBEdit_TxtCComp;
    QCheckBox *DBC_USAR_CANHOTO;
    QPushButton *BTN_SALVAR_BARRA, *BTN_SALVAR_BARRA_C;

Q_SIGNALS:
    // A size typed: its number, or null for no number.
    void fieldEdited(const QString &column, const QVariant &value);
    void closeClicked();
};
