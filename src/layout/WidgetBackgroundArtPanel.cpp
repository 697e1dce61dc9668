#include "layout/WidgetBackgroundArtPanel.h"

#include <QPushButton>
#include <QToolButton>

WidgetBackgroundArtPanel::WidgetBackgroundArtPanel(QWidget *window)
    : WidgetDesignerPanel(QStringLiteral("Panel_obterImagem"), window, QRect(80, 116, 260, 80),
                          QStringLiteral("ARTE DE FUNDO DA RIFA")) {
    auto *obter = new QPushButton(QStringLiteral("Obter Imagem"), this);
    obter->setObjectName(QStringLiteral("BTN_ObterImagem"));
    obter->setGeometry(10, 36, 110, 26);
    auto *remover = new QPushButton(QStringLiteral("Remover"), this);
    remover->setObjectName(QStringLiteral("BTN_Remover"));
    remover->setGeometry(130, 36, 110, 26);
    connect(obter, &QPushButton::clicked, this, &WidgetBackgroundArtPanel::obtainClicked);
    connect(remover, &QPushButton::clicked, this, &WidgetBackgroundArtPanel::removeClicked);
    connect(addCloser(QStringLiteral("Fechar")), &QToolButton::clicked, this, &QWidget::hide);
}

void WidgetBackgroundArtPanel::open() {
    move(80, 116);
    show();
    raise();
}
