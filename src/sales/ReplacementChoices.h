#pragma once

#include "salespage/ModalityFormat.h"
#include "salespage/TicketListing.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <memory>

// A list of tickets offered to replace the sold ones of an order: the free tickets of the order's block,
// the reserve block, or every free ticket of the raffle (up to a million, read as they are scrolled).
// Rows once chosen stay marked, drawn struck through in red.
class ReplacementChoices : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReplacementChoices(QSqlDatabase db, QObject *parent = nullptr);
    ~ReplacementChoices() override;

    void setFormat(const ModalityFormat &format) { m_format = format; }

    // Free tickets (neither sold nor reserved) between two control numbers.
    bool openBlock(const QString &table, int slot, int from, int to, QString *error);
    // Every free ticket of the raffle.
    bool openFree(const QString &table, int slot, QString *error);
    // The reserve block: tickets marked 'R' among 1 .. highest.
    bool openReserved(const QString &table, int slot, int highest, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    // Reads every row now (a random pick needs the whole count).
    bool finishLoading(QString *error);

    int numBilhete(int row) const;
    bool isChosen(int row) const { return m_chosen.contains(numBilhete(row)); }
    bool hasChosen(int numBilhete) const { return m_chosen.contains(numBilhete); }
    void choose(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // True when the raffle's buyer table holds a validated row ("Sim") for the control number.
    static bool isSold(QSqlDatabase db, int slot, int numBilhete, bool *sold, QString *error);

private:
    void reset();
    bool openListing(const QString &table, int slot, TicketListing::Mode mode, int from, int to, QString *error);

    QSqlDatabase m_db;
    ModalityFormat m_format;
    std::unique_ptr<TicketListing> m_listing; // block and whole raffle
    QList<int> m_fixed;                       // reserve block
    QSet<int> m_chosen;
    bool m_open = false;
};
