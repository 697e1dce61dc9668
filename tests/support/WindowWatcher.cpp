#include "support/WindowWatcher.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

WindowWatcher::WindowWatcher() {
    qApp->installEventFilter(this);
}

WindowWatcher::~WindowWatcher() {
    qApp->removeEventFilter(this);
}

bool WindowWatcher::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->isWindow() && !w->objectName().isEmpty() && !event->spontaneous()) {
            ++m_shown[w->objectName()];
            if (auto it = m_actions.constFind(w->objectName()); it != m_actions.constEnd()) {
                const Action action = *it;
                QPointer<QWidget> target(w);
                QTimer::singleShot(0, w, [action, target] {
                    if (target) action(target);
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowWatcher::click(QWidget *window, const QString &button) {
    auto *b = window->findChild<QPushButton *>(button);
    QVERIFY2(b, qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
}

void WindowWatcher::pickRaffle(QWidget *chooser, int slot) {
    auto *list = chooser->findChild<QComboBox *>(QStringLiteral("CMB_RIFA"));
    QVERIFY(list);
    const int index = list->findText(QStringLiteral("00%1 - ").arg(slot), Qt::MatchStartsWith);
    QVERIFY2(index >= 0, "raffle not listed");
    list->setFocus(Qt::TabFocusReason); // the list has the focus when the chooser opens
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), index);
}

void WindowWatcher::chooseRaffle(QWidget *chooser, int slot) {
    pickRaffle(chooser, slot);
    click(chooser, QStringLiteral("BTN_CONFIRMAR"));
}

void clickIn(QWidget &window, const char *control) {
    auto *w = window.findChild<QWidget *>(QLatin1String(control));
    QVERIFY2(w, control);
    QVERIFY2(w->isVisible(), control);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}
