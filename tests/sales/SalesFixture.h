#pragma once

#include "support/TestInstallation.h"

#include <QSqlQuery>
#include <QTest>

// Raffle 1 on "00 - 99" with 2 numbers per ticket: 50 tickets in BS2_100G, price 10.
namespace SalesFixture {

inline bool dealTickets(TestInstallation &inst, const QString &table, int tickets, int perTicket) {
    QStringList columns{QStringLiteral("NUMBILHETE")}, marks{QStringLiteral("?")};
    for (int i = 1; i <= perTicket; ++i) {
        columns << QStringLiteral("N%1").arg(i);
        marks << QStringLiteral("?");
    }
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u','));
    QSqlDatabase db = inst.tdm->CONEX_R();
    db.transaction();
    for (int t = 1; t <= tickets; ++t) {
        QSqlQuery q(db);
        q.prepare(sql);
        q.addBindValue(t);
        for (int i = 0; i < perTicket; ++i)
            q.addBindValue((t - 1) * perTicket + i);
        if (!q.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

inline void chooseRaffle(WorkingRaffle &r, int slot = 1) {
    r.CodRifaUsar = QString::number(slot);
    r.MaiorNumero = 99;
    r.QtNumBilhete = 2;
    r.TabelaBaseUsar = QStringLiteral("BS2_100G");
    r.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_%1").arg(slot);
    r.ValorRifa = 10;
}

// Raffle 1 on "000 - 999" with 1 number per ticket: 1000 tickets in BS1_M.
inline void chooseThousandTickets(WorkingRaffle &r, int slot = 1) {
    chooseRaffle(r, slot);
    r.MaiorNumero = 999;
    r.QtNumBilhete = 1;
    r.TabelaBaseUsar = QStringLiteral("BS1_M");
}

inline QString mark(TestInstallation &inst, int ticket, int slot = 1) {
    return inst
        .scalar(QStringLiteral("SELECT VALID_R%1 FROM BS2_100G WHERE NUMBILHETE=?").arg(slot), {ticket})
        .toString()
        .trimmed();
}

inline int buyerRows(TestInstallation &inst, int ticket, int slot = 1) {
    return inst
        .scalar(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_%1 WHERE NUMBILHETE=?").arg(slot),
                {ticket})
        .toInt();
}

} // namespace SalesFixture
