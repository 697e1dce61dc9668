#pragma once

#include "layout/WidgetDesignerPanel.h"

// "IMPRIMIR": the range of control numbers to print or to send by WhatsApp.
class WidgetDesignerPrintPanel : public WidgetDesignerPanel {
    Q_OBJECT
public:
    explicit WidgetDesignerPrintPanel(QWidget *window);
    void open();

    QLineEdit *Edit_DE, *Edit_ATE;

Q_SIGNALS:
    void printClicked();
    void whatsClicked();
};
