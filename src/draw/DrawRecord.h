#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>

// One draw that ended with a result, as its "Ata do Sorteio" prints it. A snapshot: a later withdrawal,
// reset or re-registration of the raffle slot does not change it.
struct DrawRecord {
    int id = 0;
    int codRifa = 0;
    QString nomeRifa;
    QString premios; // the raffle's prize text
    QDate dataEvento;
    QString modalidade;
    QDateTime registradoEm;

    QString modo;     // "TODOS", "PAGOS", "CONTROLE" or "FEDERAL"
    QString regra;    // Loteria Federal: "PROXIMO", "MAIS_PROXIMO" or "ORGANIZACAO"
    QString sorteado; // what was drawn, as shown: the digits, the number or the control number

    // Loteria Federal: the extraction and the five prizes, each with the number it gives and its ticket.
    QString extracao;
    QDate dataExtracao;
    std::array<QString, 5> premio;
    std::array<int, 5> numPremio{-1, -1, -1, -1, -1};
    std::array<int, 5> bilPremio{};    // 0: no ticket holds the number
    std::array<QString, 5> pagoPremio; // "S", "N", or empty without a ticket

    int numBilhete = 0; // the winning ticket; 0: "sem ganhador"
    QString numeros;    // its numbers as printed, " - " between them
    QString pago;       // "S" or "N"
    QString autentic;
    QString nome;
    QString cidade;
    QString uf;
    QString fone; // already masked: the last two digits are never stored here

    bool semGanhador() const { return numBilhete == 0; }
};
