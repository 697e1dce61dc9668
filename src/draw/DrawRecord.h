#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
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
    QDate dataVal; // the winner's sale date

    QTime horaExtracao;   // as typed, in Brasília time
    int numReferencia = -1; // "mais próximo": the number the nearest sold number stood for
    int empateCom = -1;     // a sold number as near as the winning one, below it (the higher wins)

    // The closing of the sales when the draw was recorded (closedAt invalid: sales were open), and the
    // dealing fingerprint of the raffle's ticket table.
    QDateTime encerradoEm; // UTC
    int qtVendidos = -1;
    QString hashVendas;
    QString tabela;
    QString hashTabela;
    QString hashTabelaOrigem;

    QDateTime anuladoEm; // UTC; a record annulled stays listed and printed
    bool anulado() const { return anuladoEm.isValid(); }

    // Read with the record: closings, reopenings and resets of the raffle's sales up to the record.
    QList<std::array<QString, 4>> eventos; // kind, when (shown), sold, fingerprint

    bool semGanhador() const { return numBilhete == 0; }
};
