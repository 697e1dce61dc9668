#include "mainwindow/WidgetMenuParts.h"

#include <QLabel>
#include <QWidget>

namespace MenuParts {

QLabel *setUpMenuWindow(QWidget *window, const QString &title, MenuArtwork::Program program) {
    window->setObjectName(QStringLiteral("TForm_RIFA"));
    window->setWindowTitle(title);
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, Qt::black);
    window->setPalette(pal);
    window->resize(988, 683);

    auto *background = new QLabel(window);
    background->setObjectName(QStringLiteral("IMG_FUNDO"));
    background->setGeometry(0, 0, 972, 680);
    background->setPixmap(MenuArtwork::background(program));
    return background;
}

QLabel *createRaffleLabel(QWidget *window) {
    auto *label = new QLabel(QStringLiteral("---"), window);
    label->setObjectName(QStringLiteral("LBL_RifaUsar"));
    // Tall enough for the accents and descenders of a 15-pixel font, on the bar's middle.
    label->setGeometry(334, 612, 357, 18);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    label->setFont(f);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    return label;
}

} // namespace MenuParts
