#pragma once

class QApplication;
class QWidget;

// What every program of the system sets up before its first window (the tests do the same):
// its name, Portuguese for the toolkit's own texts and formats, drop-down lists that open under
// their control, and modal windows centred over the window that opened them.
void setUpApplication(QApplication &app);

// Shows a window that has no owner centred on the screen (the notice before the main window).
void showCentredOnScreen(QWidget *window);
