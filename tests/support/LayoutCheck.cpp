#include "support/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>
#include <QRegularExpression>
#include <QtMath>

namespace LayoutCheck {

namespace {

// The text as drawn: "&&" shows one ampersand, a single one marks the shortcut and is not drawn.
QString shownText(const QString &text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') out += u'&', ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

int widest(const QFontMetrics &fm, const QStringList &lines) {
    int w = 0;
    for (const QString &l : lines)
        w = qMax(w, fm.horizontalAdvance(l));
    return w;
}

QString tooSmall(const QWidget *w, QSize needed, QSize room) {
    return QStringLiteral("%1: text needs %2x%3, has %4x%5")
        .arg(describe(w))
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

void checkLabel(const QLabel *l, QStringList &out) {
    if (l->text().isEmpty() || (l->pixmap().isNull() == false)) return;
    const QFontMetrics fm(l->font());
    QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    int indent = l->indent();
    if (indent < 0) indent = l->frameWidth() > 0 ? fm.horizontalAdvance(u'x') / 2 - l->margin() : 0;
    if (indent > 0) {
        if (l->alignment() & Qt::AlignLeft) room.setLeft(room.left() + indent);
        if (l->alignment() & Qt::AlignRight) room.setRight(room.right() - indent);
        if (l->alignment() & Qt::AlignTop) room.setTop(room.top() + indent);
        if (l->alignment() & Qt::AlignBottom) room.setBottom(room.bottom() - indent);
    }
    const bool rich = l->textFormat() == Qt::RichText ||
                      (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
    QSize needed;
    if (rich) {
        QTextDocument doc;
        doc.setDocumentMargin(0);
        doc.setDefaultFont(l->font());
        doc.setHtml(l->text());
        if (l->wordWrap()) doc.setTextWidth(room.width());
        needed = QSize(qCeil(l->wordWrap() ? doc.size().width() : doc.idealWidth()), qCeil(doc.size().height()));
    } else if (l->wordWrap()) {
        const QRect r = fm.boundingRect(room, int(l->alignment()) | Qt::TextWordWrap, l->text());
        needed = r.size();
        // A word longer than the line is cut, not wrapped.
        needed.setWidth(qMax(needed.width(), widest(fm, l->text().split(QRegularExpression(QStringLiteral("\\s+"))))));
    } else {
        const QStringList lines = l->text().split(u'\n');
        needed = QSize(widest(fm, lines), int(lines.size()) * fm.height());
    }
    if (needed.width() > room.width() || needed.height() > room.height())
        out << tooSmall(l, needed, room.size());
}

void checkButton(const QAbstractButton *b, QStringList &out) {
    const QString text = shownText(b->text());
    if (text.isEmpty()) return;
    const QFontMetrics fm(b->font());
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    QRect room;
    if (auto *p = qobject_cast<const QPushButton *>(b)) {
        if (p->isFlat()) opt.features |= QStyleOptionButton::Flat;
        if (p->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
        room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        if (!b->icon().isNull()) room.setWidth(room.width() - b->iconSize().width() - 4);
    } else if (qobject_cast<const QCheckBox *>(b)) {
        room = b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b);
    } else if (qobject_cast<const QRadioButton *>(b)) {
        room = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
    } else if (auto *t = qobject_cast<const QToolButton *>(b)) {
        if (t->toolButtonStyle() == Qt::ToolButtonIconOnly && !t->icon().isNull()) return;
        room = b->rect().adjusted(3, 3, -3, -3);
        if (t->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !t->icon().isNull())
            room.setWidth(room.width() - t->iconSize().width() - 4);
    } else {
        return;
    }
    const QStringList lines = text.split(u'\n');
    const QSize needed(widest(fm, lines), int(lines.size()) * fm.height());
    // The text is centred on the button's height, so the height is the whole control's.
    if (needed.width() > room.width() || needed.height() > b->height())
        out << tooSmall(b, needed, QSize(room.width(), b->height()));
}

void checkGroupBox(const QGroupBox *g, QStringList &out) {
    const QString title = shownText(g->title());
    if (title.isEmpty()) return;
    const QFontMetrics fm(g->font());
    const int needed = fm.horizontalAdvance(title) + 8 + (g->isCheckable() ? 20 : 0);
    if (needed > g->width()) out << tooSmall(g, QSize(needed, fm.height()), g->size());
}

// A grid shows each column's title whole and every column without scrolling sideways.
void checkGrid(const QTableView *t, QStringList &out) {
    const QHeaderView *h = t->horizontalHeader();
    if (!h->isVisible()) return;
    const QFontMetrics fm(h->font());
    const int margin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    const QAbstractItemModel *m = t->model();
    if (!m) return;
    for (int c = 0; c < m->columnCount(); ++c) {
        if (h->isSectionHidden(c)) continue;
        const QString title = m->headerData(c, Qt::Horizontal).toString();
        const int end = h->sectionViewportPosition(c) + h->sectionSize(c);
        if (end > t->viewport()->width())
            out << QStringLiteral("%1: column \"%2\" ends at %3, past the grid's %4")
                       .arg(describe(t), title)
                       .arg(end)
                       .arg(t->viewport()->width());
        const int needed = fm.horizontalAdvance(title) + 2 * margin;
        if (!title.isEmpty() && needed > h->sectionSize(c))
            out << QStringLiteral("%1: column title \"%2\" needs %3, has %4")
                       .arg(describe(t), title)
                       .arg(needed)
                       .arg(h->sectionSize(c));
    }
}

// Controls whose inner parts are their own business.
bool isWhole(const QWidget *w) {
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QTabBar *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QProgressBar *>(w) ||
           qobject_cast<const QAbstractButton *>(w);
}

// A holder of other controls that draws nothing of its own: its children are what a person sees.
bool drawsNothing(const QWidget *w) {
    if (w->autoFillBackground() || w->testAttribute(Qt::WA_StyledBackground) || !w->styleSheet().isEmpty())
        return false;
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text().isEmpty() && l->pixmap().isNull() && l->frameShape() == QFrame::NoFrame;
    if (isWhole(w) || qobject_cast<const QGroupBox *>(w)) return false;
    const QString cls = QString::fromLatin1(w->metaObject()->className());
    if (cls == QLatin1String("QWidget") || cls == QLatin1String("QStackedWidget") ||
        cls == QLatin1String("QTabWidget"))
        return true;
    if (auto *f = qobject_cast<const QFrame *>(w))
        return f->frameShape() == QFrame::NoFrame && !w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty();
    return false;
}

void collect(QWidget *parent, QList<QWidget *> &into) {
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisible()) continue;
        into << w;
        if (!isWhole(w)) collect(w, into);
    }
}

// What of a control must stay in sight: of a caption, its text (a strip behind a caption may carry a
// closing X, as a panel does).
QRect drawnRect(const QWidget *w) {
    auto *l = qobject_cast<const QLabel *>(w);
    if (!l || l->text().isEmpty() || !l->pixmap().isNull()) return w->rect();
    const bool rich = l->textFormat() == Qt::RichText ||
                      (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
    if (rich) return w->rect();
    const QFontMetrics fm(l->font());
    const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    return fm.boundingRect(room, flags, l->text()) & w->rect();
}

QRect shownRect(const QWidget *w, const QWidget *window) {
    QRect r = drawnRect(w).translated(w->mapTo(window, QPoint(0, 0)));
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        r &= QRect(p == window ? QPoint(0, 0) : p->mapTo(window, QPoint(0, 0)), p->size());
        if (p == window) break;
    }
    return r;
}

bool named(const QWidget *w, const QString &name, const QWidget *window) {
    for (; w && w != window; w = w->parentWidget())
        if (w->objectName() == name) return true;
    return false;
}

bool allowed(const QWidget *a, const QWidget *b, const Rules &rules, const QWidget *window) {
    for (const QString &n : rules.mayCover)
        if (named(a, n, window) != named(b, n, window)) return true;
    for (const auto &pair : rules.mayOverlap)
        if ((named(a, pair.first, window) && named(b, pair.second, window)) ||
            (named(a, pair.second, window) && named(b, pair.first, window)))
            return true;
    return false;
}

} // namespace

QString describe(const QWidget *w) {
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(w)) text = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w)) text = b->text();
    else if (auto *g = qobject_cast<const QGroupBox *>(w)) text = g->title();
    QString s = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty()) s += u' ' + w->objectName();
    if (!text.isEmpty()) s += QStringLiteral(" \"%1\"").arg(text.left(60).replace(u'\n', u'|'));
    if (w->objectName().isEmpty() && text.isEmpty() && w->parentWidget())
        s += QStringLiteral(" in ") + describe(w->parentWidget());
    return s;
}

QStringList faults(QWidget *window, const Rules &rules) {
    QStringList out;
    QList<QWidget *> shown;
    collect(window, shown);
    for (QWidget *w : shown) {
        if (auto *l = qobject_cast<QLabel *>(w)) checkLabel(l, out);
        else if (auto *b = qobject_cast<QAbstractButton *>(w)) checkButton(b, out);
        else if (auto *g = qobject_cast<QGroupBox *>(w)) checkGroupBox(g, out);
        else if (auto *t = qobject_cast<QTableView *>(w)) checkGrid(t, out);
        // A control reaching past its panel is cut off where the panel ends.
        const QWidget *p = w->parentWidget();
        const QRect drawn = drawnRect(w).translated(w->pos());
        const auto *picture = qobject_cast<const QLabel *>(w);
        if (!p->rect().contains(drawn) && !drawsNothing(w) && !(picture && !picture->pixmap().isNull()))
            out << QStringLiteral("%1 at (%2,%3 %4x%5) reaches past %6 (%7x%8)")
                       .arg(describe(w))
                       .arg(drawn.x())
                       .arg(drawn.y())
                       .arg(drawn.width())
                       .arg(drawn.height())
                       .arg(p == window ? QStringLiteral("the window") : describe(p))
                       .arg(p->width())
                       .arg(p->height());
    }
    QList<QWidget *> solid;
    for (QWidget *w : shown)
        if (!drawsNothing(w)) solid << w;
    for (qsizetype i = 0; i < solid.size(); ++i) {
        for (qsizetype j = i + 1; j < solid.size(); ++j) {
            QWidget *a = solid[i], *b = solid[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            const QRect common = shownRect(a, window) & shownRect(b, window);
            if (common.isEmpty() || allowed(a, b, rules, window)) continue;
            out << QStringLiteral("%1 and %2 overlap at (%3,%4 %5x%6)")
                       .arg(describe(a), describe(b))
                       .arg(common.x())
                       .arg(common.y())
                       .arg(common.width())
                       .arg(common.height());
        }
    }
    return out;
}

} // namespace LayoutCheck
