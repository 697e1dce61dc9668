#include "salespage/PixCode.h"

#include <QRegularExpression>

namespace {

QString field(const char *id, const QString &value) {
    return QLatin1String(id) + QStringLiteral("%1").arg(value.size(), 2, 10, QChar(u'0')) + value;
}

QString digitsOf(const QString &text) {
    QString d;
    for (QChar c : text)
        if (c.isDigit() && c.unicode() < 128) d += c;
    return d;
}

} // namespace

quint16 PixCode::crc16(const QByteArray &data) {
    quint16 crc = 0xFFFF;
    for (char byte : data) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QString PixCode::amountText(qint64 cents) {
    return QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0'));
}

QString PixCode::build(const Input &in) {
    const QString reference = in.reference.isEmpty() ? QStringLiteral("***") : in.reference;
    const QString account = field("00", QStringLiteral("br.gov.bcb.pix")) + field("01", in.key);
    if (in.key.isEmpty() || in.key.size() > 77 || account.size() > 99 || in.name.isEmpty() ||
        in.name.size() > 25 || in.city.isEmpty() || in.city.size() > 15 || reference.size() > 25 ||
        (in.cents && *in.cents <= 0))
        return {};
    QString code = field("00", QStringLiteral("01")) + field("26", account) +
                   field("52", QStringLiteral("0000")) + field("53", QStringLiteral("986"));
    if (in.cents) {
        const QString amount = amountText(*in.cents);
        if (amount.size() > 13) return {};
        code += field("54", amount);
    }
    code += field("58", QStringLiteral("BR")) + field("59", in.name) + field("60", in.city) +
            field("62", field("05", reference)) + QStringLiteral("6304");
    return code + QStringLiteral("%1").arg(crc16(code.toUtf8()), 4, 16, QChar(u'0')).toUpper();
}

bool PixCode::validCpf(const QString &d) {
    if (d.size() != 11) return false;
    bool allSame = true;
    for (QChar c : d)
        allSame = allSame && c == d.at(0);
    if (allSame) return false; // 000.000.000-00 and the like pass the sums but are no CPF
    for (int length = 9; length <= 10; ++length) {
        int sum = 0;
        for (int i = 0; i < length; ++i)
            sum += d.at(i).digitValue() * (length + 1 - i);
        const int check = (sum * 10) % 11 % 10;
        if (check != d.at(length).digitValue()) return false;
    }
    return true;
}

bool PixCode::validCnpj(const QString &cnpj) {
    static const QRegularExpression form(QStringLiteral("^[0-9A-Z]{12}[0-9]{2}$"));
    if (!form.match(cnpj).hasMatch()) return false;
    bool allSame = true;
    for (int i = 0; i < 12; ++i)
        allSame = allSame && cnpj.at(i) == cnpj.at(0);
    if (allSame) return false;
    for (int length = 12; length <= 13; ++length) {
        int sum = 0;
        // Weights 2 to 9 from the right, starting again after 9.
        for (int i = length - 1, weight = 2; i >= 0; --i, weight = weight == 9 ? 2 : weight + 1)
            sum += (cnpj.at(i).unicode() - 48) * weight;
        const int rest = sum % 11;
        const int check = rest < 2 ? 0 : 11 - rest;
        if (check != cnpj.at(length).digitValue()) return false;
    }
    return true;
}

bool PixCode::validRandomKey(const QString &key) {
    static const QRegularExpression form(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return form.match(key).hasMatch();
}

QString PixCode::prepareKey(const QString &keyType, const QString &typed, QString *refusal) {
    QString key;
    QString why;
    if (keyType == QLatin1String("CPF")) {
        key = digitsOf(typed);
        if (!validCpf(key))
            why = QStringLiteral("A chave PIX informada não é um CPF válido: confira os 11 números do CPF.");
    } else if (keyType == QLatin1String("Celular")) {
        const QString digits = digitsOf(typed);
        if (digits.size() != 10 && digits.size() != 11)
            why = QStringLiteral("A chave PIX de Celular deve ter o DDD e o número: 10 ou 11 números.");
        key = QStringLiteral("+55") + digits;
    } else if (keyType == QLatin1String("E-mail")) {
        key = typed.trimmed().toLower();
        // The form the central bank's key directory accepts: a key with a blank, an accent or a
        // control character makes a code no bank's app can pay.
        static const QRegularExpression email(QStringLiteral(
            "^[a-z0-9.!#$&'*+/=?^_`{|}~-]+@[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?(\\.[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?)*$"));
        if (!key.contains(u'@'))
            why = QStringLiteral("A chave PIX de E-mail deve conter o sinal @.");
        else if (!email.match(key).hasMatch())
            why = QStringLiteral("A chave PIX de E-mail só pode ter letras sem acento, números e os sinais . _ - + "
                                 "antes do @, sem espaços.");
    } else if (keyType == cnpjType()) {
        for (QChar c : typed.toUpper())
            if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')) key += c;
        if (!validCnpj(key))
            why = QStringLiteral("A chave PIX informada não é um CNPJ válido: confira os 14 caracteres do CNPJ.");
    } else if (keyType == randomKeyType()) {
        key = typed.trimmed().toLower();
        if (!validRandomKey(key))
            why = QStringLiteral("A Chave aleatória deve ter 36 caracteres no formato 8-4-4-4-12: números, "
                                 "letras de a até f e hífens, como o banco mostra.");
    } else {
        why = QStringLiteral("Escolha o tipo da chave PIX: CPF, Celular, E-mail, CNPJ ou Chave aleatória.");
    }
    if (why.isEmpty() && key.size() > 77) why = QStringLiteral("A chave PIX passa de 77 caracteres.");
    if (refusal) *refusal = why;
    return why.isEmpty() ? key : QString();
}

QString PixCode::plainText(const QString &text, int limit) {
    QString plain;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) plain += c;
    }
    return plain.simplified().left(limit).trimmed();
}

QString PixCode::reference(const QString &text) {
    QString ref;
    for (QChar c : plainText(text, 1000))
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) ref += c;
    return ref.left(25);
}
