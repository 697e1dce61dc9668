#include "platform/WidgetStepAside.h"

#include <utility>

void WidgetStepAside::hide(QWidget *window) {
    if (!window || !window->isVisible()) return;
    m_hidden << window;
    // QWidget's own hiding: QDialog's would also end a running exec().
    window->QWidget::setVisible(false);
}

void WidgetStepAside::restore() {
    const auto hidden = std::exchange(m_hidden, {});
    for (const QPointer<QWidget> &w : hidden)
        if (w) w->show();
}
