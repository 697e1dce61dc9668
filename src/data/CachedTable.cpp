#include "data/CachedTable.h"

#include "data/SqlText.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace {

bool differs(const QVariant &a, const QVariant &b) {
    return a.isNull() != b.isNull() || (!a.isNull() && a != b);
}

const QString kChanged =
    QStringLiteral("O registro foi alterado ou excluído por outro usuário desde que foi lido. "
                   "Nada foi gravado; abra a janela novamente para ver os dados atuais.");

} // namespace

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
    for (const QVariant &v : values)
        q.addBindValue(sqlValue(v));
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    m_columns = q.record();
    while (q.next()) {
        Row row;
        row.read.resize(m_columns.count());
        for (int c = 0; c < m_columns.count(); ++c)
            row.read[c] = readValue(q.value(c));
        row.now = row.read;
        m_rows.append(row);
    }
    m_db = db;
    m_table = updateTable;
    m_open = true;
    return true;
}

void CachedTable::close() {
    m_rows.clear();
    m_deleted.clear();
    m_columns = QSqlRecord();
    m_db = QSqlDatabase(); // a held handle would keep the connection from being removed
    m_open = false;
    m_conflict = false;
}

QVariant CachedTable::readValue(const QVariant &v) const {
    if (m_trim && v.typeId() == QMetaType::QString && !v.isNull()) {
        // Only the padding of CHAR columns: a blank typed at the start is part of the value.
        QString text = v.toString();
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1) == u' ')
            --end;
        text.truncate(end);
        return text;
    }
    return v;
}

int CachedTable::columnIndex(const QString &column) const {
    return m_columns.indexOf(column.toUpper());
}

QStringList CachedTable::columns() const {
    QStringList names;
    for (int c = 0; c < m_columns.count(); ++c)
        names << m_columns.fieldName(c);
    return names;
}

QVariant CachedTable::value(int row, const QString &column) const {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return {};
    return m_rows[row].now[c];
}

QVariant CachedTable::originalValue(int row, const QString &column) const {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return {};
    return m_rows[row].read[c];
}

QSqlRecord CachedTable::record(int row) const {
    QSqlRecord r = m_columns;
    if (row >= 0 && row < rowCount())
        for (int c = 0; c < r.count(); ++c)
            r.setValue(c, m_rows[row].now[c]);
    return r;
}

int CachedTable::locate(const QString &column, const QString &text) const {
    const int c = columnIndex(column);
    if (c < 0) return -1;
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[r].now[c].toString().startsWith(text)) return r;
    return -1;
}

void CachedTable::setValue(int row, const QString &column, const QVariant &value) {
    const int c = columnIndex(column);
    if (row < 0 || row >= rowCount() || c < 0) return;
    m_rows[row].now[c] = value;
}

int CachedTable::appendRow() {
    Row row;
    row.inserted = true;
    for (int c = 0; c < m_columns.count(); ++c)
        row.read << QVariant(m_columns.field(c).metaType());
    row.now = row.read;
    m_rows.append(row);
    return rowCount() - 1;
}

bool CachedTable::isRowInserted(int row) const {
    return row >= 0 && row < rowCount() && m_rows[row].inserted;
}

void CachedTable::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    if (!m_rows[row].inserted) m_deleted.append({row, m_rows[row].read});
    m_rows.removeAt(row);
}

bool CachedTable::applyDeletion(int row, QString *error) {
    m_conflict = false;
    if (row < 0 || row >= rowCount()) return false;
    if (!m_rows[row].inserted) {
        if (!m_db.transaction()) {
            if (error) *error = m_db.lastError().text();
            return false;
        }
        if (!writeDelete(m_rows[row].read, error)) return false;
        if (!m_db.commit()) return rollBack(error, m_db.lastError().text());
    }
    m_rows.removeAt(row);
    return true;
}

void CachedTable::revertRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    if (m_rows[row].inserted)
        m_rows.removeAt(row);
    else
        m_rows[row].now = m_rows[row].read;
}

bool CachedTable::isRowModified(int row) const {
    if (row < 0 || row >= rowCount()) return false;
    const Row &r = m_rows[row];
    if (r.inserted) return true;
    for (int c = 0; c < m_columns.count(); ++c)
        if (differs(r.read[c], r.now[c])) return true;
    return false;
}

bool CachedTable::isModified() const {
    if (!m_deleted.isEmpty()) return true;
    for (int r = 0; r < rowCount(); ++r)
        if (isRowModified(r)) return true;
    return false;
}

void CachedTable::cancelUpdates() {
    for (int r = rowCount() - 1; r >= 0; --r)
        revertRow(r);
    // New rows stand after every read one, so the deleted rows go back to where they stood.
    for (auto d = m_deleted.crbegin(); d != m_deleted.crend(); ++d)
        m_rows.insert(qMin(d->at, rowCount()), Row{d->read, d->read, false});
    m_deleted.clear();
}

QString CachedTable::whereAsRead(const QVector<QVariant> &read, QVariantList *binds) const {
    QStringList where;
    for (int c = 0; c < m_columns.count(); ++c) {
        // Blobs cannot be compared; every other column must still hold the value read.
        if (m_columns.field(c).metaType().id() == QMetaType::QByteArray) continue;
        if (read[c].isNull()) {
            where << m_columns.fieldName(c) + QStringLiteral(" IS NULL");
        } else {
            where << m_columns.fieldName(c) + QStringLiteral(" = ?");
            *binds << sqlValue(read[c]);
        }
    }
    return where.join(QStringLiteral(" AND "));
}

bool CachedTable::rollBack(QString *error, const QString &why) {
    m_db.rollback();
    if (error) *error = why;
    return false;
}

bool CachedTable::writeUpdate(const Row &row, QString *error) {
    QStringList sets;
    QVariantList binds;
    for (int c = 0; c < m_columns.count(); ++c) {
        const QVariant &now = row.now[c];
        if (!differs(row.read[c], now)) continue;
        sets << m_columns.fieldName(c) + QStringLiteral(" = ?");
        binds << (now.isNull() ? QVariant(m_columns.field(c).metaType()) : sqlValue(now));
    }
    const QString where = whereAsRead(row.read, &binds);
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_table, sets.join(QStringLiteral(", ")), where);
    return execOnRowAsRead(sql, binds, error);
}

bool CachedTable::writeInsert(const Row &row, QVector<QVariant> *stored, QString *error) {
    QStringList names, marks, back;
    QVariantList binds;
    for (int c = 0; c < m_columns.count(); ++c) {
        const QString col = m_columns.fieldName(c);
        // The row is kept as the database stored it (its key, defaults, text made representable),
        // so that it is found by its values next time; blobs are not compared, so not read back.
        if (m_columns.field(c).metaType().id() != QMetaType::QByteArray) back << col;
        // Null columns are left to the table's defaults.
        if (col == m_key || row.now[c].isNull()) continue;
        names << col;
        marks << QStringLiteral("?");
        binds << sqlValue(row.now[c]);
    }
    QString sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
                                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(m_table, names.join(u','), marks.join(u','));
    if (!back.isEmpty()) sql += QStringLiteral(" RETURNING ") + back.join(u',');
    QSqlQuery q(m_db);
    if (!q.prepare(sql)) return rollBack(error, q.lastError().text());
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (!q.exec()) return rollBack(error, q.lastError().text());
    *stored = row.now;
    if (back.isEmpty()) return true;
    if (!q.next()) return rollBack(error, QStringLiteral("O banco de dados não devolveu o novo registro."));
    for (int i = 0; i < back.size(); ++i)
        (*stored)[columnIndex(back[i])] = readValue(q.value(i));
    return true;
}

bool CachedTable::writeDelete(const QVector<QVariant> &read, QString *error) {
    QVariantList binds;
    const QString where = whereAsRead(read, &binds);
    return execOnRowAsRead(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, where), binds, error);
}

bool CachedTable::execOnRowAsRead(const QString &sql, const QVariantList &binds, QString *error) {
    QSqlQuery q(m_db);
    if (!q.prepare(sql)) return rollBack(error, q.lastError().text());
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (!q.exec()) return rollBack(error, q.lastError().text());
    // The driver reports success when the WHERE matched nothing: the row changed meanwhile.
    if (q.numRowsAffected() != 1) {
        m_conflict = true;
        return rollBack(error, kChanged);
    }
    return true;
}

bool CachedTable::applyUpdates(QString *error) {
    m_conflict = false;
    if (!isModified()) return true;
    if (!m_db.transaction()) {
        if (error) *error = m_db.lastError().text();
        return false;
    }
    // Deletions first, so that a value they free can be taken by an edit or a new row.
    for (const Deleted &d : m_deleted)
        if (!writeDelete(d.read, error)) return false;
    for (int r = 0; r < rowCount(); ++r)
        if (!m_rows[r].inserted && isRowModified(r) && !writeUpdate(m_rows[r], error)) return false;
    QVector<QPair<int, QVector<QVariant>>> added;
    for (int r = 0; r < rowCount(); ++r) {
        if (!m_rows[r].inserted) continue;
        QVector<QVariant> stored;
        if (!writeInsert(m_rows[r], &stored, error)) return false;
        added << qMakePair(r, stored);
    }
    if (!m_db.commit()) return rollBack(error, m_db.lastError().text());
    for (const auto &[r, stored] : added)
        m_rows[r].now = stored;
    for (Row &row : m_rows) {
        row.read = row.now;
        row.inserted = false;
    }
    m_deleted.clear();
    return true;
}
