#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress bar of a long print step (queueing, a PDF, the printer) with its "Cancelar" button.
// It appears once the step takes a moment, repaints a few times a second and says whether the
// person asked to stop.
class WidgetPrintProgress {
public:
    WidgetPrintProgress(QWidget *parent, const QString &text);
    ~WidgetPrintProgress();
    // False once "Cancelar" was pressed.
    bool step(qint64 done, qint64 total);

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    qint64 m_lastRepaint = -1;
};
