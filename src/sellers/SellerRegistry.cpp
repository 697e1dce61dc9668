#include "sellers/SellerRegistry.h"

#include "data/SqlText.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace {

const QString kTable = QStringLiteral("CAD_VENDEDOR");
const QString kCode = QStringLiteral("COD_VEND");

bool differs(const QVariant &a, const QVariant &b) {
    return a.isNull() != b.isNull() || (!a.isNull() && a != b);
}

QVariant nullIfEmpty(const QVariant &v, QMetaType type) {
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) return QVariant(type);
    return sqlValue(v);
}

} // namespace

SellerRegistry::SellerRegistry(QSqlDatabase db) : m_db(std::move(db)) {}

const QStringList &SellerRegistry::columns() {
    static const QStringList names{kCode,
                                   QStringLiteral("NOME_VEND"),
                                   QStringLiteral("CPF_VEND"),
                                   QStringLiteral("FONE1"),
                                   QStringLiteral("END_VEND"),
                                   QStringLiteral("BAIRRO_VEND"),
                                   QStringLiteral("CID_VEND"),
                                   QStringLiteral("UF_VEND"),
                                   QStringLiteral("FONE2")};
    return names;
}

bool SellerRegistry::Row::modified() const {
    if (isNew()) return true;
    for (int c = 0; c < now.size(); ++c)
        if (differs(read[c], now[c])) return true;
    return false;
}

bool SellerRegistry::open(QString *error) {
    close();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // Ordered by code, so that a seller just saved, with the highest code, is the last row.
    if (!q.exec(QStringLiteral("select ") + columns().join(u',') +
                QStringLiteral(" from CAD_VENDEDOR order by COD_VEND"))) {
        if (error) *error = q.lastError().text();
        return false;
    }
    m_record = q.record();
    while (q.next()) {
        Row r;
        for (int c = 0; c < m_record.count(); ++c) {
            QVariant v = q.value(c);
            if (v.typeId() == QMetaType::QString && !v.isNull())
                v = v.toString().trimmed(); // CHAR columns are padded
            r.read << v;
        }
        r.now = r.read;
        m_rows << r;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_state = State::Browse;
    m_open = true;
    return true;
}

void SellerRegistry::close() {
    m_rows.clear();
    m_current = -1;
    m_beforeInsert = -1;
    m_state = State::Browse;
    m_open = false;
}

int SellerRegistry::column(const QString &name) const {
    return m_record.indexOf(name.toUpper());
}

QVariant SellerRegistry::value(int row, const QString &name) const {
    const int c = column(name);
    if (row < 0 || row >= rowCount() || c < 0) return {};
    return m_rows[row].now[c];
}

QString SellerRegistry::codeText(const QVariant &code) {
    if (code.isNull() || !code.isValid()) return {};
    return QStringLiteral("%1").arg(code.toInt(), 2, 10, QLatin1Char('0'));
}

void SellerRegistry::moveTo(int row) {
    if (m_rows.isEmpty()) return;
    row = qBound(0, row, rowCount() - 1);
    if (row == m_current) return;
    m_state = State::Browse;
    m_current = row;
}

void SellerRegistry::append() {
    Row r;
    r.now = QVector<QVariant>(m_record.count());
    for (int c = 0; c < m_record.count(); ++c)
        r.now[c] = QVariant(m_record.field(c).metaType());
    m_beforeInsert = m_current;
    m_rows << r;
    m_current = rowCount() - 1;
    m_state = State::Insert;
}

bool SellerRegistry::setValue(const QString &name, const QVariant &v) {
    const int c = column(name);
    if (m_current < 0 || c < 0 || name.compare(kCode, Qt::CaseInsensitive) == 0) return false;
    m_rows[m_current].now[c] = v;
    if (m_state != State::Browse) return false;
    m_state = State::Edit;
    return true;
}

bool SellerRegistry::hasPendingChanges() const {
    for (const Row &r : m_rows)
        if (r.modified()) return true;
    return false;
}

bool SellerRegistry::save(QString *error, QVariant *newCode) {
    m_state = State::Browse;
    if (!hasPendingChanges()) return true;
    if (!m_db.transaction()) {
        if (error) *error = m_db.lastError().text();
        return false;
    }
    auto fail = [&](const QString &why) {
        m_db.rollback();
        if (error) *error = why;
        return false;
    };
    QVector<QPair<int, QVariant>> codes; // new rows and the code the database gave them
    for (int r = 0; r < rowCount(); ++r) {
        const Row &row = m_rows[r];
        if (!row.modified()) continue;
        QSqlQuery q(m_db);
        if (row.isNew()) {
            QStringList names, marks;
            QVariantList values;
            for (int c = 0; c < m_record.count(); ++c) {
                if (m_record.fieldName(c) == kCode) continue;
                names << m_record.fieldName(c);
                marks << QStringLiteral("?");
                values << nullIfEmpty(row.now[c], m_record.field(c).metaType());
            }
            if (!q.prepare(QStringLiteral("INSERT INTO CAD_VENDEDOR (") + names.join(u',') +
                           QStringLiteral(") VALUES (") + marks.join(u',') +
                           QStringLiteral(") RETURNING COD_VEND")))
                return fail(q.lastError().text());
            for (const QVariant &v : values)
                q.addBindValue(v);
            if (!q.exec()) return fail(q.lastError().text());
            if (!q.next())
                return fail(QStringLiteral("O banco de dados não devolveu o código do novo Vendedor."));
            codes << qMakePair(r, q.value(0));
            continue;
        }
        QStringList sets, where;
        QVariantList setValues, whereValues;
        for (int c = 0; c < m_record.count(); ++c) {
            const QString name = m_record.fieldName(c);
            if (differs(row.read[c], row.now[c])) {
                sets << name + QStringLiteral(" = ?");
                setValues << nullIfEmpty(row.now[c], m_record.field(c).metaType());
            }
            if (row.read[c].isNull()) {
                where << name + QStringLiteral(" IS NULL");
            } else {
                where << name + QStringLiteral(" = ?");
                whereValues << sqlValue(row.read[c]);
            }
        }
        if (!q.prepare(QStringLiteral("UPDATE CAD_VENDEDOR SET ") + sets.join(QStringLiteral(", ")) +
                       QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))))
            return fail(q.lastError().text());
        for (const QVariant &v : setValues)
            q.addBindValue(v);
        for (const QVariant &v : whereValues)
            q.addBindValue(v);
        if (!q.exec()) return fail(q.lastError().text());
        if (q.numRowsAffected() != 1)
            return fail(
                QStringLiteral("O Vendedor foi alterado ou excluído em outro computador desde que foi lido. "
                               "Nada foi gravado; feche e abra a janela para ver os dados atuais."));
    }
    if (!m_db.commit()) return fail(m_db.lastError().text());
    const int codeColumn = column(kCode);
    for (const auto &[r, code] : codes) {
        m_rows[r].now[codeColumn] = code;
        if (newCode) *newCode = code;
    }
    for (Row &row : m_rows)
        row.read = row.now;
    return true;
}

void SellerRegistry::cancel() {
    if (m_current >= 0) {
        Row &row = m_rows[m_current];
        if (row.isNew()) {
            m_rows.removeAt(m_current);
            m_current = m_rows.isEmpty() ? -1 : qBound(0, m_beforeInsert, rowCount() - 1);
        } else {
            row.now = row.read;
        }
    }
    m_state = State::Browse;
}

bool SellerRegistry::removeCurrent(QString *error) {
    if (m_current < 0) return false;
    const Row &row = m_rows[m_current];
    if (!row.isNew()) {
        QSqlQuery q(m_db);
        QStringList where;
        QVariantList values;
        for (int c = 0; c < m_record.count(); ++c) {
            if (row.read[c].isNull()) {
                where << m_record.fieldName(c) + QStringLiteral(" IS NULL");
            } else {
                where << m_record.fieldName(c) + QStringLiteral(" = ?");
                values << sqlValue(row.read[c]);
            }
        }
        if (!q.prepare(QStringLiteral("DELETE FROM CAD_VENDEDOR WHERE ") +
                       where.join(QStringLiteral(" AND ")))) {
            if (error) *error = q.lastError().text();
            return false;
        }
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            if (error) *error = q.lastError().text();
            return false;
        }
        if (q.numRowsAffected() != 1) {
            if (error)
                *error = QStringLiteral(
                    "O Vendedor foi alterado ou excluído em outro computador desde que foi lido. "
                    "Nada foi excluído; feche e abra a janela para ver os dados atuais.");
            return false;
        }
    }
    m_rows.removeAt(m_current);
    m_current = m_rows.isEmpty() ? -1 : qMin(m_current, rowCount() - 1);
    m_state = State::Browse;
    return true;
}

int SellerRegistry::findCode(int code) const {
    const int c = column(kCode);
    for (int r = 0; r < rowCount(); ++r)
        if (!m_rows[r].now[c].isNull() && m_rows[r].now[c].toInt() == code) return r;
    return -1;
}

int SellerRegistry::findName(const QString &start) const {
    const int c = column(QStringLiteral("NOME_VEND"));
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[r].now[c].toString().startsWith(start, Qt::CaseInsensitive)) return r;
    return -1;
}
