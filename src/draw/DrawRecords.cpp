#include "draw/DrawRecords.h"

#include "data/Fingerprint.h"
#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "draw/OwnDraw.h"
#include "platform/Clock.h"
#include "sales/SalesClosing.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QStringList recordColumns() {
    QStringList c{
        QStringLiteral("CODRIFA"),     QStringLiteral("NOME_RIFA"),    QStringLiteral("PREMIOS"),
        QStringLiteral("DATA_EVENTO"), QStringLiteral("MODALIDADE"),   QStringLiteral("REGISTRADO_EM"),
        QStringLiteral("MODO"),        QStringLiteral("REGRA"),        QStringLiteral("SORTEADO"),
        QStringLiteral("EXTRACAO"),    QStringLiteral("DATA_EXTRACAO")};
    for (int i = 1; i <= 5; ++i)
        c << QStringLiteral("PREMIO%1").arg(i) << QStringLiteral("NUM_PREMIO%1").arg(i)
          << QStringLiteral("BIL_PREMIO%1").arg(i) << QStringLiteral("PAGO_PREMIO%1").arg(i);
    c << QStringLiteral("NUMBILHETE") << QStringLiteral("NUMEROS") << QStringLiteral("PAGO")
      << QStringLiteral("AUT_DIGITAL_VAL") << QStringLiteral("NOMECOMP") << QStringLiteral("CIDCOMP")
      << QStringLiteral("UFCOMP") << QStringLiteral("FONE_MASCARA");
    c << QStringLiteral("DATA_VAL") << QStringLiteral("HORA_EXTRACAO") << QStringLiteral("NUM_REFERENCIA")
      << QStringLiteral("EMPATE_COM") << QStringLiteral("ENCERRADO_EM") << QStringLiteral("QT_VENDIDOS")
      << QStringLiteral("HASH_VENDAS") << QStringLiteral("TABELA") << QStringLiteral("HASH_TABELA")
      << QStringLiteral("HASH_TABELA_ORIGEM") << QStringLiteral("ANULADO_EM");
    return c;
}

QVariant textOrNull(const QString &s) {
    return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : sqlValue(s);
}
QVariant intOrNull(int v, int none) {
    return v == none ? QVariant(QMetaType(QMetaType::Int)) : QVariant(v);
}
QVariant dateOrNull(const QDate &d) {
    return d.isValid() ? QVariant(d) : QVariant(QMetaType(QMetaType::QDate));
}

} // namespace

DrawRecords::DrawRecords(AppContext &ctx) : m_ctx(ctx) {}

QString DrawRecords::writeFailedMessage() {
    return QStringLiteral("O resultado do Sorteio não pôde ser registrado para a Ata do Sorteio. "
                          "Detalhe do Erro: ");
}

bool DrawRecords::complete(DrawRecord &r, const std::optional<TicketRow> &winner, QString *error) const {
    const WorkingRaffle &raffle = m_ctx.raffle;
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    r.codRifa = raffle.slot();
    r.registradoEm = m_ctx.clock.now();
    // What the sales were when the draw was made: the closing and the dealing's fingerprint.
    {
        QString why;
        if (const auto closing = SalesClosing::stateOf(db, r.codRifa, &why); closing && closing->closed()) {
            r.encerradoEm = closing->closedAt;
            r.qtVendidos = closing->sold;
            r.hashVendas = closing->fingerprint;
            r.tabela = closing->table;
            r.hashTabela = closing->tableFingerprint;
            r.hashTabelaOrigem = closing->tableOrigin;
        } else if (const auto table = TicketTables::find(raffle.TabelaBaseUsar)) {
            r.tabela = table->name;
            if (const auto kept = DealingFingerprints::stored(db, table->name, &why)) {
                r.hashTabela = kept->hash;
                r.hashTabelaOrigem = kept->origin;
            }
        }
    }
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "SELECT NOME_RIFA, PREMIOS, DATA_EVENTO, MODALIDADE FROM CADASTRO WHERE CODRIFA = ?"));
        q.addBindValue(r.codRifa);
        if (!q.exec()) {
            if (error) *error = q.lastError().text();
            return false;
        }
        if (q.next()) {
            r.nomeRifa = q.value(0).toString();
            r.premios = q.value(1).toString();
            r.dataEvento = q.value(2).toDate();
            r.modalidade = q.value(3).toString();
        }
    }
    if (!winner) {
        r.numBilhete = 0;
        return true;
    }
    r.numBilhete = winner->numBilhete;
    r.pago = winner->paid() ? QStringLiteral("S") : QStringLiteral("N");
    QList<int> numbers = winner->numbers;
    if (numbers.isEmpty()) { // a control number drawn alone: read its numbers
        TicketLookup lookup(db, raffle);
        if (auto row = lookup.ticket(winner->numBilhete, error)) numbers = row->numbers;
    }
    QStringList shown;
    for (int n : numbers)
        shown << NumberFormat::number(n, raffle.MaiorNumero);
    r.numeros = shown.join(QStringLiteral(" - "));

    const QString buyers = TicketTables::buyerTable(r.codRifa);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT AUT_DIGITAL_VAL, NOMECOMP, CIDCOMP, UFCOMP, FONECOMP, DATA_VAL FROM %1 "
                             "WHERE NUMBILHETE = ?")
                  .arg(buyers));
    q.addBindValue(r.numBilhete);
    if (buyers.isEmpty() || !q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    if (q.next()) {
        r.autentic = q.value(0).toString().trimmed();
        r.nome = q.value(1).toString().trimmed();
        r.cidade = q.value(2).toString().trimmed();
        r.uf = q.value(3).toString().trimmed();
        const QString phone = q.value(4).toString().trimmed();
        r.fone = phone.isEmpty() ? QString() : OwnDraw::maskedPhone(phone);
        r.dataVal = q.value(5).toDate();
    }
    return true;
}

bool DrawRecords::write(DrawRecord &r, QString *error) const {
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    const QStringList columns = recordColumns();
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO SORTEIOS (%1) VALUES (%2) RETURNING ID")
                  .arg(columns.join(u','), marks.join(u',')));
    QVariantList v{r.codRifa,
                   textOrNull(r.nomeRifa),
                   textOrNull(r.premios),
                   dateOrNull(r.dataEvento),
                   textOrNull(r.modalidade),
                   r.registradoEm,
                   textOrNull(r.modo),
                   textOrNull(r.regra),
                   textOrNull(r.sorteado),
                   textOrNull(r.extracao),
                   dateOrNull(r.dataExtracao)};
    for (int i = 0; i < 5; ++i)
        v << textOrNull(r.premio[i]) << intOrNull(r.numPremio[i], -1) << intOrNull(r.bilPremio[i], 0)
          << textOrNull(r.pagoPremio[i]);
    v << intOrNull(r.numBilhete, 0) << textOrNull(r.numeros) << textOrNull(r.pago) << textOrNull(r.autentic)
      << textOrNull(r.nome) << textOrNull(r.cidade) << textOrNull(r.uf) << textOrNull(r.fone);
    v << dateOrNull(r.dataVal)
      << (r.horaExtracao.isValid() ? QVariant(r.horaExtracao) : QVariant(QMetaType(QMetaType::QTime)))
      << intOrNull(r.numReferencia, -1) << intOrNull(r.empateCom, -1) << BrasiliaTime::forColumn(r.encerradoEm)
      << intOrNull(r.qtVendidos, -1) << textOrNull(r.hashVendas) << textOrNull(r.tabela)
      << textOrNull(r.hashTabela) << textOrNull(r.hashTabelaOrigem) << BrasiliaTime::forColumn(r.anuladoEm);
    for (const QVariant &value : v)
        q.addBindValue(value);
    if (!q.exec() || !q.next()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    r.id = q.value(0).toInt();
    return true;
}

std::optional<DrawRecord> DrawRecords::readWhere(const QString &condition, int value, QString *error) const {
    const QList<DrawRecord> found = readAll(QStringLiteral("FIRST 1"), condition, value, error);
    if (found.isEmpty()) return std::nullopt;
    return found.first();
}

QList<DrawRecord> DrawRecords::list(int codRifa, QString *error) const {
    return readAll(QString(), QStringLiteral("CODRIFA = ?"), codRifa, error);
}

QList<DrawRecord> DrawRecords::readAll(const QString &first, const QString &condition, int value,
                                       QString *error) const {
    QList<DrawRecord> all;
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %3 ID, %1 FROM SORTEIOS WHERE %2 ORDER BY ID DESC")
                  .arg(recordColumns().join(u','), condition, first));
    q.addBindValue(value);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return all;
    }
    while (q.next()) all << fromRecord(q.record());
    // The closings, reopenings and resets of the raffle up to each record.
    for (DrawRecord &r : all) {
        QString why;
        for (const SalesEvent &e : SalesClosing::events(db, r.codRifa, &why)) {
            if (e.at > r.registradoEm.toUTC()) break;
            r.eventos.append({e.kind, BrasiliaTime::shown(e.at), e.kind == u"ZERADO" ? QString() : QString::number(e.sold),
                              e.fingerprint});
        }
    }
    return all;
}

DrawRecord DrawRecords::fromRecord(const QSqlRecord &rec) {
    auto text = [&](const char *c) { return rec.value(QLatin1String(c)).toString().trimmed(); };
    DrawRecord r;
    r.id = rec.value(QStringLiteral("ID")).toInt();
    r.codRifa = rec.value(QStringLiteral("CODRIFA")).toInt();
    r.nomeRifa = text("NOME_RIFA");
    r.premios = rec.value(QStringLiteral("PREMIOS")).toString();
    r.dataEvento = rec.value(QStringLiteral("DATA_EVENTO")).toDate();
    r.modalidade = text("MODALIDADE");
    r.registradoEm = rec.value(QStringLiteral("REGISTRADO_EM")).toDateTime();
    r.modo = text("MODO");
    r.regra = text("REGRA");
    r.sorteado = text("SORTEADO");
    r.extracao = text("EXTRACAO");
    r.dataExtracao = rec.value(QStringLiteral("DATA_EXTRACAO")).toDate();
    for (int i = 0; i < 5; ++i) {
        r.premio[i] = rec.value(QStringLiteral("PREMIO%1").arg(i + 1)).toString().trimmed();
        const QVariant num = rec.value(QStringLiteral("NUM_PREMIO%1").arg(i + 1));
        r.numPremio[i] = num.isNull() ? -1 : num.toInt();
        r.bilPremio[i] = rec.value(QStringLiteral("BIL_PREMIO%1").arg(i + 1)).toInt();
        r.pagoPremio[i] = rec.value(QStringLiteral("PAGO_PREMIO%1").arg(i + 1)).toString().trimmed();
    }
    r.numBilhete = rec.value(QStringLiteral("NUMBILHETE")).toInt();
    r.numeros = text("NUMEROS");
    r.pago = text("PAGO");
    r.autentic = text("AUT_DIGITAL_VAL");
    r.nome = text("NOMECOMP");
    r.cidade = text("CIDCOMP");
    r.uf = text("UFCOMP");
    r.fone = text("FONE_MASCARA");
    r.dataVal = rec.value(QStringLiteral("DATA_VAL")).toDate();
    r.horaExtracao = rec.value(QStringLiteral("HORA_EXTRACAO")).toTime();
    auto number = [&](const char *c) {
        const QVariant v = rec.value(QLatin1String(c));
        return v.isNull() ? -1 : v.toInt();
    };
    r.numReferencia = number("NUM_REFERENCIA");
    r.empateCom = number("EMPATE_COM");
    r.encerradoEm = BrasiliaTime::utcOf(rec.value(QStringLiteral("ENCERRADO_EM")));
    r.qtVendidos = number("QT_VENDIDOS");
    r.hashVendas = text("HASH_VENDAS");
    r.tabela = text("TABELA");
    r.hashTabela = text("HASH_TABELA");
    r.hashTabelaOrigem = text("HASH_TABELA_ORIGEM");
    r.anuladoEm = BrasiliaTime::utcOf(rec.value(QStringLiteral("ANULADO_EM")));
    return r;
}

std::optional<DrawRecord> DrawRecords::federalFor(int codRifa, const QString &extracao, QString *error) const {
    for (const DrawRecord &r : list(codRifa, error))
        if (r.modo == u"FEDERAL" && r.extracao == extracao && !r.anulado()) return r;
    return std::nullopt;
}

bool DrawRecords::annul(int id, QString *error) const {
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.prepare(QStringLiteral("UPDATE SORTEIOS SET ANULADO_EM = ? WHERE ID = ? AND ANULADO_EM IS NULL"));
    q.addBindValue(BrasiliaTime::forColumn(m_ctx.clock.now()));
    q.addBindValue(id);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    if (q.numRowsAffected() == 1) return true;
    if (error) *error = QStringLiteral("o registro nº %1 não existe ou já foi anulado").arg(id);
    return false;
}

std::optional<DrawRecord> DrawRecords::read(int id, QString *error) const {
    return readWhere(QStringLiteral("ID = ?"), id, error);
}

std::optional<DrawRecord> DrawRecords::latest(int codRifa, QString *error) const {
    return readWhere(QStringLiteral("CODRIFA = ?"), codRifa, error);
}
