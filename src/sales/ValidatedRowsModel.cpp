#include "sales/ValidatedRowsModel.h"

#include "platform/Money.h"
#include "sales/ValidationListing.h"

ValidatedRowsModel::ValidatedRowsModel(ValidationListing &listing, QObject *parent)
    : QAbstractTableModel(parent), m_listing(listing) {}

int ValidatedRowsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

void ValidatedRowsModel::endChange() {
    m_rows = m_listing.count();
    endResetModel();
}

void ValidatedRowsModel::countChanged() {
    const int now = m_listing.count();
    if (now > m_rows) {
        beginInsertRows({}, m_rows, now - 1);
        m_rows = now;
        endInsertRows();
    } else if (now < m_rows) {
        beginRemoveRows({}, now, m_rows - 1);
        m_rows = now;
        endRemoveRows();
    }
}

int ValidatedRowsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ValidationListing::ColumnCount;
}

QVariant ValidatedRowsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    if (role == Qt::TextAlignmentRole) {
        const int c = index.column();
        if (c == ValidationListing::NumBilhete || c == ValidationListing::Valor)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole) return {};
    const auto sale = m_listing.row(index.row());
    if (!sale) return {};
    switch (index.column()) {
    case ValidationListing::NumBilhete:
        return m_listing.formatNumber(sale->numBilhete);
    case ValidationListing::Comprador:
        return sale->nomeComp;
    case ValidationListing::Fone:
        return sale->foneComp;
    case ValidationListing::Cidade:
        return sale->cidComp;
    case ValidationListing::Pago:
        return sale->validado;
    case ValidationListing::Data:
        return sale->dataVal.isValid() ? sale->dataVal.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    case ValidationListing::Valor:
        return sale->valor.isNull() ? QString()
                                    : QStringLiteral("R$ ") + Money::format(sale->valor.toDouble());
    case ValidationListing::Vendedor:
        return sale->nomeVend;
    case ValidationListing::AutDigital:
        return sale->autDigital;
    }
    return {};
}

QVariant ValidatedRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return ValidationListing::columnTitle(section);
    return {};
}
