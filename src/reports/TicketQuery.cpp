#include "reports/TicketQuery.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/WaitCursor.h"

#include <QSqlError>
#include <QSqlQuery>

TicketQuery::TicketQuery(AppContext &ctx) : m_ctx(ctx), m_lookup(ctx.tdm.CONEX_R(), ctx.raffle) {}

QString TicketQuery::noTypeMessage() {
    return QStringLiteral("Defina o tipo de Consulta em [ CONSULTAR POR ]");
}
QString TicketQuery::invalidNumberMessage() {
    return QStringLiteral("Favor informe um número válido!");
}
QString TicketQuery::notValidatedMessage() {
    return QStringLiteral("Número do Bilhete não Localizado no Controle de Bilhetes Validados/Pagos!");
}
QString TicketQuery::noValidatedHolderMessage() {
    return QStringLiteral("Não existe Bilhete Validado/Pago que contém o Número Sorteado!");
}
QString TicketQuery::notInBaseMessage() const {
    return QStringLiteral(
               "Número informado não existe na Base de dados da Modalidade de Rifa escolhida, de 0 até ") +
           QString::number(m_ctx.raffle.MaiorNumero);
}

QueryOutcome TicketQuery::failure(const QString &error) {
    QueryOutcome o;
    o.message = QStringLiteral("Erro ao Consultar. Detalhe do Erro: ") + error;
    o.icon = BoxIcon::Error;
    return o;
}

std::optional<BuyerRow> TicketQuery::buyer(int numBilhete, QString *error) const {
    const QString table = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (table.isEmpty()) {
        if (error) *error = QStringLiteral("Rifa a Trabalhar inválida.");
        return std::nullopt;
    }
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select D.NUMBILHETE, D.NOMECOMP, D.CIDCOMP, D.FONECOMP, D.DATA_VAL, "
                             "D.AUT_DIGITAL_VAL, V.NOME_VEND from %1 D left join CAD_VENDEDOR V on "
                             "D.COD_VENDEDOR=V.COD_VEND where NUM_CAD_RIFA=? and NUMBILHETE=?")
                  .arg(table));
    q.addBindValue(m_ctx.raffle.slot());
    q.addBindValue(numBilhete);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    BuyerRow b;
    b.numBilhete = q.value(0).toInt();
    b.comprador = q.value(1).toString();
    b.cidade = q.value(2).toString();
    b.fone = q.value(3).toString();
    b.pagtoEm = q.value(4).toDate();
    b.autentic = q.value(5).toString().trimmed();
    b.vendedor = q.value(6).toString();
    return b;
}

QueryOutcome TicketQuery::Consultar(By by, Scope scope, const QString &typed) {
    QueryOutcome o;
    if (by == By::None) {
        o.message = noTypeMessage();
        o.icon = BoxIcon::Error;
        return o;
    }
    // The database would answer an empty field or a lone '-' with its own conversion error.
    const std::optional<int> x = NumberFormat::parse(typed);
    if (!x) {
        o.message = invalidNumberMessage();
        o.icon = BoxIcon::Warning;
        return o;
    }
    WaitCursor wait;
    QString error;
    if (!m_lookup.valid(&error)) return failure(error);
    if (scope == Scope::All) return MostrarBilheteGeral(by, *x);
    if (by == By::DrawnNumber) return MostrarBilhete(*x);

    o.buyer = buyer(*x, &error);
    if (!error.isEmpty()) return failure(error);
    if (!o.buyer) {
        o.message = notValidatedMessage();
        o.title = QStringLiteral("Korvante");
        o.icon = BoxIcon::Warning;
        return o;
    }
    // MostrarNumCompoemBilhete: the numbers of the ticket just found.
    o.ticket = m_lookup.ticket(*x, &error);
    if (!error.isEmpty()) return failure(error);
    return o;
}

QueryOutcome TicketQuery::MostrarBilhete(int number) {
    QueryOutcome o;
    QString error;
    const std::optional<TicketRow> holder = m_lookup.ticketHolding(number, &error);
    if (!error.isEmpty()) return failure(error);
    if (!holder) {
        o.message = notInBaseMessage();
        o.icon = BoxIcon::Warning;
        return o;
    }
    o.buyer = buyer(holder->numBilhete, &error);
    if (!error.isEmpty()) return failure(error);
    if (!o.buyer) {
        o.message = noValidatedHolderMessage();
        o.title = QStringLiteral("Korvante");
        o.icon = BoxIcon::Warning;
        return o;
    }
    o.ticket = holder;
    return o;
}

QueryOutcome TicketQuery::MostrarBilheteGeral(By by, int typed) {
    QueryOutcome o;
    QString error;
    int control = typed;
    if (by == By::DrawnNumber) {
        const std::optional<TicketRow> holder = m_lookup.ticketHolding(typed, &error);
        if (!error.isEmpty()) return failure(error);
        if (!holder) {
            o.message = notInBaseMessage();
            o.icon = BoxIcon::Warning;
            return o;
        }
        control = holder->numBilhete;
    } else if (const int last = (m_ctx.raffle.MaiorNumero + 1) / qMax(1, int(m_ctx.raffle.QtNumBilhete));
               typed > last) {
        // Empty grids would look like a ticket that exists but was never dealt.
        o.message = QStringLiteral("Número do Bilhete não existe nesta Rifa! O C.Bilhete máximo é: ") +
                    QString::number(last);
        o.title = QStringLiteral("Korvante");
        o.icon = BoxIcon::Warning;
        return o;
    }
    o.ticket = m_lookup.ticket(control, &error);
    if (!error.isEmpty()) return failure(error);
    return o;
}
