#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

// Prepares a read-only forward query, binds the values in order and runs it; false with *error on failure.
inline bool runBoundQuery(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error) {
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error) *error = q.lastError().text();
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    return true;
}
