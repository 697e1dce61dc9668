#include "layout/WidgetDesignArea.h"

#include "layout/Code128.h"
#include "layout/TicketLayout.h"
#include "layout/TicketSheet.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>
#include <QToolButton>

namespace {

// The ticket outline: a red rectangle with a 3-pixel border that lets the mouse through.
class Outline : public QWidget {
public:
    explicit Outline(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setPen(QPen(Qt::red, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(1.5, 1.5, width() - 3, height() - 3));
    }
};

// The stub's dotted separator.
class DottedLine : public QWidget {
public:
    explicit DottedLine(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawLine(0, 0, 0, height());
    }
};

QPixmap barcodePicture() {
    QImage img(101, 28, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        Code128::paint(p, 0, 0, QStringLiteral("123456"));
    }
    return QPixmap::fromImage(img.scaled(TicketLayout::BarcodeBox, Qt::IgnoreAspectRatio));
}

void showPicture(QLabel *label, const TicketLayout::Picture &picture, bool alwaysScaled) {
    label->setVisible(picture.visible && !picture.image.isNull());
    if (!label->isVisible()) return;
    label->setScaledContents(alwaysScaled || picture.stretched);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(QPixmap::fromImage(picture.image));
    label->setGeometry(picture.rect);
}

} // namespace

WidgetDesignArea::WidgetDesignArea(TicketLayout &layout) : QWidget(nullptr), m_layout(layout) {
    setObjectName(QStringLiteral("Panel3"));
    setFixedSize(856, 1000);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    buildElements();
    buildMoveMenus();
}

void WidgetDesignArea::buildElements() {
    img_fundo = new QLabel(this);
    img_fundo->setObjectName(QStringLiteral("img_fundo"));
    img_fundo->hide();
    Shape_DimBilhete = new Outline(this);
    Shape_DimBilhete->setObjectName(QStringLiteral("Shape_DimBilhete"));
    Shape_DimBilhete->setGeometry(
        QRect(QPoint(TicketLayout::OutlineLeft, TicketLayout::OutlineTop), TicketLayout::DefaultOutline));

    auto freeImage = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setCursor(Qt::SizeAllCursor);
        l->hide();
        return l;
    };
    Img_LIVRE1 = freeImage("Img_LIVRE1");
    IMG_LIVRE2 = freeImage("IMG_LIVRE2");

    auto textBox = [this](const char *name) {
        auto *t = new QTextEdit(this);
        t->setObjectName(QLatin1String(name));
        t->setAcceptRichText(true);
        t->setFrameStyle(QFrame::Box);
        // Lines break where the printed page breaks them.
        t->setFont(QFont(QStringLiteral("Arial"), 10));
        TicketSheet::prepareTextDocument(*t->document());
        t->setLineWrapMode(QTextEdit::FixedPixelWidth);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
        t->viewport()->installEventFilter(this);
        t->installEventFilter(this);
        t->hide();
        return t;
    };
    DBR_TextoBasico = textBox("DBR_TextoBasico");
    DBR_TextoBasico_C = textBox("DBR_TextoBasico_C");
    Shape_traco = new DottedLine(this);
    Shape_traco->setObjectName(QStringLiteral("Shape_traco"));
    Shape_traco->hide();

    auto label = [this](const QString &name, bool italic) {
        auto *l = new QLabel(this);
        l->setObjectName(name);
        l->setCursor(Qt::SizeAllCursor);
        QFont f(QStringLiteral("Arial"));
        f.setItalic(italic);
        l->setFont(f);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->hide();
        return l;
    };
    BilheteNum1 = label(QStringLiteral("BilheteNum1"), true);
    BilheteNum2 = label(QStringLiteral("BilheteNum2"), true);
    for (int k = 0; k < 10; ++k)
        NumB[k] = label(QStringLiteral("NumB%1").arg(k + 1), false);
    Num_Autentic = label(QStringLiteral("Num_Autentic"), false);
    QFont authFont(QStringLiteral("Arial"));
    authFont.setPixelSize(12);
    Num_Autentic->setFont(authFont);
    Num_Autentic->setStyleSheet(QStringLiteral("color: #FF00FF"));
    Num_Autentic->setText(QLatin1String(TicketLayout::AuthPlaceholder));
    const QPixmap bars = barcodePicture();
    IMG_CODBARRA1 = label(QStringLiteral("IMG_CODBARRA1"), false);
    IMG_CODBARRA2 = label(QStringLiteral("IMG_CODBARRA2"), false);
    for (QLabel *b : {IMG_CODBARRA1, IMG_CODBARRA2}) {
        b->setPixmap(bars);
        b->setScaledContents(true);
        b->resize(TicketLayout::BarcodeBox);
    }

    registerDraggables();
}

void WidgetDesignArea::registerDraggables() {
    m_draggables = {{IMG_CODBARRA1, Family::Barcodes, &m_layout.codBarra[0].pos},
                    {IMG_CODBARRA2, Family::Barcodes, &m_layout.codBarra[1].pos},
                    {BilheteNum1, Family::ControlNumbers, &m_layout.bilheteNum[0].pos},
                    {BilheteNum2, Family::ControlNumbers, &m_layout.bilheteNum[1].pos},
                    {Num_Autentic, Family::AuthCode, &m_layout.autentic.pos},
                    {DBR_TextoBasico->viewport(), Family::TextBoxes, &m_layout.texto.pos},
                    {DBR_TextoBasico_C->viewport(), Family::TextBoxes, &m_layout.textoC.pos},
                    {Img_LIVRE1, Family::FreeImages, nullptr},
                    {IMG_LIVRE2, Family::FreeImages, nullptr}};
    for (int k = 0; k < 10; ++k)
        m_draggables.append({NumB[k], Family::Numbers, &m_layout.numB[k].pos});
    for (const Draggable &d : m_draggables)
        if (d.family != Family::TextBoxes) d.widget->installEventFilter(this);
}

// A text box moves only after "Mover" of its context menu; otherwise the mouse edits its text.
void WidgetDesignArea::buildMoveMenus() {
    auto moveMenu = [this](const char *name, QTextEdit *box) {
        auto *m = new QMenu(this);
        m->setObjectName(QLatin1String(name));
        connect(m->addAction(QStringLiteral("Mover")), &QAction::triggered, this, [this, box] {
            m_textMovePermission = true;
            box->viewport()->setCursor(Qt::SizeAllCursor);
        });
        connect(box, &QWidget::customContextMenuRequested, this,
                [m, box](const QPoint &at) { m->popup(box->mapToGlobal(at)); });
    };
    moveMenu("PopTexto", DBR_TextoBasico);
    moveMenu("PopTexto_Canhoto", DBR_TextoBasico_C);
}

void WidgetDesignArea::addFormatBar(QWidget *bar) {
    m_formatBar = bar;
    bar->installEventFilter(this);
    m_draggables.append({bar, Family::FormatBar, nullptr});
}

void WidgetDesignArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (m_gridShown) {
        p.setPen(TicketLayout::colour(15593454));
        for (int x = 0; x < width(); x += 19)
            p.drawLine(x, 0, x, height());
        for (int y = 0; y < height(); y += 19)
            p.drawLine(0, y, width(), y);
    }
    p.fillRect(QRect(0, 0, width(), 20), QColor(240, 240, 240));
    p.fillRect(QRect(0, 0, 20, height()), QColor(240, 240, 240));
    p.setPen(Qt::black);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(9);
    p.setFont(f);
    for (int cm = 0; cm <= 21; ++cm) {
        const int x = 15 + qRound(cm * 37.8);
        p.drawLine(x, 14, x, 20);
        p.drawText(QRect(x - 10, 0, 20, 13), Qt::AlignCenter, QString::number(cm));
    }
    for (int cm = 0; cm * 37.8 < height(); ++cm) {
        const int y = 20 + qRound(cm * 37.8);
        p.drawLine(14, y, 20, y);
        p.drawText(QRect(0, y - 6, 13, 12), Qt::AlignCenter, QString::number(cm));
    }
}

void WidgetDesignArea::setGrid(bool shown) {
    m_gridShown = shown;
    update();
}

void WidgetDesignArea::showPlaceholders(const QString &modality, bool formText) {
    for (QLabel *n : NumB)
        n->setText(TicketLayout::zeroString(modality));
    BilheteNum1->setText(formText ? QStringLiteral("C-000000") : TicketLayout::ticketIdPlaceholder(modality));
    BilheteNum2->setText(formText ? QStringLiteral("C-000000") : TicketLayout::stubIdPlaceholder(modality));
}

void WidgetDesignArea::applyFonts() {
    auto sized = [](QLabel *l, int points, int colour) {
        QFont f = l->font();
        if (points > 0) f.setPointSize(points);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, TicketLayout::colour(colour));
        l->setPalette(p);
        l->adjustSize();
    };
    for (QLabel *l : {BilheteNum1, BilheteNum2})
        sized(l, m_layout.tamFonteId, m_layout.corFonteId);
    for (QLabel *l : NumB)
        sized(l, m_layout.tamFonteNum, m_layout.corFonteNum);
}

void WidgetDesignArea::placeWidgets() {
    Shape_DimBilhete->setGeometry(m_layout.outlineRect());
    showPicture(img_fundo, m_layout.fundo, false);
    for (int i = 0; i < 2; ++i) {
        TicketLayout::Picture &p = m_layout.livre[i];
        p.rect.setSize(p.image.size());
        showPicture(i == 0 ? Img_LIVRE1 : IMG_LIVRE2, p, true);
    }
    auto place = [](QWidget *w, const TicketLayout::Placed &p) {
        w->move(p.pos);
        w->setVisible(p.visible);
    };
    place(BilheteNum1, m_layout.bilheteNum[0]);
    place(BilheteNum2, m_layout.bilheteNum[1]);
    for (int k = 0; k < 10; ++k)
        place(NumB[k], m_layout.numB[k]);
    place(IMG_CODBARRA1, m_layout.codBarra[0]);
    place(IMG_CODBARRA2, m_layout.codBarra[1]);
    place(Num_Autentic, m_layout.autentic);
    Num_Autentic->adjustSize();
    // A box with its size in mm shows the printed box inside its frame; the text wraps at the printed width.
    const auto placeText = [](QTextEdit *box, const TicketLayout::TextBox &t, int widthMm, int heightMm) {
        QSize size = t.size;
        int wrap = size.width() - 2 * box->frameWidth();
        if (widthMm > 0 && heightMm > 0) {
            wrap = TicketSheet::printedTextWidth(widthMm);
            size = QSize(wrap, TicketSheet::printedTextWidth(heightMm)) +
                   QSize(2 * box->frameWidth(), 2 * box->frameWidth());
        }
        box->setGeometry(QRect(t.pos, size));
        box->setLineWrapColumnOrWidth(qMax(1, wrap));
        box->setVisible(t.visible);
    };
    placeText(DBR_TextoBasico, m_layout.texto, m_layout.dimTextoComp, m_layout.dimTextoAlt);
    placeText(DBR_TextoBasico_C, m_layout.textoC, m_layout.dimTextoCComp, m_layout.dimTextoCAlt);
    Shape_traco->setGeometry(m_layout.traco.pos.x(), m_layout.traco.pos.y(), 1,
                             qMax(1, m_layout.tracoHeight));
    Shape_traco->setVisible(m_layout.traco.visible);
    // Outline, free images, text boxes, then the small elements on top.
    for (QWidget *w : std::initializer_list<QWidget *>{
             Shape_DimBilhete, Img_LIVRE1, IMG_LIVRE2, DBR_TextoBasico, DBR_TextoBasico_C, BilheteNum1,
             BilheteNum2, IMG_CODBARRA1, IMG_CODBARRA2, Num_Autentic})
        w->raise();
    for (QLabel *l : NumB)
        l->raise();
    if (m_formatBar) m_formatBar->raise();
}

void WidgetDesignArea::clearBackground() {
    img_fundo->clear();
    img_fundo->hide();
}

void WidgetDesignArea::lockForPrinting() {
    DBR_TextoBasico->setReadOnly(true);
    DBR_TextoBasico_C->setReadOnly(true);
}

QTextEdit *WidgetDesignArea::textTarget() const {
    if (m_textTarget == u'B') return DBR_TextoBasico;
    if (m_textTarget == u'C') return DBR_TextoBasico_C;
    return nullptr;
}

bool WidgetDesignArea::eventFilter(QObject *watched, QEvent *event) {
    const auto type = event->type();
    if (type == QEvent::FocusIn) {
        if (watched == DBR_TextoBasico) m_textTarget = u'B';
        if (watched == DBR_TextoBasico_C) m_textTarget = u'C';
    } else if (type == QEvent::FocusOut) {
        auto *box = qobject_cast<QTextEdit *>(watched);
        if (box && box->document()->isModified()) Q_EMIT textLeft();
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
               type == QEvent::MouseButtonRelease) {
        for (const Draggable &d : m_draggables)
            if (d.widget == watched)
                return drag(d, type, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

// Returns whether the text box's own handling of the mouse is skipped.
bool WidgetDesignArea::drag(const Draggable &d, QEvent::Type type, QPoint cursor) {
    const bool textBox = d.family == Family::TextBoxes;
    QWidget *moving = textBox ? d.widget->parentWidget() : d.widget;

    if (type == QEvent::MouseButtonPress) {
        if (textBox && !m_textMovePermission) return false;
        m_lastCursor = cursor;
        m_dragActive = true;
        return textBox; // a box being moved does not also select text
    }
    if (type == QEvent::MouseMove) {
        if (d.family == Family::FormatBar)
            for (QToolButton *b : moving->findChildren<QToolButton *>())
                b->setDown(false);
        if (!m_dragActive) return false;
        QPoint at = moving->pos();
        if (cursor.x() != m_lastCursor.x()) {
            at.rx() += cursor.x() - m_lastCursor.x();
            m_moved = true;
        }
        if (cursor.y() != m_lastCursor.y()) {
            at.ry() += cursor.y() - m_lastCursor.y();
            m_moved = true;
        }
        // A stored left below 1 means "never placed": an element dragged there stays at 1.
        if (d.family != Family::FormatBar) at.setX(qMax(1, at.x()));
        if (m_moved) moving->setCursor(Qt::ClosedHandCursor);
        moving->move(at);
        if (d.pos) *d.pos = at;
        if (d.family == Family::FreeImages) m_layout.livre[moving == Img_LIVRE1 ? 0 : 1].rect.moveTopLeft(at);
        m_lastCursor = cursor;
        return textBox;
    }
    // Release
    const bool wasDragging = m_dragActive;
    m_dragActive = false;
    if (textBox) {
        d.widget->setCursor(Qt::IBeamCursor);
        m_textMovePermission = false;
    } else {
        moving->setCursor(Qt::SizeAllCursor);
    }
    const bool moved = m_moved;
    m_moved = false;
    if (moved) Q_EMIT dropped(d.family);
    return textBox && wasDragging;
}
