#pragma once

#include "sales/SalesFixture.h"

// Raffle 1 on "00 - 99" with 2 numbers per ticket (BS2_100G, ticket t holds 2(t-1) and 2(t-1)+1), and
// "000 - 999" with 10 per ticket (BS10_M) for the look-ups across columns.
namespace DrawFixture {

inline bool prepare(TestInstallation &inst) {
    return SalesFixture::dealTickets(inst, QStringLiteral("BS2_100G"), 50, 2) &&
           SalesFixture::dealTickets(inst, QStringLiteral("BS10_M"), 100, 10) &&
           inst.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='Rifa do Carro' WHERE CODRIFA=1"));
}

inline bool clearSales(TestInstallation &inst) {
    return inst.exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")) &&
           inst.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL WHERE VALID_R1 IS NOT NULL"));
}

// A validated ticket: its buyer row and its mark.
inline bool sell(TestInstallation &inst, int ticket, const QString &name = QString(),
                 const QString &city = QString(), const QString &phone = QString()) {
    return inst.exec(
               QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NOMECOMP, CIDCOMP, FONECOMP, "
                              "VALOR, NUMBILHETE, VALIDADO, AUT_DIGITAL_VAL, DATA_VAL) "
                              "VALUES (1, ?, ?, ?, 10, ?, 'Sim', 'ABCDEFGHJ', '2026-12-01')"),
               {name.isEmpty() ? QVariant() : name, city.isEmpty() ? QVariant() : city,
                phone.isEmpty() ? QVariant() : phone, ticket}) &&
           inst.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=?"), {ticket});
}

inline bool reserve(TestInstallation &inst, int ticket) {
    return inst.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='R' WHERE NUMBILHETE=?"), {ticket});
}

inline bool choose00to99(TestInstallation &inst) {
    return SalesFixture::chooseRaffle(inst);
}

inline bool choose000to999By10(TestInstallation &inst) {
    return SalesFixture::registerRaffle(inst, 1, QStringLiteral("000 - 999"), QStringLiteral("10 Números")) &&
           RaffleChooser::choose(inst.context(), 1);
}

} // namespace DrawFixture
