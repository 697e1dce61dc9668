#include "layout/WidgetDesignerPrintPanel.h"

#include "layout/PrintRun.h"

#include <QLineEdit>
#include <QToolButton>

WidgetDesignerPrintPanel::WidgetDesignerPrintPanel(QWidget *window)
    : WidgetDesignerPanel(QStringLiteral("Panel_impre_pos"), window, QRect(531, 74, 300, 110),
                          QStringLiteral("IMPRIMIR")) {
    addCaption(QStringLiteral("De:"), QPoint(8, 34));
    Edit_DE = addEdit("Edit_DE", QRect(36, 30, 70, 22));
    Edit_DE->setText(QStringLiteral("1"));
    addCaption(QStringLiteral("Até:"), QPoint(114, 34));
    Edit_ATE = addEdit("Edit_ATE", QRect(146, 30, 70, 22));
    Edit_ATE->setText(QStringLiteral("20"));
    for (QLineEdit *e : {Edit_DE, Edit_ATE}) {
        DesignerControls::digitsOnly(e);
        // No more digits than the largest control number has (1.000.000 tickets).
        e->setMaxLength(PrintRun::ControlNumberDigits);
    }
    auto *print = new QToolButton(this);
    print->setObjectName(QStringLiteral("Img_botaoImprimir"));
    print->setText(QStringLiteral("Imprimir"));
    print->setToolTip(QStringLiteral("Visualiza ou Imprime Cartelas"));
    print->setGeometry(224, 26, 68, 30);
    auto *whats = new QToolButton(this);
    whats->setObjectName(QStringLiteral("img_whats"));
    whats->setText(QStringLiteral("Enviar por WhatsApp"));
    whats->setGeometry(8, 66, 160, 30);
    connect(print, &QToolButton::clicked, this, &WidgetDesignerPrintPanel::printClicked);
    connect(whats, &QToolButton::clicked, this, &WidgetDesignerPrintPanel::whatsClicked);
    connect(addCloser(QStringLiteral("Fechar esse aviso!")), &QToolButton::clicked, this, &QWidget::hide);
}

void WidgetDesignerPrintPanel::open() {
    move(531, 74);
    show();
    raise();
}
