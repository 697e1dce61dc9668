#pragma once

#include "support/RaffleChooser.h"
#include "support/TestInstallation.h"

#include <QDeadlineTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

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

// The slot's modality and numbers per ticket, active, priced 10 unless a price is set.
inline bool registerRaffle(TestInstallation &inst, int slot, const QString &modalidade, const QString &qtNum) {
    return inst.exec(QStringLiteral("UPDATE CADASTRO SET MODALIDADE=?, USAR_QT_NUM=?, VLR_RIFA=COALESCE(VLR_RIFA, 10), "
                                    "RIFA_ATIVA=1 WHERE CODRIFA=?"),
                     {modalidade, qtNum, slot});
}

// Raffle `slot` on "00 - 99" with 2 numbers per ticket (BS2_100G), chosen in the chooser.
inline bool chooseRaffle(TestInstallation &inst, int slot = 1) {
    return registerRaffle(inst, slot, QStringLiteral("00 - 99"), QStringLiteral("2 Números")) &&
           RaffleChooser::choose(inst.context(), slot);
}

// The same raffle chosen in the chooser of the main window, which the window shows on its first activation.
inline bool chooseRaffleInMenu(TestInstallation &inst, TForm_RIFA &menu, int slot = 1) {
    return registerRaffle(inst, slot, QStringLiteral("00 - 99"), QStringLiteral("2 Números")) &&
           RaffleChooser::chooseInMenu(menu, slot);
}

// Raffle 1 on "000 - 999" with 1 number per ticket: 1000 tickets in BS1_M.
inline bool chooseThousandTickets(TestInstallation &inst, int slot = 1) {
    return registerRaffle(inst, slot, QStringLiteral("000 - 999"), QStringLiteral("1 Número")) &&
           RaffleChooser::choose(inst.context(), slot);
}

// For another computer that holds a row: returns once a write of some other connection to the database
// is running, which is the one waiting on that row; false after the timeout. The engine's
// monitoring tables are read from a connection of its own, a fresh snapshot each time.
inline bool waitForAWaitingStatement(const QString &databasePath, int timeoutMs = 20000) {
    const QString name = QStringLiteral("monitor-%1").arg(quintptr(QThread::currentThreadId()));
    bool seen = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
        db.setDatabaseName(databasePath);
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setPassword(QStringLiteral("quillmoss"));
        if (db.open()) {
            const QDeadlineTimer deadline(timeoutMs);
            while (!seen && !deadline.hasExpired()) {
                QSqlQuery q(db);
                seen = q.exec(QStringLiteral("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 "
                                             "AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND "
                                             "(MON$SQL_TEXT CONTAINING 'UPDATE' OR MON$SQL_TEXT CONTAINING 'INSERT')")) &&
                       q.next() && q.value(0).toInt() > 0;
                if (!seen) QThread::msleep(5);
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return seen;
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
