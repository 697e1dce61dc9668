#include "layout/PrintQueue.h"

#include "data/BulkWriter.h"
#include "data/TDM.h"
#include "data/TicketTables.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVector>

namespace {

// Many queue rows in one block of inserts, every value a parameter: AUTOCOD, N1..Nk, NUMBILHETE.
QString blockInsert(int perTicket, int rows) {
    QString columns = QStringLiteral("AUTOCOD");
    for (int k = 1; k <= perTicket; ++k)
        columns += QStringLiteral(", N%1").arg(k);
    // Outside the WhatsApp mode the code is the empty text, as a single insert would write it.
    columns += QStringLiteral(", NUMBILHETE, AUT_DIGITAL");
    return BulkWriter::insertBlock(QStringLiteral("TAB_PRN"), columns, perTicket + 2, rows, QStringLiteral("''"));
}

// The engine allows 255 statements' contexts and a bounded parameter message per block; past some
// fifty rows a longer block only costs more to compile (measured with the print-run bench).
int rowsPerBlock(int perTicket) {
    return std::min(50, 1200 / (perTicket + 2));
}

} // namespace

PrintQueue::Outcome PrintQueue::fill(const QString &table, int perTicket, const QList<QPair<int, int>> &ranges,
                                     const QHash<int, QString> &codes, const Progress &progress) {
    Outcome out;
    const auto ticketTable = TicketTables::find(table);
    if (!ticketTable || ticketTable->perTicket != perTicket) {
        out.error = QStringLiteral("Tabela de bilhetes inválida: ") + table;
        return out;
    }
    qint64 total = 0;
    for (const auto &[from, to] : ranges)
        if (to >= from) total += qint64(to) - from + 1;

    BulkWriter reader, writer;
    if (!reader.open(m_tdm.mainPath(), &out.error, true) || !writer.open(m_tdm.printPath(), &out.error))
        return out;
    if (!writer.execute(QStringLiteral("DELETE FROM TAB_PRN"), {}, &out.error)) return out;

    QStringList numberColumns;
    for (int k = 1; k <= perTicket; ++k)
        numberColumns << QStringLiteral("N%1").arg(k);
    const QString select = QStringLiteral("SELECT NUMBILHETE, %1 FROM %2 WHERE NUMBILHETE BETWEEN ? AND ? "
                                          "ORDER BY NUMBILHETE")
                               .arg(numberColumns.join(u','), ticketTable->name);
    const int perBlock = rowsPerBlock(perTicket);
    const int width = perTicket + 2;
    const QString fullBlock = blockInsert(perTicket, perBlock);
    QStringList singleColumns{QStringLiteral("AUTOCOD")};
    singleColumns << numberColumns << QStringLiteral("NUMBILHETE") << QStringLiteral("AUT_DIGITAL");
    const QString single = QStringLiteral("INSERT INTO TAB_PRN (%1) VALUES (%2)")
                               .arg(singleColumns.join(u','), QStringList(singleColumns.size(), QStringLiteral("?"))
                                                                  .join(u','));
    QVector<qint32> block;
    block.reserve(perBlock * width);
    int inBlock = 0;
    qint64 key = 0;
    bool failed = false;

    const auto flush = [&] {
        if (inBlock == 0) return true;
        const bool ok = writer.executePrepared(inBlock == perBlock ? fullBlock : blockInsert(perTicket, inBlock),
                                               block.constData(), int(block.size()), &out.error);
        block.clear();
        inBlock = 0;
        return ok;
    };
    const auto row = [&](const qint32 *values, const bool *nulls, int) {
        const qint32 numBilhete = values[0];
        ++key;
        bool plain = !codes.contains(numBilhete);
        for (int k = 1; k <= perTicket && plain; ++k)
            plain = !nulls[k];
        if (plain) {
            block << qint32(key);
            for (int k = 1; k <= perTicket; ++k)
                block << values[k];
            block << numBilhete;
            if (++inBlock == perBlock && !flush()) return !(failed = true);
        } else {
            // A ticket with a code (or a missing number) goes on its own, with its texts and nulls.
            if (!flush()) return !(failed = true);
            QVariantList one{int(key)};
            for (int k = 1; k <= perTicket; ++k)
                one << (nulls[k] ? QVariant() : QVariant(int(values[k])));
            one << int(numBilhete) << QVariant(codes.value(numBilhete));
            if (!writer.executeValues(single, one, &out.error)) return !(failed = true);
        }
        if (progress && key % perBlock == 0 && !progress(key, total)) {
            out.cancelled = true;
            return false;
        }
        return true;
    };
    for (const auto &[from, to] : ranges) {
        if (!reader.select(select, {qint32(from), qint32(to)}, row, &out.error)) failed = true;
        if (failed || out.cancelled) break;
    }
    if (!failed && !out.cancelled && !flush()) failed = true;
    // The generator stands where n single inserts after its restart would leave it.
    if (!failed && !out.cancelled &&
        !writer.execute(QStringLiteral("ALTER SEQUENCE GEN_TAB_PRN_ID RESTART WITH %1").arg(key), {}, &out.error))
        failed = true;
    if (failed || out.cancelled) {
        writer.rollback();
        QString ignored;
        empty(&ignored);
        return out;
    }
    if (!writer.commit(&out.error)) {
        empty(nullptr);
        return out;
    }
    if (progress) progress(key, total);
    out.ok = true;
    out.tickets = key;
    return out;
}

bool PrintQueue::empty(QString *error) {
    QSqlQuery q(m_tdm.CONEX_PRINT());
    if (q.exec(QStringLiteral("DELETE FROM TAB_PRN")) &&
        q.exec(QStringLiteral("ALTER SEQUENCE GEN_TAB_PRN_ID RESTART WITH 0")))
        return true;
    if (error) *error = q.lastError().text();
    return false;
}
