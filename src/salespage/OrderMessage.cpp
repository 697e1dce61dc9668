#include "salespage/OrderMessage.h"

QString OrderMessage::text() const {
    QStringList lines{QStringLiteral("*Desejo Comprar Bilhetes:*"), QString()};
    for (const QString &t : tickets) {
        QString id; // the page drops every blank of an id
        for (QChar c : t)
            if (!c.isSpace()) id += c;
        lines << id;
    }
    lines << QStringLiteral(" *Nome:* ") + nome << QStringLiteral(" *End.:* ") + endereco
          << QStringLiteral(" *Cidade:* ") + cidade + u'/' + uf << QStringLiteral(" *Fone:* ") + fone
          << QStringLiteral(" *TOTAL A PAGAR..:* ") + total << QStringLiteral(" *Vend:* ") + vendedor
          << QStringLiteral(" *Bloco:* ") + bloco;
    return lines.join(u'\n');
}

QString OrderMessage::clickToChatAddress() {
    return QStringLiteral("https://api.whatsapp.com/send");
}

QUrl OrderMessage::clickToChat(const QString &receivingPhone, const QString &message) {
    // Every reserved character percent-encoded, as the page's component encoding does ("+" too).
    return QUrl::fromEncoded(clickToChatAddress().toUtf8() +
                             "?phone=" + QUrl::toPercentEncoding(QStringLiteral("55") + receivingPhone) +
                             "&text=" + QUrl::toPercentEncoding(message));
}
