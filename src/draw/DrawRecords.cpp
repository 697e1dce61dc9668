#include "draw/DrawRecords.h"

#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "draw/OwnDraw.h"
#include "platform/Clock.h"
#include "raffle/WorkingRaffle.h"

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
    q.prepare(QStringLiteral("SELECT AUT_DIGITAL_VAL, NOMECOMP, CIDCOMP, UFCOMP, FONECOMP FROM %1 "
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
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT FIRST 1 ID, %1 FROM SORTEIOS WHERE %2 ORDER BY ID DESC")
                  .arg(recordColumns().join(u','), condition));
    q.addBindValue(value);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    const QSqlRecord rec = q.record();
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
    return r;
}

std::optional<DrawRecord> DrawRecords::read(int id, QString *error) const {
    return readWhere(QStringLiteral("ID = ?"), id, error);
}

std::optional<DrawRecord> DrawRecords::latest(int codRifa, QString *error) const {
    return readWhere(QStringLiteral("CODRIFA = ?"), codRifa, error);
}
