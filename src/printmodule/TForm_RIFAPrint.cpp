#include "printmodule/TForm_RIFAPrint.h"

#include "data/TDM.h"
#include "mainwindow/MenuArtwork.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

TForm_RIFAPrint::TForm_RIFAPrint(const AppServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(services, m_raffle) {
    setObjectName(QStringLiteral("TForm_RIFA"));
    setWindowTitle(QStringLiteral("KORVANTE 2.0 - MÓDULO DE IMPRESSÃO EXTERNA"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    IMG_FUNDO = new QLabel(this);
    IMG_FUNDO->setObjectName(QStringLiteral("IMG_FUNDO"));
    IMG_FUNDO->setGeometry(0, 0, 972, 680);
    IMG_FUNDO->setPixmap(MenuArtwork::background(MenuArtwork::PrintModule));
    IMG_FUNDO->installEventFilter(this);

    img_fechar = new QLabel(this);
    img_fechar->setObjectName(QStringLiteral("img_fechar"));
    img_fechar->setGeometry(906, 26, 34, 37);
    img_fechar->setToolTip(QStringLiteral("Fechar"));
    img_fechar->setCursor(Qt::PointingHandCursor);
    img_fechar->installEventFilter(this);

    LBL_RifaUsar = new QLabel(QStringLiteral("---"), this);
    LBL_RifaUsar->setObjectName(QStringLiteral("LBL_RifaUsar"));
    LBL_RifaUsar->setGeometry(334, 613, 357, 16);
    LBL_RifaUsar->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    LBL_RifaUsar->setFont(f);
    QPalette red = LBL_RifaUsar->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LBL_RifaUsar->setPalette(red);
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
