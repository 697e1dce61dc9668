#pragma once

#include "data/AppContext.h"
#include "draw/DrawRecord.h"
#include "reports/TicketLookup.h"

#include <QSqlDatabase>
#include <optional>

// The record of the draws in CRF.XML, for the "Ata do Sorteio".
class DrawRecords {
public:
    explicit DrawRecords(AppContext &ctx);

    // Fills the raffle's part and the winner's part (numbers, authentication code, buyer, masked phone)
    // from the database as it is now; the draw's own part is set by the caller.
    bool complete(DrawRecord &record, const std::optional<TicketRow> &winner, QString *error) const;
    // Writes the record once; sets its id.
    bool write(DrawRecord &record, QString *error) const;

    std::optional<DrawRecord> read(int id, QString *error) const;
    // The last draw recorded for the raffle slot.
    std::optional<DrawRecord> latest(int codRifa, QString *error) const;

    static QString writeFailedMessage();

private:
    std::optional<DrawRecord> readWhere(const QString &condition, int value, QString *error) const;

    AppContext &m_ctx;
};
