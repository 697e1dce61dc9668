#include "sales/ReplacementChoices.h"

#include "data/TicketTables.h"
#include "salespage/TicketListing.h"

#include <QColor>
#include <QFont>
#include <QSqlError>
#include <QSqlQuery>

ReplacementChoices::ReplacementChoices(QSqlDatabase db, QObject *parent)
    : QAbstractTableModel(parent), m_db(db) {}

ReplacementChoices::~ReplacementChoices() = default;

void ReplacementChoices::reset() {
    if (m_listing) m_listing->close();
    m_listing.reset();
    m_fixed.clear();
    m_chosen.clear();
    m_open = false;
}

bool ReplacementChoices::openBlock(const QString &table, int slot, int from, int to, QString *error) {
    return openListing(table, slot, TicketListing::Mode::FreeBlock, from, to, error);
}

bool ReplacementChoices::openFree(const QString &table, int slot, QString *error) {
    return openListing(table, slot, TicketListing::Mode::FreeAll, 0, 0, error);
}

bool ReplacementChoices::openListing(const QString &table, int slot, TicketListing::Mode mode, int from, int to,
                                     QString *error) {
    beginResetModel();
    reset();
    m_listing = std::make_unique<TicketListing>(m_db);
    // Rows read later reach the view as rows of this list.
    connect(m_listing.get(), &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex &, int first, int last) { beginInsertRows({}, first, last); });
    connect(m_listing.get(), &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); });
    m_open = m_listing->open(table, slot, mode, from, to, error);
    if (!m_open) m_listing.reset();
    endResetModel();
    return m_open;
}

bool ReplacementChoices::openReserved(const QString &table, int slot, int highest, QString *error) {
    beginResetModel();
    reset();
    const auto t = TicketTables::find(table);
    const QString mark = TicketTables::markColumn(slot);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = t && !mark.isEmpty() &&
              q.prepare(QStringLiteral("SELECT NUMBILHETE FROM %1 WHERE NUMBILHETE>=1 AND NUMBILHETE<=? AND "
                                       "%2=? ORDER BY NUMBILHETE")
                            .arg(t->name, mark));
    if (ok) {
        q.addBindValue(highest);
        q.addBindValue(QStringLiteral("R"));
        ok = q.exec();
    }
    if (ok) {
        while (q.next())
            m_fixed << q.value(0).toInt();
        m_open = true;
    } else if (error) {
        *error = t ? q.lastError().text() : QStringLiteral("Tabela de bilhetes inválida: ") + table;
    }
    endResetModel();
    return ok;
}

void ReplacementChoices::close() {
    beginResetModel();
    reset();
    endResetModel();
}

bool ReplacementChoices::finishLoading(QString *error) {
    if (!m_listing || m_listing->isComplete()) return true;
    return m_listing->finishLoading(error);
}

int ReplacementChoices::numBilhete(int row) const {
    if (row < 0) return 0;
    if (m_listing) return row < m_listing->rowCount() ? m_listing->ticket(row).numBilhete : 0;
    return row < m_fixed.size() ? m_fixed.at(row) : 0;
}

void ReplacementChoices::choose(int row) {
    m_chosen.insert(numBilhete(row));
    Q_EMIT dataChanged(index(row, 0), index(row, 1));
}

int ReplacementChoices::rowCount(const QModelIndex &parent) const {
    if (parent.isValid() || !m_open) return 0;
    return m_listing ? m_listing->rowCount() : int(m_fixed.size());
}

int ReplacementChoices::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ReplacementChoices::data(const QModelIndex &index, int role) const {
    if (!index.isValid()) return {};
    const bool chosen = isChosen(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? m_format.format(numBilhete(index.row())) : QStringLiteral("     Não");
    case Qt::FontRole: {
        QFont f;
        f.setStrikeOut(chosen);
        return f;
    }
    case Qt::ForegroundRole:
        return chosen ? QColor(Qt::red) : QColor(Qt::black);
    default:
        return {};
    }
}

QVariant ReplacementChoices::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? QStringLiteral("Nº C. BIlhete") : QStringLiteral("Vendido");
}

bool ReplacementChoices::isSold(QSqlDatabase db, int slot, int numBilhete, bool *sold, QString *error) {
    *sold = false;
    const QString buyerTable = TicketTables::buyerTable(slot);
    if (buyerTable.isEmpty()) {
        if (error) *error = QStringLiteral("Rifa inválida: ") + QString::number(slot);
        return false;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("Select NUMBILHETE from %1 where VALIDADO=? and NUM_CAD_RIFA=? AND "
                                  "NUMBILHETE=?")
                       .arg(buyerTable))) {
        if (error) *error = q.lastError().text();
        return false;
    }
    q.addBindValue(QStringLiteral("Sim"));
    q.addBindValue(slot);
    q.addBindValue(numBilhete);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    *sold = q.next();
    return true;
}
