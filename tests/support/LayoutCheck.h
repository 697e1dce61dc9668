#pragma once

#include <QPair>
#include <QString>
#include <QStringList>

class QWidget;

// Walks a shown window's controls and reports what a person could not read: a caption, check box,
// radio button or button whose text does not fit its own contents rectangle in its own font, a
// control cut off by its panel, and two controls lying over each other.
namespace LayoutCheck {

struct Rules {
    // Object names of controls the window places over others on purpose (a panel opened over the
    // window for a task); they and everything in them may cover anything.
    QStringList mayCover;
    // Pairs of object names that may overlap each other (a counter placed in its caption's gap).
    QList<QPair<QString, QString>> mayOverlap;
};

// One line per fault, naming the controls by object name and text; empty when the window is sound.
QStringList faults(QWidget *window, const Rules &rules = {});

// How a control is named in a fault: its class, object name and text.
QString describe(const QWidget *w);

} // namespace LayoutCheck
