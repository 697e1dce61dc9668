#pragma once

#include "mainwindow/MenuArtwork.h"

class QLabel;
class QWidget;

// What the main program's menu and the print module's menu have in common.
namespace MenuParts {
// Borderless black window with the menu picture as IMG_FUNDO.
QLabel *setUpMenuWindow(QWidget *window, const QString &title, MenuArtwork::Program program);
// LBL_RifaUsar: the working raffle's name, red, centred in the raffle bar.
QLabel *createRaffleLabel(QWidget *window);
} // namespace MenuParts
