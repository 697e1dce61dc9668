#include "layout/WidgetPrintProgress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProgressDialog>

WidgetPrintProgress::WidgetPrintProgress(QWidget *parent, const QString &text)
    : m_dialog(std::make_unique<QProgressDialog>(text, QStringLiteral("Cancelar"), 0, 1000, parent)) {
    m_dialog->setObjectName(QStringLiteral("TForm_Progresso"));
    m_dialog->setWindowTitle(QStringLiteral("KORVANTE"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(300);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
}

WidgetPrintProgress::~WidgetPrintProgress() = default;

bool WidgetPrintProgress::step(qint64 done, qint64 total) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_lastRepaint < 0 || now - m_lastRepaint >= 40 || done >= total) {
        m_lastRepaint = now;
        // The dialog's own value change shows it after its minimum duration and runs the events.
        m_dialog->setValue(total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0);
        QCoreApplication::processEvents();
    }
    return !m_dialog->wasCanceled();
}
