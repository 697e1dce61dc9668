#include "layout/WidgetFormatBar.h"

#include "layout/TicketLayout.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QToolButton>

using namespace DesignerControls;

WidgetFormatBar::WidgetFormatBar(QWidget *designArea)
    : WidgetDesignerPanel(QStringLiteral("Panel_Formatacao"), designArea, QRect(70, 345, 470, 34),
                          QString()) {
    cmb_fonte = new QComboBox(this);
    cmb_fonte->setObjectName(QStringLiteral("cmb_fonte"));
    cmb_fonte->setGeometry(4, 5, 180, 24);
    cmb_tam = new QComboBox(this);
    cmb_tam->setObjectName(QStringLiteral("cmb_tam"));
    cmb_tam->addItems(
        {"7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "18", "20", "22", "24", "26"});
    cmb_tam->setCurrentText(QStringLiteral("12"));
    cmb_tam->setGeometry(188, 5, 50, 24);
    ColorBox1 = new QComboBox(this);
    ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
    fillColours(ColorBox1);
    selectColour(ColorBox1, 0xFF0000);
    ColorBox1->setGeometry(242, 5, 110, 24);
    auto tool = [this](const char *name, const QString &text, const QString &hint, int x) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setGeometry(x, 5, 24, 24);
        b->setAutoRaise(true);
        return b;
    };
    QToolButton *bold = tool("IMG_Negrito", QStringLiteral("N"), QStringLiteral("Negrito"), 358);
    QToolButton *underline = tool("IMG_Sublinhado", QStringLiteral("S"), QStringLiteral("Sublinhado"), 386);

    connect(cmb_fonte, &QComboBox::activated, this, [this] { Q_EMIT fontChosen(cmb_fonte->currentText()); });
    connect(cmb_tam, &QComboBox::activated, this, [this] {
        const double size = cmb_tam->currentText().toDouble();
        if (size > 0) Q_EMIT sizeChosen(size);
    });
    connect(ColorBox1, &QComboBox::activated, this,
            [this] { Q_EMIT colourChosen(TicketLayout::colour(colourOf(ColorBox1))); });
    connect(bold, &QToolButton::clicked, this, &WidgetFormatBar::boldClicked);
    connect(underline, &QToolButton::clicked, this, &WidgetFormatBar::underlineClicked);
}

void WidgetFormatBar::fillFonts() {
    cmb_fonte->clear();
    cmb_fonte->addItems(QFontDatabase::families());
    cmb_fonte->setCurrentIndex(cmb_fonte->findText(QStringLiteral("Courier New")));
}
