#pragma once

#include "support/TestInstallation.h"

#include <QColor>
#include <QImage>
#include <QListWidget>
#include <QString>

// An installation on the organiser's side: raffle 2 ("0000 - 9999", 4 numbers, 2500 tickets) laid out
// with a background art and two free images, the installed print module of the build beside it.
namespace PackageFixture {

inline const QString &raffleName() {
    static const QString name = QStringLiteral("RIFA DA MOTO HONDA 2026");
    return name;
}

// Paths of art/fundo.jpg, art/livre1.jpg, art/livre2.jpg, written in the installation folder.
QStringList writePictures(TestInstallation &inst);
// Raffle 2 active with its layout, its 2500 tickets in BS4_D, and the working raffle set to it.
bool prepareRaffleTwo(TestInstallation &inst, const QStringList &pictures);
// Korvante_moduloPrint/Korvante_PRINT of the build copied under the installation.
bool installPrintModule(TestInstallation &inst);

void doubleClick(QWidget *w, QPoint at);
// In the builder's folder list, walks from the drive's root down to the folder by double-clicks.
void walkTo(QListWidget *list, const QString &folder);

// A picture with a pattern that survives JPEG: four coloured quarters.
QImage quarters(QSize size, QColor a, QColor b);
bool near(QColor a, QColor b, int tolerance = 24);

} // namespace PackageFixture
