#include "layout/WidgetDesignerPanel.h"

#include "layout/TicketLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

WidgetDesignerPanel::WidgetDesignerPanel(const QString &name, QWidget *parent, QRect place,
                                         const QString &title)
    : QFrame(parent) {
    setObjectName(name);
    setGeometry(place);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    if (!title.isEmpty()) {
        auto *t = new QLabel(title, this);
        t->setObjectName(name + QStringLiteral("_Titulo"));
        QFont bold = t->font();
        bold.setBold(true);
        t->setFont(bold);
        t->move(8, 4);
        t->adjustSize();
    }
    hide();
}

QToolButton *WidgetDesignerPanel::addCloser(const QString &hint) {
    auto *b = new QToolButton(this);
    b->setObjectName(objectName() + QStringLiteral("_Fechar"));
    b->setText(QStringLiteral("X"));
    b->setToolTip(hint);
    b->setGeometry(width() - 24, 2, 20, 20);
    return b;
}

QLabel *WidgetDesignerPanel::addCaption(const QString &text, QPoint at) {
    auto *l = new QLabel(text, this);
    l->move(at);
    l->adjustSize();
    return l;
}

QLineEdit *WidgetDesignerPanel::addEdit(const char *name, QRect at) {
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(at);
    return e;
}

namespace DesignerControls {

namespace {
const QList<QPair<QString, int>> &standardColours() {
    static const QList<QPair<QString, int>> c = {
        {QStringLiteral("Black"), 0x000000},  {QStringLiteral("Maroon"), 0x000080},
        {QStringLiteral("Green"), 0x008000},  {QStringLiteral("Olive"), 0x008080},
        {QStringLiteral("Navy"), 0x800000},   {QStringLiteral("Purple"), 0x800080},
        {QStringLiteral("Teal"), 0x808000},   {QStringLiteral("Gray"), 0x808080},
        {QStringLiteral("Silver"), 0xC0C0C0}, {QStringLiteral("Red"), 0x0000FF},
        {QStringLiteral("Lime"), 0x00FF00},   {QStringLiteral("Yellow"), 0x00FFFF},
        {QStringLiteral("Blue"), 0xFF0000},   {QStringLiteral("Fuchsia"), 0xFF00FF},
        {QStringLiteral("Aqua"), 0xFFFF00},   {QStringLiteral("White"), 0xFFFFFF}};
    return c;
}

QPixmap swatch(int value) {
    QPixmap s(12, 12);
    s.fill(TicketLayout::colour(value));
    return s;
}
} // namespace

void fillColours(QComboBox *box) {
    for (const auto &[name, value] : standardColours())
        box->addItem(QIcon(swatch(value)), name, value);
}

void selectColour(QComboBox *box, int value) {
    int i = box->findData(value);
    if (i < 0) {
        box->addItem(QIcon(swatch(value)),
                     QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(), value);
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}

int colourOf(const QComboBox *box) {
    return box->currentData().toInt();
}

void selectSize(QComboBox *box, int value) {
    const int i = box->findText(QString::number(value));
    box->setCurrentIndex(i);
    if (i < 0) box->setEditText(QString::number(value));
}

void digitsOnly(QLineEdit *edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

} // namespace DesignerControls
