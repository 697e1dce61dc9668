#pragma once

#include <QAbstractTableModel>

class ValidationListing;

// The validated list as a table for the grid: every cell read through the listing's blocks.
class ValidatedRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ValidatedRowsModel(ValidationListing &listing, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Call around every change of the listing's rows.
    void beginChange() { beginResetModel(); }
    void endChange();
    // The listing counted its rows: the rows beyond those shown follow (or those gone leave) while the
    // rows shown, the current one and the selection stay.
    void countChanged();

private:
    ValidationListing &m_listing;
    int m_rows = 0;
};
