#include "sellers/SellerRegistry.h"

namespace {

const QString kCode = QStringLiteral("COD_VEND");

// The registry's own words for a seller changed elsewhere; "what" is what did not happen.
QString changedElsewhere(const QString &what) {
    return QStringLiteral("O Vendedor foi alterado ou excluído em outro computador desde que foi lido. "
                          "Nada foi %1; feche e abra a janela para ver os dados atuais.")
        .arg(what);
}

} // namespace

SellerRegistry::SellerRegistry(QSqlDatabase db) : m_db(std::move(db)) {
    m_table.setGeneratedKey(kCode);
    m_table.setTrimText(true); // CHAR columns are padded
}

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

bool SellerRegistry::open(QString *error) {
    close();
    // Ordered by code, so that a seller just saved, with the highest code, is the last row.
    if (!m_table.open(m_db, QStringLiteral("CAD_VENDEDOR"),
                      QStringLiteral("select ") + columns().join(u',') +
                          QStringLiteral(" from CAD_VENDEDOR order by COD_VEND"),
                      {}, error))
        return false;
    m_current = rowCount() == 0 ? -1 : 0;
    return true;
}

void SellerRegistry::close() {
    m_table.close();
    m_current = -1;
    m_beforeInsert = -1;
    m_state = State::Browse;
}

QVariant SellerRegistry::value(int row, const QString &name) const {
    return m_table.value(row, name);
}

QString SellerRegistry::codeText(const QVariant &code) {
    if (code.isNull() || !code.isValid()) return {};
    return QStringLiteral("%1").arg(code.toInt(), 2, 10, QLatin1Char('0'));
}

void SellerRegistry::moveTo(int row) {
    if (rowCount() == 0) return;
    row = qBound(0, row, rowCount() - 1);
    if (row == m_current) return;
    m_state = State::Browse;
    m_current = row;
}

void SellerRegistry::append() {
    m_beforeInsert = m_current;
    m_current = m_table.appendRow();
    m_state = State::Insert;
}

bool SellerRegistry::setValue(const QString &name, const QVariant &v) {
    if (m_current < 0 || m_table.columnIndex(name) < 0 || name.compare(kCode, Qt::CaseInsensitive) == 0)
        return false;
    // An emptied field is kept as the NULL it is written as, so the next save finds the row.
    const bool empty = v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
    m_table.setValue(m_current, name, empty ? QVariant() : v);
    if (m_state != State::Browse) return false;
    m_state = State::Edit;
    return true;
}

bool SellerRegistry::hasPendingChanges() const {
    return m_table.isModified();
}

bool SellerRegistry::save(QString *error, QVariant *newCode) {
    m_state = State::Browse;
    QVector<int> added;
    for (int r = 0; r < rowCount(); ++r)
        if (m_table.isRowInserted(r)) added << r;
    if (!m_table.applyUpdates(error)) {
        if (m_table.conflicted() && error) *error = changedElsewhere(QStringLiteral("gravado"));
        return false;
    }
    if (newCode)
        for (int r : added)
            *newCode = m_table.value(r, kCode);
    return true;
}

void SellerRegistry::cancel() {
    const bool added = m_current >= 0 && m_table.isRowInserted(m_current);
    // Every pending edit goes, also those left on sellers the window moved away from.
    m_table.cancelUpdates();
    if (added) m_current = m_beforeInsert;
    m_current = rowCount() == 0 ? -1 : qBound(0, m_current, rowCount() - 1);
    m_state = State::Browse;
}

int SellerRegistry::pendingRowWithoutName() const {
    for (int r = 0; r < rowCount(); ++r)
        if (m_table.isRowModified(r) &&
            m_table.value(r, QStringLiteral("NOME_VEND")).toString().trimmed().isEmpty())
            return r;
    return -1;
}

bool SellerRegistry::removeCurrent(QString *error) {
    if (m_current < 0) return false;
    // Only this deletion is written now; edits of other sellers wait for "Gravar".
    if (!m_table.applyDeletion(m_current, error)) {
        if (m_table.conflicted() && error) *error = changedElsewhere(QStringLiteral("excluído"));
        return false;
    }
    m_current = rowCount() == 0 ? -1 : qMin(m_current, rowCount() - 1);
    m_state = State::Browse;
    return true;
}

int SellerRegistry::findCode(int code) const {
    for (int r = 0; r < rowCount(); ++r) {
        const QVariant v = m_table.value(r, kCode);
        if (!v.isNull() && v.toInt() == code) return r;
    }
    return -1;
}

int SellerRegistry::findName(const QString &start) const {
    for (int r = 0; r < rowCount(); ++r)
        if (m_table.value(r, QStringLiteral("NOME_VEND")).toString().startsWith(start, Qt::CaseInsensitive))
            return r;
    return -1;
}
