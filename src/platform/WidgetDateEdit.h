#pragma once

#include <QDate>
#include <QWidget>
#include <optional>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

// A date field that keeps what is typed ("20/12/2026", slashes typed or not) and has a calendar
// button; an empty field is "no date" and its calendar opens at the current month.
class WidgetDateEdit : public QWidget {
    Q_OBJECT
public:
    // The line edit carries editName as its objectName, so it is found and typed into by that name.
    WidgetDateEdit(const QString &editName, QWidget *parent = nullptr);

    void setDate(const QDate &date); // a null date empties the field; emits nothing
    // The date typed: a null QDate when empty, nothing when the text is not a real date.
    std::optional<QDate> date() const;
    void setToday(const QDate &today) { m_today = today; }

    QLineEdit *edit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    QCalendarWidget *calendar() const { return m_calendar; }

Q_SIGNALS:
    void dateEdited(); // typed or picked by the person

private:
    void openCalendar();

    QLineEdit *m_edit;
    QToolButton *m_button;
    QCalendarWidget *m_calendar;
    QDate m_today;
};
