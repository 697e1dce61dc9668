#pragma once

#include <QSqlError>
#include <QString>

// Another computer's transaction holds the same rows (Firebird: update conflict, deadlock, lock
// conflict): the unit of work may be tried again in a moment.
inline bool isUpdateConflict(const QString &text) {
    return text.contains(QLatin1String("update conflicts with concurrent update"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("deadlock"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("lock conflict"), Qt::CaseInsensitive);
}

inline bool isUpdateConflict(const QSqlError &error) {
    // isc_deadlock, isc_update_conflict, isc_lock_conflict.
    const QString code = error.nativeErrorCode();
    return code == u"335544336" || code == u"335544451" || code == u"335544345" ||
           isUpdateConflict(error.databaseText());
}

// A primary or unique key refused the row (Firebird: isc_unique_key_violation, isc_no_dup): trying
// again cannot help, the row is there.
inline bool isDuplicateKey(const QSqlError &error) {
    const QString code = error.nativeErrorCode();
    return code == u"335544665" || code == u"335544349" || code == u"-803" ||
           error.databaseText().contains(QStringLiteral("UNIQUE KEY"), Qt::CaseInsensitive) ||
           error.databaseText().contains(QStringLiteral("duplicate value"), Qt::CaseInsensitive);
}
