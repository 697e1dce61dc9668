#include "sales/SalesClosing.h"

#include "data/Fingerprint.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "reports/TicketLookup.h"

#include <QCryptographicHash>
#include <QSaveFile>
#include <QSqlQuery>

namespace {

const QString kClosedCode = QStringLiteral("KV_VENDAS_ENCERRADAS");

QSqlError closedRefusal(const QDateTime &at) {
    return QSqlError(SalesClosing::closedMessage(at), QString(), QSqlError::UnknownError, kClosedCode);
}

// Whole seconds: what is shown is what is kept.
QDateTime nowUtc(const Clock &clock) {
    QDateTime t = clock.now().toUTC();
    const QTime tm = t.time();
    t.setTime(QTime(tm.hour(), tm.minute(), tm.second()));
    return t;
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values, QSqlError *error) {
    if (!q.prepare(sql)) {
        *error = q.lastError();
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (q.exec()) return true;
    *error = q.lastError();
    return false;
}

// Written even when nothing changes: the engine then refuses one of two concurrent transactions.
// One ticket's group, or every group of the raffle (ticket < 0).
bool takeGroups(QSqlDatabase db, int slot, int ticket, QSqlError *error) {
    QSqlQuery q(db);
    if (ticket < 0)
        return run(q, QStringLiteral("UPDATE VENDAS_TRAVAS SET GRUPO = GRUPO WHERE CODRIFA = ?"), {slot}, error);
    if (!run(q,
             QStringLiteral("UPDATE OR INSERT INTO VENDAS_TRAVAS (CODRIFA, GRUPO) VALUES (?, ?) MATCHING "
                            "(CODRIFA, GRUPO)"),
             {slot, ticket % SalesClosing::Groups}, error))
        return false;
    return true;
}

bool takeRow(QSqlDatabase db, int slot, QSqlError *error) {
    QSqlQuery q(db);
    return takeGroups(db, slot, -1, error) &&
           run(q,
               QStringLiteral("UPDATE OR INSERT INTO VENDAS_ENCERRAMENTO (CODRIFA) VALUES (?) MATCHING (CODRIFA)"),
               {slot}, error);
}

bool addEvent(QSqlDatabase db, int slot, const QString &kind, const QDateTime &at, const QVariant &sold,
              const QVariant &fingerprint, QSqlError *error) {
    QSqlQuery q(db);
    return run(q,
               QStringLiteral("INSERT INTO VENDAS_EVENTOS (CODRIFA, EVENTO, EM, QT_VENDIDOS, HASH_VENDAS) "
                              "VALUES (?, ?, ?, ?, ?)"),
               {slot, kind, BrasiliaTime::forColumn(at), sold, fingerprint}, error);
}

QString ticketId(int n, const WorkingRaffle &r) {
    return NumberFormat::ticketId(n, r.MaiorNumero);
}

} // namespace

SalesClosing::SalesClosing(AppContext &ctx) : m_ctx(ctx) {}

QString SalesClosing::closedMessage(const QDateTime &closedAt) {
    return QStringLiteral("As vendas desta Rifa foram encerradas em %1. Depois do encerramento nenhuma "
                          "venda, retirada de validação ou reserva pode ser feita; para alterar, reabra as "
                          "vendas.")
        .arg(BrasiliaTime::shown(closedAt));
}

QString SalesClosing::importRefusedMessage(const QDateTime &closedAt) {
    return QStringLiteral("As vendas desta Rifa foram encerradas em %1. Reabra as vendas antes de importar "
                          "validações.")
        .arg(BrasiliaTime::shown(closedAt));
}

QString SalesClosing::resetQuestion(const QDateTime &closedAt) {
    return QStringLiteral("As vendas desta Rifa foram encerradas em %1. ZERAR as validações termina esse "
                          "encerramento (fica registrado e aparece na Ata de um sorteio posterior). Deseja "
                          "continuar?")
        .arg(BrasiliaTime::shown(closedAt));
}

bool SalesClosing::isClosedRefusal(const QSqlError &error) {
    return error.nativeErrorCode() == kClosedCode;
}

std::optional<SalesClosingState> SalesClosing::stateOf(QSqlDatabase db, int slot, QString *error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ENCERRADO_EM, QT_VENDIDOS, HASH_VENDAS, TABELA, HASH_TABELA, "
                             "HASH_TABELA_ORIGEM FROM VENDAS_ENCERRAMENTO WHERE CODRIFA = ?"));
    q.addBindValue(slot);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    SalesClosingState s;
    if (!q.next()) return s;
    s.closedAt = BrasiliaTime::utcOf(q.value(0));
    s.sold = q.value(1).toInt();
    s.fingerprint = q.value(2).toString().trimmed();
    s.table = q.value(3).toString().trimmed();
    s.tableFingerprint = q.value(4).toString().trimmed();
    s.tableOrigin = q.value(5).toString().trimmed();
    return s;
}

std::optional<SalesClosingState> SalesClosing::state(QString *error) const {
    return stateOf(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), error);
}

QList<SalesEvent> SalesClosing::events(QSqlDatabase db, int slot, QString *error) {
    QList<SalesEvent> all;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT EVENTO, EM, QT_VENDIDOS, HASH_VENDAS FROM VENDAS_EVENTOS WHERE CODRIFA = ? "
                             "ORDER BY ID"));
    q.addBindValue(slot);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return all;
    }
    while (q.next())
        all << SalesEvent{q.value(0).toString().trimmed(), BrasiliaTime::utcOf(q.value(1)), q.value(2).toInt(),
                          q.value(3).toString().trimmed()};
    return all;
}

bool SalesClosing::claim(QSqlDatabase db, int slot, QSqlError *error, int ticket) {
    if (!takeGroups(db, slot, ticket, error)) return false;
    QString why;
    const auto s = stateOf(db, slot, &why);
    if (!s) {
        *error = UnitOfWork::refusal(why);
        return false;
    }
    if (!s->closed()) return true;
    *error = closedRefusal(s->closedAt);
    return false;
}

bool SalesClosing::endByReset(QSqlDatabase db, int slot, const QDateTime &now, QSqlError *error) {
    if (!takeRow(db, slot, error)) return false;
    QString why;
    const auto s = stateOf(db, slot, &why);
    if (!s) {
        *error = UnitOfWork::refusal(why);
        return false;
    }
    if (!s->closed()) return true;
    QSqlQuery q(db);
    return run(q, QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM = NULL WHERE CODRIFA = ?"), {slot},
               error) &&
           addEvent(db, slot, QStringLiteral("ZERADO"), now, QVariant(QMetaType(QMetaType::Int)),
                    QVariant(QMetaType(QMetaType::QString)), error);
}

bool SalesClosing::soldList(QSqlDatabase db, SoldList *list, QString *problem) const {
    const WorkingRaffle &r = m_ctx.raffle;
    const int k = r.slot();
    const auto table = TicketTables::find(r.TabelaBaseUsar);
    const QString buyers = TicketTables::buyerTable(k);
    const QString mark = TicketTables::markColumn(k);
    if (!table || buyers.isEmpty()) {
        *problem = QStringLiteral("A Rifa a Trabalhar não está definida corretamente. Escolha novamente a Rifa "
                                  "a Trabalhar!");
        return false;
    }
    QString numbers;
    for (int i = 1; i <= table->perTicket; ++i)
        numbers += QStringLiteral(", T.N%1").arg(i);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT B.NUMBILHETE, B.DATA_VAL, T.NUMBILHETE, T.%1%2 FROM %3 B LEFT JOIN %4 T ON "
                             "T.NUMBILHETE = B.NUMBILHETE WHERE B.NUM_CAD_RIFA = ? ORDER BY B.NUMBILHETE")
                  .arg(mark, numbers, buyers, table->name));
    q.addBindValue(k);
    if (!q.exec()) {
        *problem = QStringLiteral("Erro ao ler as vendas. Detalhe do Erro: ") + q.lastError().text();
        return false;
    }
    const int width = Fingerprint::widthOf(table->highestNumber());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    list->text.clear();
    list->count = 0;
    QList<int> values(table->perTicket);
    while (q.next()) {
        const int n = q.value(0).toInt();
        if (q.value(2).isNull() || q.value(3).toString().trimmed() != u"S") {
            *problem = QStringLiteral("As vendas não foram encerradas: o Bilhete %1 tem registro de venda, mas não "
                                      "está marcado como vendido na tabela de bilhetes. Confira esse Bilhete "
                                      "antes de encerrar.")
                           .arg(ticketId(n, r));
            return false;
        }
        for (int i = 0; i < table->perTicket; ++i)
            values[i] = q.value(4 + i).toInt();
        const QByteArray line = Fingerprint::soldLine(n, values, width, q.value(1).toDate());
        list->text += line;
        ++list->count;
    }
    QSqlQuery orphan(db);
    orphan.setForwardOnly(true);
    orphan.prepare(QStringLiteral("SELECT FIRST 1 T.NUMBILHETE FROM %1 T WHERE T.%2 = ? AND NOT EXISTS (SELECT 1 "
                                  "FROM %3 B WHERE B.NUMBILHETE = T.NUMBILHETE AND B.NUM_CAD_RIFA = ?) ORDER BY 1")
                       .arg(table->name, mark, buyers));
    orphan.addBindValue(QStringLiteral("S"));
    orphan.addBindValue(k);
    if (!orphan.exec()) {
        *problem = QStringLiteral("Erro ao ler as vendas. Detalhe do Erro: ") + orphan.lastError().text();
        return false;
    }
    if (orphan.next()) {
        *problem = QStringLiteral("As vendas não foram encerradas: o Bilhete %1 está marcado como vendido, mas "
                                  "não tem registro de venda. Confira esse Bilhete antes de encerrar.")
                       .arg(ticketId(orphan.value(0).toInt(), r));
        return false;
    }
    hash.addData(list->text);
    list->fingerprint = Fingerprint::hex(hash.result());
    return true;
}

QString SalesClosing::closeQuestion() const {
    return QStringLiteral("Deseja ENCERRAR as Vendas desta Rifa? Depois do encerramento nenhuma venda, "
                          "retirada de validação, reserva ou importação poderá ser feita até que as vendas "
                          "sejam reabertas.");
}

ClosingOutcome SalesClosing::close() {
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    const int k = m_ctx.raffle.slot();
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    SoldList list;
    QDateTime at;
    QString tableHash;
    bool computedNow = false;
    UnitOfWork unit(db, m_retryPolicy);
    const UnitOfWork::Result result = unit.run([&](QSqlError *why) {
        // The row first: a sale in flight on another computer is then either in the list or refused.
        if (!takeRow(db, k, why)) return false;
        QString problem;
        const auto s = stateOf(db, k, &problem);
        if (!s) {
            *why = UnitOfWork::refusal(problem);
            return false;
        }
        if (s->closed()) {
            *why = UnitOfWork::refusal(QStringLiteral("As vendas desta Rifa já estão encerradas desde %1.")
                                           .arg(BrasiliaTime::shown(s->closedAt)));
            return false;
        }
        if (!soldList(db, &list, &problem)) {
            *why = UnitOfWork::refusal(problem);
            return false;
        }
        at = nowUtc(m_ctx.clock);
        // A table dealt before its fingerprint was kept gets it now.
        const auto kept = DealingFingerprints::stored(db, table->name, &problem);
        if (!problem.isEmpty()) {
            *why = UnitOfWork::refusal(problem);
            return false;
        }
        computedNow = !kept;
        tableHash = kept ? kept->hash : QString();
        if (!kept) {
            const auto hash = Fingerprint::ofTable(db, *table, &problem);
            if (!hash || !DealingFingerprints::store(db, table->name, *hash, QStringLiteral("encerramento"), at,
                                                     &problem)) {
                *why = UnitOfWork::refusal(problem);
                return false;
            }
            tableHash = *hash;
        }
        QSqlQuery q(db);
        return run(q,
                   QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM = ?, QT_VENDIDOS = ?, HASH_VENDAS = ?, "
                                  "TABELA = ?, HASH_TABELA = ?, HASH_TABELA_ORIGEM = ? WHERE CODRIFA = ?"),
                   {BrasiliaTime::forColumn(at), list.count, list.fingerprint, table->name, tableHash,
                    computedNow ? QStringLiteral("encerramento") : kept->origin, k},
                   why) &&
               addEvent(db, k, QStringLiteral("ENCERRADO"), at, list.count, list.fingerprint, why);
    });
    ClosingOutcome o;
    if (result != UnitOfWork::Result::Done) {
        const QSqlError e = unit.error();
        o.icon = BoxIcon::Error;
        o.message = e.nativeErrorCode().isEmpty() && e.databaseText().isEmpty()
                        ? e.text()
                        : QStringLiteral("Erro ao Encerrar as Vendas. Detalhe do Erro: ") + e.text();
        return o;
    }
    o.ok = true;
    o.icon = BoxIcon::Information;
    o.message = QStringLiteral("Vendas encerradas em %1.\r\rBilhetes vendidos: %2\rImpressão digital (SHA-256) da "
                               "lista de vendidos: %3\rImpressão digital da distribuição dos números (%4): %5")
                    .arg(BrasiliaTime::shown(at))
                    .arg(list.count)
                    .arg(list.fingerprint, table->name, tableHash);
    if (computedNow)
        o.message += QStringLiteral(" (calculada agora: a tabela não tinha impressão digital guardada)");
    return o;
}

QString SalesClosing::reopenQuestion(const SalesClosingState &s) const {
    if (!s.closed()) return {};
    return QStringLiteral("As vendas desta Rifa foram encerradas em %1. Deseja REABRIR as Vendas? A reabertura "
                          "fica registrada e aparece na Ata de qualquer sorteio posterior.")
        .arg(BrasiliaTime::shown(s.closedAt));
}

ClosingOutcome SalesClosing::reopen() {
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    const int k = m_ctx.raffle.slot();
    QDateTime at;
    UnitOfWork unit(db, m_retryPolicy);
    const UnitOfWork::Result result = unit.run([&](QSqlError *why) {
        if (!takeRow(db, k, why)) return false;
        QString problem;
        const auto s = stateOf(db, k, &problem);
        if (!s || !s->closed()) {
            *why = UnitOfWork::refusal(s ? QStringLiteral("As vendas desta Rifa não estão encerradas.") : problem);
            return false;
        }
        at = nowUtc(m_ctx.clock);
        QSqlQuery q(db);
        return run(q, QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM = NULL WHERE CODRIFA = ?"), {k},
                   why) &&
               addEvent(db, k, QStringLiteral("REABERTO"), at, s->sold, s->fingerprint, why);
    });
    ClosingOutcome o;
    if (result != UnitOfWork::Result::Done) {
        o.icon = BoxIcon::Error;
        o.message = unit.error().databaseText().isEmpty()
                        ? unit.error().text()
                        : QStringLiteral("Erro ao Reabrir as Vendas. Detalhe do Erro: ") + unit.error().text();
        return o;
    }
    o.ok = true;
    o.icon = BoxIcon::Information;
    o.message = QStringLiteral("Vendas reabertas em %1.").arg(BrasiliaTime::shown(at));
    return o;
}

ClosingOutcome SalesClosing::saveSoldList(const QString &path) {
    ClosingOutcome o;
    o.icon = BoxIcon::Error;
    QString problem;
    const auto s = state(&problem);
    if (!s) {
        o.message = QStringLiteral("Erro ao ler o encerramento das vendas. Detalhe do Erro: ") + problem;
        return o;
    }
    if (!s->closed()) {
        o.icon = BoxIcon::Warning;
        o.message = QStringLiteral("As vendas desta Rifa não estão encerradas: encerre as vendas para salvar a "
                                   "lista de vendidos.");
        return o;
    }
    SoldList list;
    if (!soldList(m_ctx.tdm.CONEX_R(), &list, &problem)) {
        o.message = problem;
        return o;
    }
    if (list.fingerprint != s->fingerprint) {
        o.message = QStringLiteral("A lista de vendidos de agora (impressão digital %1) não confere com a do "
                                   "encerramento (%2). A lista não foi gravada.")
                        .arg(list.fingerprint, s->fingerprint);
        return o;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(list.text) != list.text.size() || !file.commit()) {
        o.message = QStringLiteral("Não foi possível gravar o arquivo %1. Detalhe do Erro: %2")
                        .arg(path, file.errorString());
        return o;
    }
    o.ok = true;
    o.icon = BoxIcon::Information;
    o.message = QStringLiteral("Lista de vendidos gravada em: %1\r\rBilhetes vendidos: %2\rImpressão digital "
                               "(SHA-256): %3")
                    .arg(path)
                    .arg(list.count)
                    .arg(list.fingerprint);
    return o;
}
