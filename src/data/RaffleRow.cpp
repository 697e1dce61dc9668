#include "data/RaffleRow.h"

RaffleRow::RaffleRow(QObject *parent) : QObject(parent) {}

bool RaffleRow::read(const QSqlDatabase &db, int codRifa, CachedTable *row, QString *error) {
    return row->open(db, QStringLiteral("CADASTRO"), QStringLiteral("Select * from cadastro where CODRIFA=?"),
                     {codRifa}, error);
}

bool RaffleRow::load(const QSqlDatabase &db, int codRifa, QString *error) {
    CachedTable row(m_row.name());
    const bool read = RaffleRow::read(db, codRifa, &row, error);
    // As before a failed read: the working row is closed rather than left half-read.
    m_row = std::move(row);
    Q_EMIT changed();
    return read;
}

void RaffleRow::take(CachedTable row) {
    m_row = std::move(row);
    Q_EMIT changed();
}

void RaffleRow::close() {
    if (!m_row.isOpen()) return;
    m_row.close();
    Q_EMIT changed();
}

bool RaffleRow::isLoaded() const {
    return m_row.isOpen() && m_row.rowCount() > 0;
}

QVariant RaffleRow::value(const QString &column) const {
    return isLoaded() ? m_row.value(0, column) : QVariant();
}

QSqlRecord RaffleRow::record() const {
    return isLoaded() ? m_row.record(0) : QSqlRecord();
}

int RaffleRow::codRifa() const {
    return value(QStringLiteral("CODRIFA")).toInt();
}

QString RaffleRow::nomeRifa() const {
    return value(QStringLiteral("NOME_RIFA")).toString();
}

QString RaffleRow::modalidade() const {
    return value(QStringLiteral("MODALIDADE")).toString();
}

double RaffleRow::valor() const {
    return value(QStringLiteral("VLR_RIFA")).toDouble();
}

bool RaffleRow::isActive() const {
    return value(QStringLiteral("RIFA_ATIVA")).toInt() != 0;
}

void RaffleRow::setValue(const QString &column, const QVariant &value) {
    if (!isLoaded()) return;
    m_row.setValue(0, column, value);
    Q_EMIT changed();
}

bool RaffleRow::isModified() const {
    return m_row.isModified();
}

bool RaffleRow::apply(QString *error) {
    if (!m_row.isModified()) return true;
    if (!m_row.applyUpdates(error)) return false;
    Q_EMIT changed();
    return true;
}
