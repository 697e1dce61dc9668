#include "data/CachedTable.h"

#include "data/SqlText.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

CachedTable::CachedTable(QString name) : m_name(std::move(name)) {}

bool CachedTable::open(const QSqlDatabase &db, const QString &updateTable, const QString &select,
                       const QVariantList &values, QString *error) {
    close();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(select)) {
        if (error) *error = q.lastError().text();
        return false;
    }
    for (const QVariant &v : values) q.addBindValue(sqlValue(v));
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    m_columns = q.record();
    while (q.next()) {
        QVector<QVariant> row(m_columns.count());
        for (int c = 0; c < m_columns.count(); ++c) row[c] = q.value(c);
        m_original.append(row);
    }
    m_current = m_original;
    m_db = db;
    m_table = updateTable;
    m_open = true;
    return true;
}

void CachedTable::close() {
    m_original.clear();
    m_current.clear();
    m_columns = QSqlRecord();
    m_db = QSqlDatabase(); // a held handle would keep the connection from being removed
    m_open = false;
}

int CachedTable::columnIndex(const QString &column) const { return m_columns.indexOf(column.toUpper()); }

QStringList CachedTable::columns() const {
    QStringList names;
    for (int c = 0; c < m_columns.count(); ++c) names << m_columns.fieldName(c);
    return names;
}

QVariant CachedTable::value(int row, const QString &column) const {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return {};
    return m_current[row][c];
}

QVariant CachedTable::originalValue(int row, const QString &column) const {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return {};
    return m_original[row][c];
}

QSqlRecord CachedTable::record(int row) const {
    QSqlRecord r = m_columns;
    if (row >= 0 && row < rowCount())
        for (int c = 0; c < r.count(); ++c) r.setValue(c, m_current[row][c]);
    return r;
}

int CachedTable::locate(const QString &column, const QString &text) const {
    const int c = columnIndex(column);
    if (c < 0) return -1;
    for (int r = 0; r < rowCount(); ++r)
        if (m_current[r][c].toString().startsWith(text)) return r;
    return -1;
}

void CachedTable::setValue(int row, const QString &column, const QVariant &value) {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return;
    m_current[row][c] = value;
}

bool CachedTable::isRowModified(int row) const {
    if (row < 0 || row >= rowCount()) return false;
    for (int c = 0; c < m_columns.count(); ++c) {
        const QVariant &a = m_original[row][c], &b = m_current[row][c];
        if (a.isNull() != b.isNull() || (!a.isNull() && a != b)) return true;
    }
    return false;
}

bool CachedTable::isModified() const {
    for (int r = 0; r < rowCount(); ++r)
        if (isRowModified(r)) return true;
    return false;
}

void CachedTable::cancelUpdates() { m_current = m_original; }

bool CachedTable::applyUpdates(QString *error) {
    if (!isModified()) return true;
    if (!m_db.transaction()) {
        if (error) *error = m_db.lastError().text();
        return false;
    }
    auto fail = [&](const QString &why) {
        m_db.rollback();
        if (error) *error = why;
        return false;
    };
    for (int r = 0; r < rowCount(); ++r) {
        if (!isRowModified(r)) continue;
        QStringList sets, where;
        QVariantList setValues, whereValues;
        for (int c = 0; c < m_columns.count(); ++c) {
            const QString col = m_columns.fieldName(c);
            const QVariant &was = m_original[r][c], &now = m_current[r][c];
            if (was.isNull() != now.isNull() || (!was.isNull() && was != now)) {
                sets << col + QStringLiteral(" = ?");
                setValues << (now.isNull() ? QVariant(m_columns.field(c).metaType()) : sqlValue(now));
            }
            // Blobs cannot be compared; every other column must still hold the value read.
            if (m_columns.field(c).metaType().id() == QMetaType::QByteArray) continue;
            if (was.isNull()) {
                where << col + QStringLiteral(" IS NULL");
            } else {
                where << col + QStringLiteral(" = ?");
                whereValues << was;
            }
        }
        QSqlQuery q(m_db);
        if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                           .arg(m_table, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND ")))))
            return fail(q.lastError().text());
        for (const QVariant &v : setValues) q.addBindValue(v);
        for (const QVariant &v : whereValues) q.addBindValue(v);
        if (!q.exec()) return fail(q.lastError().text());
        if (q.numRowsAffected() != 1)
            return fail(QStringLiteral("O registro foi alterado ou excluído por outro usuário desde que foi lido. "
                                       "Nada foi gravado; abra a janela novamente para ver os dados atuais."));
    }
    if (!m_db.commit()) return fail(m_db.lastError().text());
    m_original = m_current;
    return true;
}
