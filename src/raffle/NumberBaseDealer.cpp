#include "raffle/NumberBaseDealer.h"

#include "data/BulkWriter.h"
#include "data/TicketTables.h"
#include "platform/Dialogs.h"
#include "platform/Random.h"
#include "platform/WaitCursor.h"
#include "raffle/RaffleSelection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <limits>

namespace {

const QString kFailurePrefix = QStringLiteral("Houve uma falha na geração de números. Detalhes: ");

// Many tickets in one block of inserts, every value a parameter.
QString blockInsert(const QString &table, int perTicket, int rows) {
    QString columns = QStringLiteral("NUMBILHETE");
    for (int k = 1; k <= perTicket; ++k)
        columns += QStringLiteral(", N%1").arg(k);
    return BulkWriter::insertBlock(table, columns, perTicket + 1, rows);
}

// Tickets per block: the engine allows 255 statements' contexts and a bounded parameter message.
int rowsPerBlock(int perTicket) {
    return std::min(NumberBaseDealer::RowsPerStatement, 1200 / (perTicket + 1));
}

QString elapsedText(qint64 ms) {
    return QTime(0, 0).addMSecs(int(ms)).toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

NumberBaseDealer::NumberBaseDealer(QSqlDatabase db, Dialogs &dialogs, Random &random)
    : m_db(std::move(db)), m_dialogs(dialogs), m_random(random) {}

void NumberBaseDealer::notice(const QString &text) {
    if (!m_quiet) m_dialogs.message(QStringLiteral("KORVANTE"), text, BoxIcon::None);
}

bool NumberBaseDealer::fail(const QString &error) {
    if (m_db.isOpen()) m_db.rollback();
    if (m_lastError.isEmpty()) m_lastError = error;
    m_dialogs.error(error);
    return false;
}

bool NumberBaseDealer::exec(const QString &sql, const QVariantList &values, QString *error) {
    QSqlQuery q(m_db);
    if (!q.prepare(sql)) {
        *error = q.lastError().text();
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

QString NumberBaseDealer::checkGenerate(const QString &table, int perTicket, int numbers) {
    const auto t = TicketTables::find(table);
    if (!t) return QStringLiteral("Tabela desconhecida: %1").arg(table);
    if (!TicketTables::modalitySizes().contains(numbers))
        return QStringLiteral("Quantidade de números inválida: %1 (use 100, 1000, 10000, 100000 ou 1000000)")
            .arg(numbers);
    if (perTicket != t->perTicket)
        return QStringLiteral("A tabela %1 tem %2 números por bilhete, não %3")
            .arg(t->name)
            .arg(t->perTicket)
            .arg(perTicket);
    if (numbers != t->numbers)
        return QStringLiteral("A tabela %1 é da modalidade de %2 números, não %3")
            .arg(t->name)
            .arg(t->numbers)
            .arg(numbers);
    return {};
}

QString NumberBaseDealer::checkAppend(const QString &table, int perTicket, int upperBound) {
    const auto t = TicketTables::find(table);
    if (!t) return QStringLiteral("Tabela desconhecida: %1").arg(table);
    if (perTicket != t->perTicket)
        return QStringLiteral("A tabela %1 tem %2 números por bilhete, não %3")
            .arg(t->name)
            .arg(t->perTicket)
            .arg(perTicket);
    if (perTicket != 2 && perTicket != 4 && perTicket != 5)
        return QStringLiteral("Acrescentar bilhetes só vale para tabelas de 2, 4 ou 5 números por bilhete");
    // A number above the modality's highest would break the table's numbers.
    if (upperBound < 0 || upperBound > t->highestNumber())
        return QStringLiteral("O limite deve estar entre 0 e %1 para a tabela %2")
            .arg(t->highestNumber())
            .arg(t->name);
    return {};
}

QString NumberBaseDealer::salesHeldBy(const QString &table) const {
    const auto t = TicketTables::find(table);
    if (!t) return QStringLiteral("Tabela desconhecida: %1").arg(table);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    QStringList marked;
    for (int slot = 1; slot <= 5; ++slot)
        marked << TicketTables::markColumn(slot) + QStringLiteral(" IN ('S', 'R')");
    if (!q.exec(QStringLiteral("SELECT FIRST 1 NUMBILHETE FROM %1 WHERE %2").arg(t->name, marked.join(" OR "))))
        return QStringLiteral("Não foi possível conferir as vendas da tabela %1: %2")
            .arg(t->name, q.lastError().text());
    if (q.next())
        return QStringLiteral("A tabela %1 tem bilhetes vendidos ou reservados (o bilhete %2 é um deles): "
                              "sorteá-la de novo mudaria os números de bilhetes já vendidos. Zere as "
                              "validações das rifas que usam esta tabela antes.")
            .arg(t->name)
            .arg(q.value(0).toLongLong());
    // A raffle's sales point at control numbers of its table even where a mark went missing.
    if (!q.exec(QStringLiteral("SELECT CODRIFA, MODALIDADE, USAR_QT_NUM FROM CADASTRO ORDER BY CODRIFA")))
        return QStringLiteral("Não foi possível conferir as vendas da tabela %1: %2")
            .arg(t->name, q.lastError().text());
    QList<int> raffles;
    while (q.next()) {
        const int perTicket = RaffleSelection::numbersPerTicketOf(q.value(2).toString());
        const int highest = RaffleSelection::highestNumberOf(q.value(1).toString());
        if (highest > 0 && TicketTables::nameFor(highest, perTicket) == t->name) raffles << q.value(0).toInt();
    }
    for (int slot : raffles) {
        const QString buyers = TicketTables::buyerTable(slot);
        if (buyers.isEmpty()) continue;
        QSqlQuery sold(m_db);
        if (!sold.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(buyers)) || !sold.next())
            return QStringLiteral("Não foi possível conferir as vendas da tabela %1: %2")
                .arg(t->name, sold.lastError().text());
        if (const qint64 rows = sold.value(0).toLongLong(); rows > 0)
            return QStringLiteral("A tabela %1 é a da RIFA Nº %2, que tem %3 venda(s) registrada(s) em %4: "
                                  "sorteá-la de novo mudaria os números de bilhetes já vendidos. Zere as "
                                  "validações dessa rifa antes.")
                .arg(t->name)
                .arg(slot)
                .arg(rows)
                .arg(buyers);
    }
    return {};
}

bool NumberBaseDealer::fillMasterTable() {
    notice(QStringLiteral("Será gerado 1 milhão de números para a base principal BS1"));
    WaitCursor wait;
    QString error;
    // Emptying and refilling commit together: a run that dies leaves the old table.
    if (!m_db.transaction()) return fail(m_db.lastError().text());
    if (!exec(QStringLiteral("DELETE FROM BS1"), {}, &error)) return fail(error);
    constexpr int total = 1000000, chunk = 50000;
    if (m_progress) m_progress(0, total);
    for (int from = 0; from < total; from += chunk) {
        // Our own counter, not user input: the loop runs inside the engine.
        QSqlQuery q(m_db);
        const QString block = QStringLiteral("EXECUTE BLOCK AS DECLARE v INTEGER = %1; BEGIN "
                                             "WHILE (v < %2) DO BEGIN "
                                             "INSERT INTO BS1 (NUMBILHETE, N1, INC) VALUES (:v + 1, :v, 0); "
                                             "v = v + 1; END END")
                                  .arg(from)
                                  .arg(from + chunk);
        if (!q.exec(block)) return fail(q.lastError().text());
        if (m_progress) m_progress(from + chunk, total);
    }
    // The generator follows the keys, as if each row had drawn its own.
    if (!m_db.commit()) return fail(m_db.lastError().text());
    if (!exec(QStringLiteral("ALTER SEQUENCE GEN_BS1_ID RESTART WITH %1").arg(total), {}, &error))
        return fail(error);
    wait.restore();
    notice(QStringLiteral("Base Criada com sucesso!"));
    return true;
}

NumberBaseDealer::Result NumberBaseDealer::deal(BulkWriter &writer, const QString &table, int perTicket,
                                                QVector<qint32> &numbers, qint64 firstKey,
                                                QVector<qint32> *failedNumbers) {
    Result result;
    result.ok = true;
    const int tickets = int(numbers.size() / perTicket);
    const int width = perTicket + 1;
    // Fisher-Yates: a uniform dealing whose cost does not grow as the pool empties. A fast generator
    // freshly seeded from the random source for every run: a million draws from the system's own
    // source would cost a system call each.
    quint32 seeds[8];
    for (quint32 &seed : seeds)
        seed = m_random.bounded(std::numeric_limits<quint32>::max());
    QRandomGenerator shuffle(seeds, 8);
    for (qsizetype i = numbers.size() - 1; i > 0; --i)
        std::swap(numbers[i], numbers[shuffle.bounded(quint32(i + 1))]);

    const int perBlock = rowsPerBlock(perTicket);
    const QString fullBlock = blockInsert(table, perTicket, perBlock);
    const QString single = blockInsert(table, perTicket, 1);
    QVector<qint32> values;
    values.reserve(perBlock * width);

    if (m_progress) m_progress(0, tickets);
    for (int first = 0; first < tickets; first += perBlock) {
        const int count = std::min(perBlock, tickets - first);
        values.clear();
        for (int i = first; i < first + count; ++i) {
            values << qint32(firstKey + i);
            for (int k = 0; k < perTicket; ++k)
                values << numbers[i * perTicket + k];
        }
        QString error;
        if (writer.executePrepared(count == perBlock ? fullBlock : blockInsert(table, perTicket, count),
                                   values.constData(), int(values.size()), &error)) {
            result.inserted += count;
        } else {
            // Find the ticket that cannot be written: each of the others still goes in.
            for (int i = 0; i < count; ++i) {
                if (writer.executePrepared(single, values.constData() + i * width, width, &error)) {
                    ++result.inserted;
                    continue;
                }
                ++result.failed;
                for (int k = 1; k < width; ++k)
                    failedNumbers->append(values[i * width + k]);
                const QString text = kFailurePrefix + error;
                if (m_lastError.isEmpty()) m_lastError = text;
                m_dialogs.message(QStringLiteral("KORVANTE"), text, BoxIcon::None);
            }
        }
        if (m_progress) m_progress(first + count, tickets);
    }
    return result;
}

NumberBaseDealer::Result NumberBaseDealer::generateTicketTable(const QString &table, int perTicket,
                                                               int numbers) {
    Result result;
    if (const QString why = checkGenerate(table, perTicket, numbers); !why.isEmpty()) {
        m_dialogs.error(why);
        return result;
    }
    if (const QString why = salesHeldBy(table); !why.isEmpty()) return fail(why), result;
    QElapsedTimer clock;
    clock.start();
    const QString name = TicketTables::find(table)->name;
    QString error;
    {
        WaitCursor wait;
        QSqlQuery q(m_db);
        // Through the key: BS1's row p must hold the number p - 1.
        q.prepare(QStringLiteral(
            "SELECT COUNT(*) FROM BS1 WHERE NUMBILHETE BETWEEN 1 AND ? AND N1 = NUMBILHETE - 1"));
        q.addBindValue(numbers);
        if (!q.exec() || !q.next()) return fail(q.lastError().text()), result;
        if (q.value(0).toInt() != numbers) {
            fail(QStringLiteral(
                     "A base principal BS1 não tem os %1 números desta modalidade: gere a BS1 primeiro.")
                     .arg(numbers));
            return result;
        }
    }
    // Emptying, dealing, marks and the generator commit together: a run that fails or dies
    // leaves the table and BS1 as they were.
    BulkWriter writer;
    if (!writer.open(m_db.databaseName(), &error)) return fail(error), result;
    if ((m_writeMarks && !writer.execute(QStringLiteral("update BS1 set INC=0 where INC=1"), {}, &error)) ||
        !writer.execute(QStringLiteral("delete from %1").arg(name), {}, &error))
        return fail(error), result;

    const int tickets = numbers / perTicket;
    QVector<qint32> pool(numbers);
    for (int v = 0; v < numbers; ++v)
        pool[v] = v;
    const qint64 firstKey = 1;
    QVector<qint32> failedNumbers;
    result = deal(writer, name, perTicket, pool, firstKey, &failedNumbers);
    // A modality not divisible by q leaves its last numbers undealt: they stay free.
    for (qsizetype i = qsizetype(tickets) * perTicket; i < pool.size(); ++i)
        failedNumbers.append(pool[i]);
    // The generator stands where n single inserts after its restart would leave it.
    if (!writer.execute(QStringLiteral("ALTER SEQUENCE GEN_%1_ID RESTART WITH %2").arg(name).arg(tickets), {},
                        &error))
        return fail(error), Result{};
    if (m_writeMarks) {
        if (!writer.execute(QStringLiteral("UPDATE BS1 SET INC = 1 WHERE NUMBILHETE BETWEEN 1 AND ?"),
                            {numbers}, &error))
            return fail(error), Result{};
        for (qint32 v : failedNumbers)
            if (!writer.execute(QStringLiteral("UPDATE BS1 SET INC = 0 WHERE NUMBILHETE = ?"), {v + 1},
                                &error))
                return fail(error), Result{};
    }
    if (!writer.commit(&error)) return fail(error), Result{};
    notice(QStringLiteral("Concluído com sucesso em...:") + elapsedText(clock.elapsed()));
    return result;
}

NumberBaseDealer::Result NumberBaseDealer::appendTickets(const QString &table, int perTicket,
                                                         int upperBound) {
    Result result;
    if (const QString why = checkAppend(table, perTicket, upperBound); !why.isEmpty()) {
        m_dialogs.error(why);
        return result;
    }
    if (const QString why = salesHeldBy(table); !why.isEmpty()) return fail(why), result;
    const QString name = TicketTables::find(table)->name;
    // The table alone says which numbers are dealt: BS1's marks are shared by every table and a full
    // run of another table clears them, so trusting them would deal a number twice.
    QVector<qint32> pool;
    qint64 firstKey = 1;
    {
        WaitCursor wait;
        std::vector<bool> held(size_t(upperBound) + 1, false);
        QStringList columns;
        for (int k = 1; k <= perTicket; ++k)
            columns << QStringLiteral("N%1").arg(k);
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u','), name)))
            return fail(q.lastError().text()), result;
        while (q.next())
            for (int k = 0; k < perTicket; ++k) {
                const QVariant v = q.value(k);
                if (v.isNull()) continue;
                const qint64 n = v.toLongLong();
                if (n >= 0 && n <= upperBound) held[size_t(n)] = true;
            }
        for (int n = 0; n <= upperBound; ++n)
            if (!held[size_t(n)]) pool.append(n);
        QSqlQuery last(m_db);
        if (!last.exec(QStringLiteral("SELECT COALESCE(MAX(NUMBILHETE), 0) FROM %1").arg(name)) || !last.next())
            return fail(last.lastError().text()), result;
        firstKey = last.value(0).toLongLong() + 1;
    }
    notice(QString::number(pool.size()));
    const int tickets = int(pool.size() / perTicket);
    QString error;
    BulkWriter writer;
    if (!writer.open(m_db.databaseName(), &error)) return fail(error), result;
    QVector<qint32> failedNumbers; // these stay marked as used, and out of the table
    result = deal(writer, name, perTicket, pool, firstKey, &failedNumbers);
    if (tickets > 0) {
        // New tickets follow the last one, and the generator stands after them.
        if (!writer.execute(QStringLiteral("ALTER SEQUENCE GEN_%1_ID RESTART WITH %2")
                                .arg(name)
                                .arg(firstKey + tickets - 1),
                            {}, &error))
            return fail(error), Result{};
        if (!writer.execute(
                QStringLiteral("UPDATE BS1 SET INC = 1 WHERE NUMBILHETE <= ? AND N1 <= ? AND INC <> 1"),
                {upperBound + 1, upperBound}, &error))
            return fail(error), Result{};
        // The few numbers that did not fill a whole ticket remain free for a later run.
        for (qsizetype i = qsizetype(tickets) * perTicket; i < pool.size(); ++i)
            if (!writer.execute(QStringLiteral("UPDATE BS1 SET INC = 0 WHERE NUMBILHETE = ?"), {pool[i] + 1},
                                &error))
                return fail(error), Result{};
    }
    if (!writer.commit(&error)) return fail(error), Result{};
    notice(QStringLiteral("Processo Concluído!"));
    return result;
}
