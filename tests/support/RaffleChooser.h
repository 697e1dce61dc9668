#pragma once

#include "mainwindow/TForm_RIFA.h"
#include "raffle/TForm_Usar.h"
#include "support/WindowWatcher.h"

#include <QApplication>
#include <QTest>

// The working raffle chosen the way a person chooses it: in the chooser, the list with the keyboard,
// then CONFIRMAR. Each returns false when the chooser did not take the raffle.
namespace RaffleChooser {

// Opens the chooser over the context, as the raffle bar of the main window does.
inline bool choose(AppContext &ctx, int slot) {
    TForm_Usar chooser(ctx);
    chooser.show();
    if (!QTest::qWaitForWindowExposed(&chooser)) return false;
    WindowWatcher::chooseRaffle(&chooser, slot);
    return !QTest::currentTestFailed() && chooser.result() == QDialog::Accepted && ctx.raffle.isChosen();
}

// Shows the main window, whose first activation opens the chooser.
inline bool chooseInMenu(TForm_RIFA &menu, int slot) {
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Usar"), [slot](QWidget *chooser) { WindowWatcher::chooseRaffle(chooser, slot); });
    menu.show();
    menu.activateWindow();
    return QTest::qWaitFor([&] {
        return watcher.shown(QStringLiteral("TForm_Usar")) == 1 && !QApplication::activeModalWidget() &&
               menu.raffle().isChosen();
    });
}

// Shows the main window and leaves its chooser with "Escolher Depois".
inline bool leaveChoiceInMenu(TForm_RIFA &menu) {
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Usar"),
               [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
    menu.show();
    menu.activateWindow();
    return QTest::qWaitFor(
        [&] { return watcher.shown(QStringLiteral("TForm_Usar")) == 1 && !QApplication::activeModalWidget(); });
}

} // namespace RaffleChooser
