#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The order a buyer sends from the sales page, line by line as the page's "Enviar" writes it.
// Lines are separated by a single line feed; labels carry the asterisks that WhatsApp shows as bold.
struct OrderMessage {
    QStringList tickets; // ticket ids in selection order, e.g. "C-0042"
    QString nome;
    QString endereco;
    QString cidade;
    QString uf;
    QString fone;     // as the page's phone mask left it
    QString total;    // "R$ 7,50"
    QString vendedor; // "Nao Informar" or the seller's code
    QString bloco;    // "1 ao 750"

    QString text() const;

    // WhatsApp's click-to-chat endpoint (base address and path "/send").
    static QString clickToChatAddress();
    // The address that opens the chat with the order: phone "55" + the receiving phone.
    static QUrl clickToChat(const QString &receivingPhone, const QString &message);
};
