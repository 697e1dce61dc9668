#pragma once

#include <QEvent>
#include <QPoint>
#include <QWidget>

class QLabel;
class QTextEdit;
class TicketLayout;

// The white design area (Panel3): rulers, the optional guide grid, the ticket's outline and every
// element of the ticket at true scale, each dragged into place with the mouse.
class WidgetDesignArea : public QWidget {
    Q_OBJECT
public:
    // The kinds of elements, each stored in the row its own way when let go.
    enum class Family { Barcodes, ControlNumbers, Numbers, AuthCode, TextBoxes, FreeImages, FormatBar };

    explicit WidgetDesignArea(TicketLayout &layout);

    // The formatting bar floats in the area and is dragged like an element.
    void addFormatBar(QWidget *bar);
    void setGrid(bool shown);
    // The numbers' placeholders for the modality; the print module's form text for the smallest one.
    void showPlaceholders(const QString &modality, bool formText);
    void applyFonts();
    // Every element shown where and as the layout has it.
    void placeWidgets();
    void clearBackground();
    void lockForPrinting();

    QTextEdit *ticketText() const { return DBR_TextoBasico; }
    QTextEdit *stubText() const { return DBR_TextoBasico_C; }
    // The text box the formatting bar acts on: the one last focused.
    QTextEdit *textTarget() const;

Q_SIGNALS:
    // An element was moved and let go.
    void dropped(WidgetDesignArea::Family family);
    // A text box whose text changed lost the focus.
    void textLeft();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Draggable {
        QWidget *widget;
        Family family;
        QPoint *pos; // the element's place in the layout (null for the formatting bar)
    };

    void buildElements();
    void registerDraggables();
    void buildMoveMenus();
    bool drag(const Draggable &d, QEvent::Type type, QPoint cursor);

    TicketLayout &m_layout;
    QList<Draggable> m_draggables;
    QWidget *m_formatBar = nullptr;
    bool m_gridShown = false;
    bool m_dragActive = false;
    QPoint m_lastCursor;
    bool m_moved = false;
    bool m_textMovePermission = false;
    QChar m_textTarget; // 'B' ticket box, 'C' stub box, none yet

    QWidget *Shape_DimBilhete;
    QLabel *img_fundo, *Img_LIVRE1, *IMG_LIVRE2;
    QLabel *BilheteNum1, *BilheteNum2, *Num_Autentic, *IMG_CODBARRA1, *IMG_CODBARRA2;
    QLabel *NumB[10];
    QTextEdit *DBR_TextoBasico, *DBR_TextoBasico_C;
    QWidget *Shape_traco;
};
