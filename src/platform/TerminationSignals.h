#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, a system shutdown) into a call on
// the GUI thread, so the program can end its event loops and close its connections instead of
// dying with windows on open databases.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Before any other thread starts (the database engine starts its own): the signals are held in
    // this thread, and every thread started later inherits that, so they never land in the
    // engine's threads (whose waits they would break). The constructor takes them in this thread.
    static void holdInEveryThread();
    explicit TerminationSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

    // The one taking the signals now, so that a long job can end itself when one arrives; null when
    // none is.
    static TerminationSignals *current();

Q_SIGNALS:
    // Emitted before the callback runs: jobs stop after their current step.
    void received();

private:
    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
