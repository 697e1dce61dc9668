#pragma once

class QApplication;

// What every program of the system sets up before its first window (the tests do the same):
// its name, Portuguese for the toolkit's own texts and formats, drop-down lists that open under
// their control, and modal windows centred over the window that opened them.
void setUpApplication(QApplication &app);
