#pragma once

#include <QCursor>
#include <QGuiApplication>

// Hourglass for the lifetime of the guard; harmless without a GUI application.
class WaitCursor {
public:
    WaitCursor() : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr) {
        if (m_active) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() { restore(); }
    void restore() {
        if (m_active) QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_active;
};
