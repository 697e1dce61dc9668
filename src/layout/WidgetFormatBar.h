#pragma once

#include "layout/WidgetDesignerPanel.h"

#include <QColor>

// The formatting bar under the ticket: font, size, colour, bold and underline of the selected text
// of the text box last focused. It is dragged around the design area.
class WidgetFormatBar : public WidgetDesignerPanel {
    Q_OBJECT
public:
    explicit WidgetFormatBar(QWidget *designArea);
    // The fonts of this computer, "Courier New" chosen.
    void fillFonts();

Q_SIGNALS:
    void fontChosen(const QString &family);
    void sizeChosen(double points);
    void colourChosen(const QColor &colour);
    void boldClicked();
    void underlineClicked();

private:
    QComboBox *cmb_fonte, *cmb_tam, *ColorBox1;
};
