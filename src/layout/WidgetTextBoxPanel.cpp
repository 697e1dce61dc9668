#include "layout/WidgetTextBoxPanel.h"

#include "layout/TicketLayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>
#include <QToolButton>

WidgetTextBoxPanel::WidgetTextBoxPanel(QWidget *window)
    : WidgetDesignerPanel(QStringLiteral("PANEL_TEXTOBASICO"), window, QRect(572, 297, 300, 190),
                          QStringLiteral("QUADROS DE TEXTO")) {
    // The fields stand after the wider of the two captions of their column.
    const QLabel *ticketAlt = addCaption(QStringLiteral("Bilhete:  Altura"), QPoint(8, 32));
    const QLabel *stubAlt = addCaption(QStringLiteral("Canhoto: Altura"), QPoint(8, 112));
    const int altX = qMax(ticketAlt->geometry().right(), stubAlt->geometry().right()) + 6;
    DBEdit_TxtAlt = addEdit("DBEdit_TxtAlt", QRect(altX, 28, 40, 22));
    DBEdit_TxtCAlt = addEdit("DBEdit_TxtCAlt", QRect(altX, 108, 40, 22));
    const QLabel *ticketComp = addCaption(QStringLiteral("Comprimento"), QPoint(altX + 46, 32));
    addCaption(QStringLiteral("Comprimento"), QPoint(altX + 46, 112));
    const int compX = ticketComp->geometry().right() + 6;
    DBEdit_TxtComp = addEdit("DBEdit_TxtComp", QRect(compX, 28, 40, 22));
    DBEdit_TxtCComp = addEdit("DBEdit_TxtCComp", QRect(compX, 108, 40, 22));
    BTN_SALVAR_BARRA = new QPushButton(QStringLiteral("Aplicar"), this);
    BTN_SALVAR_BARRA->setObjectName(QStringLiteral("BTN_SALVAR_BARRA"));
    BTN_SALVAR_BARRA->setGeometry(compX, 54, 70, 22);
    DBC_USAR_CANHOTO = new QCheckBox(QStringLiteral("Usar também Canhoto"), this);
    DBC_USAR_CANHOTO->setObjectName(QStringLiteral("DBC_USAR_CANHOTO"));
    DBC_USAR_CANHOTO->move(8, 84);
    BTN_SALVAR_BARRA_C = new QPushButton(QStringLiteral("Aplicar"), this);
    BTN_SALVAR_BARRA_C->setObjectName(QStringLiteral("BTN_SALVAR_BARRA_C"));
    BTN_SALVAR_BARRA_C->setGeometry(compX, 134, 70, 22);
    const QLabel *hint =
        addCaption(QStringLiteral("Medidas em mm. Botão direito no quadro: Mover."), QPoint(8, 164));
    // The panel is as wide as its widest line.
    resize(std::max({width(), compX + 40 + 8, BTN_SALVAR_BARRA->geometry().right() + 9,
                     hint->geometry().right() + 9}),
           height());

    const auto bind = [this](QLineEdit *edit, const QString &column) {
        DesignerControls::digitsOnly(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, column](const QString &text) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            Q_EMIT fieldEdited(column, ok ? QVariant(v) : QVariant(QMetaType(QMetaType::Int)));
        });
    };
    bind(DBEdit_TxtAlt, QStringLiteral("DIM_TEXTO_BAS_ALT"));
    bind(DBEdit_TxtComp, QStringLiteral("DIM_TEXTO_BAS_COMP"));
    bind(DBEdit_TxtCAlt, QStringLiteral("DIM_TEXTO_BAS_C_ALT"));
    bind(DBEdit_TxtCComp, QStringLiteral("DIM_TEXTO_BAS_C_COMP"));
    connect(addCloser(QStringLiteral("Fechar")), &QToolButton::clicked, this,
            &WidgetTextBoxPanel::closeClicked);
}

void WidgetTextBoxPanel::showRow(const QSqlRecord &row, const TicketLayout &layout, bool printOnly) {
    DBC_USAR_CANHOTO->setChecked(layout.usarTextoBasC == 1);
    const auto intText = [&row](const char *column) {
        const QVariant v = row.value(QLatin1String(column));
        return v.isNull() ? QString() : QString::number(v.toInt());
    };
    DBEdit_TxtAlt->setText(intText("DIM_TEXTO_BAS_ALT"));
    DBEdit_TxtComp->setText(intText("DIM_TEXTO_BAS_COMP"));
    DBEdit_TxtCAlt->setText(intText("DIM_TEXTO_BAS_C_ALT"));
    DBEdit_TxtCComp->setText(intText("DIM_TEXTO_BAS_C_COMP"));
    setStubSizesEnabled(layout.usarTextoBasC == 1 && !printOnly);
}

void WidgetTextBoxPanel::setStubSizesEnabled(bool enabled) {
    DBEdit_TxtCAlt->setEnabled(enabled);
    DBEdit_TxtCComp->setEnabled(enabled);
}

void WidgetTextBoxPanel::lockForPrinting() {
    for (QWidget *w : std::initializer_list<QWidget *>{DBEdit_TxtAlt, DBEdit_TxtComp, DBEdit_TxtCAlt,
                                                       DBEdit_TxtCComp, BTN_SALVAR_BARRA, BTN_SALVAR_BARRA_C})
        w->setEnabled(false);
}

void WidgetTextBoxPanel::open() {
    move(572, 297);
    show();
    raise();
}
