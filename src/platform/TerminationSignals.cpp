#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

namespace {
TerminationSignals *g_current = nullptr;
}

#ifndef Q_OS_WIN
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

void onSignal(int) {
    // Only what is safe inside a signal handler: one byte into the pipe.
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[0], &byte, 1);
}
} // namespace
#endif

void TerminationSignals::holdInEveryThread() {
#ifndef Q_OS_WIN
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaddset(&set, sig);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
#endif
}

TerminationSignals::TerminationSignals(std::function<void()> callback, QObject *parent)
    : QObject(parent), m_onSignal(std::move(callback)) {
    g_current = this;
#ifndef Q_OS_WIN
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const auto read = ::read(g_pipe[1], &byte, 1);
        Q_EMIT received();
        if (m_onSignal) m_onSignal();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        sigaction(sig, &action, nullptr);
        sigaddset(&set, sig);
    }
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
#endif
}

TerminationSignals *TerminationSignals::current() {
    return g_current;
}

TerminationSignals::~TerminationSignals() {
    if (g_current == this) g_current = nullptr;
#ifndef Q_OS_WIN
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &action, nullptr);
#endif
}
