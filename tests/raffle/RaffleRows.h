#pragma once

#include "support/TestInstallation.h"

#include <QDate>
#include <QString>

// A CADASTRO row as a test wants it; empty texts are stored as null.
struct CadastroRow {
    QString name;
    QString modalidade;
    QString qtNum;
    double price = 10;
    QDate date{2026, 12, 24};
    QString premios;
    QString regras;
    QString link;
    int ativa = 1;
};

inline QVariant orNull(const QString &s) {
    return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s);
}

inline bool writeRaffle(TestInstallation &inst, int slot, const CadastroRow &r) {
    return inst.exec(
        QStringLiteral("UPDATE CADASTRO SET NOME_RIFA=?, MODALIDADE=?, USAR_QT_NUM=?, VLR_RIFA=?, "
                       "DATA_EVENTO=?, PREMIOS=?, REGRAS_SORT=?, LINK_SORT=?, RIFA_ATIVA=? "
                       "WHERE CODRIFA=?"),
        {orNull(r.name), orNull(r.modalidade), orNull(r.qtNum), r.price,
         r.date.isValid() ? QVariant(r.date) : QVariant(QMetaType(QMetaType::QDate)), orNull(r.premios),
         orNull(r.regras), orNull(r.link), r.ativa, slot});
}

// The five slots as a new installation has them: active, named "RIFA k", nothing else set.
inline bool resetRaffles(TestInstallation &inst) {
    return inst.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA ' || CODRIFA, RIFA_ATIVA=1, "
                                    "MODALIDADE=NULL, USAR_QT_NUM=NULL, VLR_RIFA=NULL, DATA_EVENTO=NULL, "
                                    "PREMIOS=NULL, REGRAS_SORT=NULL, LINK_SORT=NULL"));
}

// A complete raffle that passes every check of the registration.
inline CadastroRow completeRaffle(const QString &name, const QString &modalidade = QStringLiteral("000 - 999"),
                                const QString &qtNum = QStringLiteral("2 Números")) {
    CadastroRow r;
    r.name = name;
    r.modalidade = modalidade;
    r.qtNum = qtNum;
    r.premios = QStringLiteral("UMA MOTO");
    r.link = QStringLiteral("https://example.com/sorteio");
    return r;
}
