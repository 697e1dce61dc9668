#include "layout/WidgetFreeImagePanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

WidgetFreeImagePanel::WidgetFreeImagePanel(QWidget *window)
    : WidgetDesignerPanel(QStringLiteral("Panel_Imagem_Livre"), window, QRect(944, 280, 230, 130),
                          QStringLiteral("ALTERAR DIMENSÕES")) {
    LBL_ImagemLivre = new QLabel(this);
    LBL_ImagemLivre->setObjectName(QStringLiteral("LBL_ImagemLivre"));
    LBL_ImagemLivre->setGeometry(8, 22, 200, 16);
    addCaption(QStringLiteral("Largura"), QPoint(8, 46));
    ED_Largura = addEdit("ED_Largura", QRect(64, 42, 50, 22));
    addCaption(QStringLiteral("Altura"), QPoint(120, 46));
    ED_Altura = addEdit("ED_Altura", QRect(166, 42, 50, 22));
    Button1 = new QPushButton(QStringLiteral("Aplicar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 74, 70, 24);
    BTN_GravarNovaImagem = new QPushButton(QStringLiteral("Gravar Nova Imagem"), this);
    BTN_GravarNovaImagem->setObjectName(QStringLiteral("BTN_GravarNovaImagem"));
    BTN_GravarNovaImagem->setGeometry(84, 74, 136, 24);
    BTN_GravarNovaImagem->setEnabled(false);
    for (QLineEdit *e : {ED_Largura, ED_Altura}) {
        DesignerControls::digitsOnly(e);
        connect(e, &QLineEdit::textEdited, this, [this] { setSaveEnabled(true); });
    }
    connect(Button1, &QPushButton::clicked, this, &WidgetFreeImagePanel::applyClicked);
    connect(BTN_GravarNovaImagem, &QPushButton::clicked, this, &WidgetFreeImagePanel::saveImageClicked);
    connect(addCloser(QStringLiteral("Fechar")), &QToolButton::clicked, this,
            &WidgetFreeImagePanel::closeClicked);
}

void WidgetFreeImagePanel::open(int image, QSize size) {
    move(944, image == 1 ? 280 : 310);
    LBL_ImagemLivre->setText(image == 1 ? QStringLiteral("IMAGEM LIVRE 1")
                                        : QStringLiteral("IMAGEM LIVRE 2"));
    ED_Largura->setText(QString::number(size.width()));
    ED_Altura->setText(QString::number(size.height()));
    show();
    raise();
}

QString WidgetFreeImagePanel::widthText() const {
    return ED_Largura->text();
}

QString WidgetFreeImagePanel::heightText() const {
    return ED_Altura->text();
}

void WidgetFreeImagePanel::setSaveEnabled(bool enabled) {
    BTN_GravarNovaImagem->setEnabled(enabled);
}

void WidgetFreeImagePanel::lockForPrinting() {
    for (QWidget *w : std::initializer_list<QWidget *>{ED_Largura, ED_Altura, Button1})
        w->setEnabled(false);
}
