#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// Drives modal windows that open by themselves (the raffle chooser at the first activation, the
// chooser after an edit): when a window with the object name is shown, its action runs once the
// window's own event loop is going. Shown windows are counted whether or not an action is set.
class WindowWatcher : public QObject {
public:
    using Action = std::function<void(QWidget *)>;
    WindowWatcher();
    ~WindowWatcher() override;

    void on(const QString &objectName, Action action) { m_actions.insert(objectName, std::move(action)); }
    int shown(const QString &objectName) const { return m_shown.value(objectName); }

    // Clicks the named button of the window.
    static void click(QWidget *window, const QString &button);
    // Selects the chooser item of the slot with the keyboard, as a person does with the list closed.
    static void pickRaffle(QWidget *chooser, int slot);
    // Selects the chooser item of the slot and confirms it.
    static void chooseRaffle(QWidget *chooser, int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QString, Action> m_actions;
    QHash<QString, int> m_shown;
};

// Clicks the middle of the window's named control with the left button.
void clickIn(QWidget &window, const char *control);
