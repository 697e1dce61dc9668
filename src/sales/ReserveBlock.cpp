#include "sales/ReserveBlock.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/UnitOfWork.h"
#include "data/WorkingRaffle.h"
#include "sales/SalesClosing.h"

#include <QSqlError>
#include <QSqlQuery>

ReserveBlock::ReserveBlock(AppContext &ctx) : m_ctx(ctx) {}

bool ReserveBlock::reserved(QList<int> *numbers, QString *error) const {
    numbers->clear();
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    const QString mark = TicketTables::markColumn(m_ctx.raffle.slot());
    if (!table || mark.isEmpty()) {
        if (error) *error = QStringLiteral("Tabela de bilhetes inválida: ") + m_ctx.raffle.TabelaBaseUsar;
        return false;
    }
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT NUMBILHETE FROM %1 WHERE NUMBILHETE>=1 AND NUMBILHETE<=? AND %2=? "
                                  "ORDER BY NUMBILHETE")
                       .arg(table->name, mark))) {
        if (error) *error = q.lastError().text();
        return false;
    }
    q.addBindValue(m_ctx.raffle.MaiorNumero + 1);
    q.addBindValue(QStringLiteral("R"));
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    while (q.next())
        numbers->append(q.value(0).toInt());
    return true;
}

bool ReserveBlock::update(const QString &sql, const QVariantList &values, QString *error) {
    // The ticket table is shared by the raffles of the same modality: another computer marking a
    // ticket of another raffle holds the row for a moment, so the whole update is tried again.
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    UnitOfWork unit(db, m_retryPolicy);
    const bool done = unit.run([&](QSqlError *why) {
        if (!SalesClosing::claim(db, m_ctx.raffle.slot(), why)) return false;
        QSqlQuery q(db);
        if (!q.prepare(sql)) {
            *why = q.lastError();
            return false;
        }
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec()) return true;
        *why = q.lastError();
        return false;
    }) == UnitOfWork::Result::Done;
    if (!done && error) *error = unit.error().text();
    return done;
}

bool ReserveBlock::define(int from, int to, QString *error) {
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    const QString mark = TicketTables::markColumn(m_ctx.raffle.slot());
    if (!table || mark.isEmpty()) {
        if (error) *error = QStringLiteral("Tabela de bilhetes inválida: ") + m_ctx.raffle.TabelaBaseUsar;
        return false;
    }
    return update(
        QStringLiteral("Update %1 Set %2=? Where NumBilhete>=? and NumBilhete<=? and (%2 is null or "
                       "%2<>'S')")
            .arg(table->name, mark),
        {QStringLiteral("R"), from, to}, error);
}

bool ReserveBlock::clear(QString *error) {
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    const QString mark = TicketTables::markColumn(m_ctx.raffle.slot());
    if (!table || mark.isEmpty()) {
        if (error) *error = QStringLiteral("Tabela de bilhetes inválida: ") + m_ctx.raffle.TabelaBaseUsar;
        return false;
    }
    return update(QStringLiteral("Update %1 Set %2=? Where %2=?").arg(table->name, mark),
                  {QString(QLatin1String("")), QStringLiteral("R")}, error);
}
