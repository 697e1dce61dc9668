#include "layout/WidgetDesignerToolbar.h"

#include "layout/WidgetDesignerPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

using namespace DesignerControls;

WidgetDesignerToolbar::WidgetDesignerToolbar(QWidget *window) : QFrame(window) {
    setObjectName(QStringLiteral("Panel1"));
    setGeometry(0, 0, 1183, 56);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QFrame#Panel1 { background: #202020; } QLabel { color: white; }"));

    auto caption = [this](const QString &text, int x, int y) { (new QLabel(text, this))->move(x, y); };
    auto list = [this](const char *name, QRect at) {
        auto *c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(at);
        return c;
    };
    caption(QStringLiteral("Nº de Controle de Bilhete"), 8, 4);
    cmb_NumID_Tam = list("cmb_NumID_Tam", QRect(8, 24, 55, 24));
    cmb_NumID_Tam->setEditable(true);
    cmb_NumID_Tam->addItems({"0", "8", "9", "10", "11", "12", "13", "14", "15", "16", "18"});
    CMB_COR_ID_BIL = list("CMB_COR_ID_BIL", QRect(68, 24, 110, 24));
    fillColours(CMB_COR_ID_BIL);

    caption(QStringLiteral("Nº que Compõem o Bilhete"), 200, 4);
    cmb_numerosTam = list("cmb_numerosTam", QRect(200, 24, 55, 24));
    cmb_numerosTam->setEditable(true);
    cmb_numerosTam->addItems(
        {"0", "8", "10", "11", "12", "13", "14", "16", "18", "20", "22", "24", "26", "28", "30"});
    CMB_COR_NUM = list("CMB_COR_NUM", QRect(260, 24, 110, 24));
    fillColours(CMB_COR_NUM);

    auto tool = [this](const char *name, const QString &text, const QString &hint, int x) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setGeometry(x, 6, 64, 44);
        return b;
    };
    BOTAO_IMPRIMIR = tool("BOTAO_IMPRIMIR", QStringLiteral("Imprmir"), QStringLiteral("Imprimir"), 420);
    auto *inactiveSave = new QLabel(QStringLiteral("Gravar"), this);
    inactiveSave->setObjectName(QStringLiteral("botaoSalvarInativo"));
    inactiveSave->setGeometry(500, 6, 64, 44);
    inactiveSave->setAlignment(Qt::AlignCenter);
    inactiveSave->setStyleSheet(QStringLiteral("color: #707070"));
    botaoSalvarAtivo =
        tool("botaoSalvarAtivo", QStringLiteral("Gravar"), QStringLiteral("Gravar alterações"), 500);
    botaoSalvarAtivo->hide();
    BOTAO_OPCOES = tool("BOTAO_OPCOES", QStringLiteral("Opções"), QStringLiteral("Opções"), 580);
    BotaoGrade = tool("BotaoGrade", QStringLiteral("Grade"), QStringLiteral("Mostrar Grade"), 660);
    BotaoGradeSem = tool("BotaoGradeSem", QStringLiteral("Grade"), QStringLiteral("Ocultar Grade"), 660);
    BotaoGradeSem->hide();
    img_fecharPOS =
        tool("img_fecharPOS", QStringLiteral("Sair"), QStringLiteral("Sair do Personalizador"), 1110);

    connect(botaoSalvarAtivo, &QToolButton::clicked, this, &WidgetDesignerToolbar::saveClicked);
    connect(BOTAO_IMPRIMIR, &QToolButton::clicked, this, &WidgetDesignerToolbar::printClicked);
    connect(BotaoGrade, &QToolButton::clicked, this, [this] { Q_EMIT gridClicked(true); });
    connect(BotaoGradeSem, &QToolButton::clicked, this, [this] { Q_EMIT gridClicked(false); });
    connect(img_fecharPOS, &QToolButton::clicked, this, &WidgetDesignerToolbar::closeClicked);
    connect(BOTAO_OPCOES, &QToolButton::clicked, this, &WidgetDesignerToolbar::optionsClicked);
    connect(cmb_NumID_Tam, &QComboBox::activated, this,
            [this] { Q_EMIT idSizeChosen(cmb_NumID_Tam->currentText()); });
    connect(cmb_numerosTam, &QComboBox::currentTextChanged, this, &WidgetDesignerToolbar::numberSizeChanged);
    connect(CMB_COR_ID_BIL, &QComboBox::activated, this, [this] { Q_EMIT idColourChosen(idColour()); });
    connect(CMB_COR_NUM, &QComboBox::activated, this, [this] { Q_EMIT numberColourChosen(numberColour()); });
}

void WidgetDesignerToolbar::setSaveNeeded(bool needed) {
    botaoSalvarAtivo->setVisible(needed);
}

bool WidgetDesignerToolbar::saveNeeded() const {
    return !botaoSalvarAtivo->isHidden();
}

void WidgetDesignerToolbar::setGridShown(bool shown) {
    BotaoGradeSem->setVisible(shown);
    BotaoGrade->setVisible(!shown);
}

void WidgetDesignerToolbar::showFonts(int idSize, int idColour, int numberSize, int numberColour) {
    selectSize(cmb_NumID_Tam, idSize);
    selectSize(cmb_numerosTam, numberSize);
    selectColour(CMB_COR_ID_BIL, idColour);
    selectColour(CMB_COR_NUM, numberColour);
}

QString WidgetDesignerToolbar::idSizeText() const {
    return cmb_NumID_Tam->currentText();
}

QString WidgetDesignerToolbar::numberSizeText() const {
    return cmb_numerosTam->currentText();
}

int WidgetDesignerToolbar::idColour() const {
    return colourOf(CMB_COR_ID_BIL);
}

int WidgetDesignerToolbar::numberColour() const {
    return colourOf(CMB_COR_NUM);
}
