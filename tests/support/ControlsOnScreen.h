#pragma once

#include <QStringList>

class QWidget;

// What a person sees of a window's controls: controls covered by others, and texts cut by their
// control. Controls are labels, buttons, edits, lists and grids; a framed panel counts as one
// control against what lies outside it.
namespace ControlsOnScreen {

// Pairs "A / B" of shown controls that lie over one another. Panels named in overlays are opened
// over the window for a task: they and what they hold may cover the window's own controls.
QStringList covered(QWidget *window, const QStringList &overlays = {});

// Shown labels, buttons and check boxes whose text does not fit inside them.
QStringList clippedTexts(QWidget *window);

} // namespace ControlsOnScreen
