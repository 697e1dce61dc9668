#include "printmodule/TForm_RIFAPrint.h"

#include "data/TDM.h"
#include "mainwindow/WidgetMenuParts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

TForm_RIFAPrint::TForm_RIFAPrint(const AppServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(services, m_raffle) {
    IMG_FUNDO = MenuParts::setUpMenuWindow(this, QStringLiteral("KORVANTE 2.0 - MÓDULO DE IMPRESSÃO EXTERNA"),
                                           MenuArtwork::PrintModule);
    IMG_FUNDO->installEventFilter(this);

    img_fechar = new QLabel(this);
    img_fechar->setObjectName(QStringLiteral("img_fechar"));
    img_fechar->setGeometry(906, 26, 34, 37);
    img_fechar->setToolTip(QStringLiteral("Fechar"));
    img_fechar->setCursor(Qt::PointingHandCursor);
    img_fechar->installEventFilter(this);

    LBL_RifaUsar = MenuParts::createRaffleLabel(this);
}

void TForm_RIFAPrint::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    resize(970, 670);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm_RIFAPrint::closeEvent(QCloseEvent *event) {
    m_ctx.tdm.closeMain();
    QWidget::closeEvent(event);
}

bool TForm_RIFAPrint::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress && watched == IMG_FUNDO) {
        if (QWindow *w = windowHandle()) w->startSystemMove();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == img_fechar) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
