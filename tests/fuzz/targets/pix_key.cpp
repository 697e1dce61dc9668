// The PIX key as typed on the sales-page window, tried as each kind of key; a key taken makes a
// payment code that a bank's app can read.
#include "FuzzSupport.h"

#include "salespage/PixCode.h"

namespace {

// Reads id, two-digit length and value fields as a bank's app does, over the code's bytes.
bool readFields(const QByteArray &code, QList<QPair<QByteArray, QByteArray>> *fields, QString *why) {
    qsizetype at = 0;
    while (at < code.size()) {
        if (at + 4 > code.size()) {
            *why = QStringLiteral("field header cut at %1").arg(at);
            return false;
        }
        bool ok = false;
        const int length = code.mid(at + 2, 2).toInt(&ok);
        if (!ok || at + 4 + length > code.size()) {
            *why = QStringLiteral("bad length at %1").arg(at);
            return false;
        }
        fields->append({code.mid(at, 2), code.mid(at + 4, length)});
        at += 4 + length;
    }
    return true;
}

} // namespace

KORVANTE_FUZZ_TARGET(pix_key) {
    const QString typed = QString::fromUtf8(FuzzSupport::bytes(data, size));
    for (const QString &type : {QStringLiteral("CPF"), QStringLiteral("Celular"), QStringLiteral("E-mail"),
                                PixCode::cnpjType(), PixCode::randomKeyType()}) {
        QString refusal;
        const QString key = PixCode::prepareKey(type, typed, &refusal);
        if (key.isEmpty()) {
            FUZZ_CHECK(!refusal.isEmpty(), type);
            continue;
        }
        FUZZ_CHECK(refusal.isEmpty() && key.size() <= 77, type + u':' + key);
        for (QChar c : key)
            FUZZ_CHECK(c.unicode() > 0x20 && c.unicode() < 0x7F, type + u':' + key);
        PixCode::Input in;
        in.key = key;
        in.name = PixCode::plainText(QStringLiteral("José da Silva"), 25);
        in.city = PixCode::plainText(QStringLiteral("São Paulo"), 15);
        in.cents = 750;
        in.reference = PixCode::reference(QStringLiteral("C-0041"));
        const QString code = PixCode::build(in);
        FUZZ_CHECK(!code.isEmpty(), type + u':' + key);
        const QByteArray bytes = code.toUtf8();
        QList<QPair<QByteArray, QByteArray>> fields;
        QString why;
        FUZZ_CHECK(readFields(bytes, &fields, &why), why + u' ' + code);
        FUZZ_CHECK(!fields.isEmpty() && fields.last().first == "63", code);
        FUZZ_CHECK(QString::fromLatin1(fields.last().second) ==
                       QStringLiteral("%1").arg(PixCode::crc16(bytes.left(bytes.size() - 4)), 4, 16, QChar(u'0')).toUpper(),
                   code);
        QByteArray account;
        for (const auto &field : fields)
            if (field.first == "26") account = field.second;
        QList<QPair<QByteArray, QByteArray>> inner;
        FUZZ_CHECK(readFields(account, &inner, &why), why + u' ' + code);
        FUZZ_CHECK(inner.size() == 2 && inner[0].second == "br.gov.bcb.pix" && inner[1].second == key.toUtf8(), code);
    }
    return 0;
}
