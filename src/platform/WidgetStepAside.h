#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

// Takes windows off the screen while another one serves the person, and brings them back.
// A dialog hidden the usual way leaves its exec() loop, which then ends under the window that
// hid it: the program looks frozen. Here a dialog keeps its loop and comes back as it was.
class WidgetStepAside {
public:
    WidgetStepAside() = default;
    WidgetStepAside(const WidgetStepAside &) = delete;
    WidgetStepAside &operator=(const WidgetStepAside &) = delete;
    ~WidgetStepAside() { restore(); }

    void hide(QWidget *window);
    // Shows every window hidden here again, in the order they were hidden.
    void restore();

private:
    QList<QPointer<QWidget>> m_hidden;
};
