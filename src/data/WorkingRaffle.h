#pragma once

#include <QString>
#include <QtGlobal>

// The raffle every sales and printing function works on; empty until the user chooses one.
struct WorkingRaffle {
    QString CodRifaUsar;         // "1".."5"; empty = none chosen
    qint32 MaiorNumero = 0;      // 99 .. 999999
    QString TabelaBaseUsar;      // ticket table, e.g. BS2_D
    QString TabelaCompradorUsar; // DADOSCOMPRADOR_ + CodRifaUsar
    quint8 QtNumBilhete = 0;     // 1, 2, 4, 5 or 10
    double ValorRifa = 0;
    QString ValorDataRifa; // price text + "-" + draw date text
    QString TextoPremios;  // lines, each followed by backslash, n, blank
    QString TextoRegras;
    QString LinkSorteio;
    quint8 QtBilhetesEnvio = 0; // tickets grouped for one WhatsApp sending
    QString FoneEnvio;

    QString LBL_RifaUsar = QStringLiteral("---"); // the main window's raffle label

    bool isChosen() const { return !CodRifaUsar.isEmpty(); }
    int slot() const { return CodRifaUsar.toInt(); }
};
