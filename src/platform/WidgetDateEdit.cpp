#include "platform/WidgetDateEdit.h"

#include "platform/TypedValues.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

WidgetDateEdit::WidgetDateEdit(const QString &editName, QWidget *parent) : QWidget(parent) {
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(editName);
    m_edit->setMaxLength(10);
    m_edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/]{0,10}")), m_edit));
    m_button = new QToolButton(this);
    m_button->setObjectName(editName + QStringLiteral("_Calendario"));
    m_button->setText(QStringLiteral("▾"));
    m_button->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setWindowFlags(Qt::Popup);
    m_calendar->setObjectName(editName + QStringLiteral("_Calendario_Popup"));
    m_calendar->hide();

    connect(m_edit, &QLineEdit::textEdited, this, &WidgetDateEdit::dateEdited);
    connect(m_edit, &QLineEdit::editingFinished, this, [this] {
        // Slashes are put in once a whole date was typed without them.
        if (const auto d = date(); d && d->isValid())
            m_edit->setText(d->toString(QStringLiteral("dd/MM/yyyy")));
    });
    connect(m_button, &QToolButton::clicked, this, &WidgetDateEdit::openCalendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate picked) {
        m_calendar->hide();
        m_edit->setText(picked.toString(QStringLiteral("dd/MM/yyyy")));
        m_edit->setFocus();
        Q_EMIT dateEdited();
    });
}

void WidgetDateEdit::setDate(const QDate &date) {
    m_edit->setText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

std::optional<QDate> WidgetDateEdit::date() const {
    return TypedValues::parseDate(m_edit->text());
}

void WidgetDateEdit::openCalendar() {
    const auto typed = date();
    const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
    const QDate shown = typed && typed->isValid() ? *typed : today;
    m_calendar->setSelectedDate(shown);
    m_calendar->setCurrentPage(shown.year(), shown.month());
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus();
}
