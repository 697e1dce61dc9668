#pragma once

#include "layout/WidgetDesignerPanel.h"

// "ARTE DE FUNDO DA RIFA": obtain or remove the ticket's background art.
class WidgetBackgroundArtPanel : public WidgetDesignerPanel {
    Q_OBJECT
public:
    explicit WidgetBackgroundArtPanel(QWidget *window);
    void open();

Q_SIGNALS:
    void obtainClicked();
    void removeClicked();
};
