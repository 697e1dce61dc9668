#include "sales/Withdrawal.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/TypedValues.h"
#include "sales/SaleValidator.h"
#include "sales/SalesClosing.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kDbError = QStringLiteral("Erro ao Validar. Detalhe do Erro: ");

WithdrawalOutcome outcome(WithdrawalOutcome::Result result, const QString &message, BoxIcon icon) {
    WithdrawalOutcome o;
    o.result = result;
    o.message = message;
    o.icon = icon;
    return o;
}

} // namespace

Withdrawal::Withdrawal(AppContext &ctx) : m_ctx(ctx) {}

QString Withdrawal::raffleProblem() const {
    const int k = m_ctx.raffle.slot();
    if (TicketTables::buyerTable(k).isEmpty() || !TicketTables::find(m_ctx.raffle.TabelaBaseUsar))
        return QStringLiteral("A Rifa a Trabalhar não está definida corretamente. Escolha novamente a "
                              "Rifa a Trabalhar!");
    return {};
}

bool Withdrawal::inTransaction(const UnitOfWork::Work &work, QString *error) {
    UnitOfWork unit(m_ctx.tdm.CONEX_R(), m_retryPolicy);
    if (unit.run(work) == UnitOfWork::Result::Done) return true;
    // A closing of the sales speaks for itself; an engine's error comes after the usual prefix.
    *error = SalesClosing::isClosedRefusal(unit.error()) ? unit.error().text() : kDbError + unit.error().text();
    return false;
}

WithdrawalOutcome Withdrawal::withdrawRange(int from, int to, bool announce) {
    using R = WithdrawalOutcome::Result;
    if (const QString problem = raffleProblem(); !problem.isEmpty())
        return outcome(R::Refused, problem, BoxIcon::Error);
    const int k = m_ctx.raffle.slot();
    const QString buyers = TicketTables::buyerTable(k);
    const QString tickets = TicketTables::find(m_ctx.raffle.TabelaBaseUsar)->name;
    const QString mark = TicketTables::markColumn(k);
    int deleted = 0;
    QString error;
    const bool ok = inTransaction(
        [&](QSqlError *why) {
            deleted = 0;
            QSqlDatabase db = m_ctx.tdm.CONEX_R();
            if (!SalesClosing::claim(db, k, why, from == to ? from : -1)) return false;
            // The marks first, while the buyer rows still say which tickets they belong to.
            QSqlQuery clear(db);
            if (!clear.prepare(QStringLiteral("Update ") + tickets + QStringLiteral(" set ") + mark +
                               QStringLiteral("=? where NUMBILHETE>=? and NUMBILHETE<=? and NUMBILHETE in "
                                              "(select B.NUMBILHETE from ") +
                               buyers +
                               QStringLiteral(" B where B.NUM_CAD_RIFA=? and B.NUMBILHETE>=? and "
                                              "B.NUMBILHETE<=?)"))) {
                *why = clear.lastError();
                return false;
            }
            for (const QVariant &v : QVariantList{QString(QLatin1String("")), from, to, k, from, to})
                clear.addBindValue(v);
            if (!clear.exec()) {
                *why = clear.lastError();
                return false;
            }
            QSqlQuery del(db);
            if (!del.prepare(QStringLiteral("Delete from ") + buyers +
                             QStringLiteral(" where NUM_CAD_RIFA=? and NUMBILHETE>=? and NUMBILHETE<=?"))) {
                *why = del.lastError();
                return false;
            }
            del.addBindValue(k);
            del.addBindValue(from);
            del.addBindValue(to);
            if (!del.exec()) {
                *why = del.lastError();
                return false;
            }
            deleted = del.numRowsAffected();
            return true;
        },
        &error);
    if (!ok) return outcome(R::Failed, error, BoxIcon::Error);
    if (deleted <= 0) {
        // Nothing of the range was sold: the transaction changed nothing either.
        return outcome(R::NotFound, QStringLiteral("Não foi possível Localizar o Bilhete Informado!"),
                       BoxIcon::Error);
    }
    WithdrawalOutcome o =
        announce ? outcome(R::Withdrawn, QStringLiteral("Bilhete Excluso com Sucesso!"), BoxIcon::Information)
                 : outcome(R::Withdrawn, QString(), BoxIcon::None);
    o.rows = deleted;
    return o;
}

WithdrawalOutcome Withdrawal::withdrawTicket(int numBilhete) {
    return withdrawRange(numBilhete, numBilhete, false);
}

WithdrawalOutcome Withdrawal::withdrawTyped(const QString &answer) {
    const qsizetype dash = answer.indexOf(u'-');
    if (dash > 0) {
        const auto from = TypedValues::parseWholeNumber(answer.left(dash).trimmed());
        if (from && *from > 0) {
            const auto to = TypedValues::parseWholeNumber(answer.mid(dash + 1).trimmed());
            if (!to)
                return outcome(WithdrawalOutcome::Result::Refused,
                               SaleValidator::invalidNumberMessage(answer.trimmed()),
                               BoxIcon::Error);
            return withdrawRange(*from, *to, true);
        }
    }
    const auto n = TypedValues::parseWholeNumber(answer.trimmed());
    if (!n)
        return outcome(WithdrawalOutcome::Result::Refused,
                       SaleValidator::invalidNumberMessage(answer.trimmed()), BoxIcon::Error);
    return withdrawRange(*n, *n, true);
}

WithdrawalOutcome Withdrawal::resetAll(bool endClosing) {
    using R = WithdrawalOutcome::Result;
    if (const QString problem = raffleProblem(); !problem.isEmpty())
        return outcome(R::Refused, problem, BoxIcon::Error);
    const int k = m_ctx.raffle.slot();
    const QString buyers = TicketTables::buyerTable(k);
    const QString tickets = TicketTables::find(m_ctx.raffle.TabelaBaseUsar)->name;
    const QString mark = TicketTables::markColumn(k);
    int deleted = 0;
    QString error;
    const bool ok = inTransaction(
        [&](QSqlError *why) {
            QSqlDatabase db = m_ctx.tdm.CONEX_R();
            if (endClosing ? !SalesClosing::endByReset(db, k, m_ctx.clock.now(), why)
                           : !SalesClosing::claim(db, k, why))
                return false;
            QSqlQuery del(db);
            if (!del.prepare(QStringLiteral("Delete from ") + buyers +
                             QStringLiteral(" where NUM_CAD_RIFA=?"))) {
                *why = del.lastError();
                return false;
            }
            del.addBindValue(k);
            if (!del.exec()) {
                *why = del.lastError();
                return false;
            }
            deleted = del.numRowsAffected();
            // Sold marks only: a reserved ticket ('R') stays reserved.
            QSqlQuery clear(db);
            if (!clear.prepare(QStringLiteral("Update ") + tickets + QStringLiteral(" set ") + mark +
                               QStringLiteral("=? where ") + mark + QStringLiteral("='S'"))) {
                *why = clear.lastError();
                return false;
            }
            clear.addBindValue(QString(QLatin1String("")));
            if (!clear.exec()) {
                *why = clear.lastError();
                return false;
            }
            return true;
        },
        &error);
    if (!ok) return outcome(R::Failed, error, BoxIcon::Error);
    // A sequence is outside any transaction: restarted before a commit that then failed, it would
    // number new rows over the ones that came back. After the commit the table of the raffle is empty.
    QSqlQuery restart(m_ctx.tdm.CONEX_R());
    restart.exec(QStringLiteral("ALTER SEQUENCE GEN_DADOSCOMPRADOR_%1_ID RESTART WITH 0").arg(k));
    WithdrawalOutcome o =
        outcome(R::Withdrawn, QStringLiteral("Validações Zeradas com Sucesso!"), BoxIcon::Information);
    o.rows = deleted;
    return o;
}
