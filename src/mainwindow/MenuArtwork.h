#pragma once

#include <QPixmap>

// The picture menus' backgrounds, drawn for Korvante (tools/menuart).
namespace MenuArtwork {
enum Program { MainProgram, PrintModule };
QPixmap background(Program program);
} // namespace MenuArtwork
