#include "support/ControlsOnScreen.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace {

bool isControl(const QWidget *w) {
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

bool isPanel(const QWidget *w) {
    const auto *f = qobject_cast<const QFrame *>(w);
    return f && f->frameShape() != QFrame::NoFrame;
}

QString nameOf(const QWidget *w) {
    if (!w->objectName().isEmpty()) return w->objectName();
    if (const auto *l = qobject_cast<const QLabel *>(w)) return QLatin1Char('"') + l->text() + QLatin1Char('"');
    if (const auto *b = qobject_cast<const QAbstractButton *>(w))
        return QLatin1Char('"') + b->text() + QLatin1Char('"');
    return QString::fromLatin1(w->metaObject()->className());
}

struct Item {
    QWidget *widget;
    QRect rect;      // in the window's coordinates
    QWidget *layer;  // the overlay panel it belongs to, or null
};

void collect(QWidget *parent, QWidget *window, const QStringList &overlays, QWidget *layer, QList<Item> &out) {
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisible()) continue;
        QWidget *itsLayer = overlays.contains(w->objectName()) ? w : layer;
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        if (isControl(w)) {
            out.append({w, r, itsLayer});
            continue;
        }
        if (isPanel(w)) out.append({w, r, itsLayer});
        collect(w, window, overlays, itsLayer, out);
    }
}

} // namespace

QStringList ControlsOnScreen::covered(QWidget *window, const QStringList &overlays) {
    QList<Item> items;
    collect(window, window, overlays, nullptr, items);
    QStringList found;
    for (qsizetype i = 0; i < items.size(); ++i)
        for (qsizetype j = i + 1; j < items.size(); ++j) {
            const Item &a = items[i], &b = items[j];
            if (a.layer != b.layer) continue; // an overlay covers the window while its task lasts
            if (a.widget->isAncestorOf(b.widget) || b.widget->isAncestorOf(a.widget)) continue;
            if (!a.rect.intersects(b.rect)) continue;
            found << nameOf(a.widget) + QStringLiteral(" / ") + nameOf(b.widget);
        }
    return found;
}

QStringList ControlsOnScreen::clippedTexts(QWidget *window) {
    QStringList found;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || w->isWindow()) continue;
        if (const auto *l = qobject_cast<const QLabel *>(w)) {
            if (l->text().isEmpty() || !l->pixmap().isNull()) continue;
            const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            QSize needed;
            if (l->wordWrap())
                needed = QSize(0, l->heightForWidth(l->width()));
            else
                needed = l->fontMetrics().size(0, l->text());
            if (needed.width() > room.width() || needed.height() > l->height())
                found << nameOf(l) + QStringLiteral(" needs %1x%2 in %3x%4")
                                         .arg(needed.width())
                                         .arg(needed.height())
                                         .arg(room.width())
                                         .arg(l->height());
        } else if (const auto *b = qobject_cast<const QAbstractButton *>(w)) {
            if (b->text().isEmpty()) continue;
            // Push buttons keep a generous margin in their hint; only the text itself must fit.
            const int needed = b->inherits("QPushButton") ? b->fontMetrics().horizontalAdvance(b->text()) + 8
                                                          : b->sizeHint().width();
            if (needed > b->width())
                found << nameOf(b) + QStringLiteral(" needs %1 in %2").arg(needed).arg(b->width());
        }
    }
    return found;
}
