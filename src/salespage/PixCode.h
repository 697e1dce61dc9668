#pragma once

#include <QString>
#include <optional>

// The static PIX payment code ("Pix Copia e Cola", BR Code in the EMV merchant-presented format):
// fields of id, two-digit length and value, closed by a CRC16 over everything before it.
class PixCode {
public:
    struct Input {
        QString key;                 // as the bank registered it (CPF digits, "+55..." phone, e-mail)
        QString name;                // at most 25 characters
        QString city;                // at most 15 characters
        std::optional<qint64> cents; // no amount field when empty
        QString reference;           // letters and digits, at most 25; "***" when empty
    };

    // The code; empty when a field does not fit its limit.
    static QString build(const Input &input);
    // CRC16/CCITT-FALSE: polynomial 0x1021, start 0xFFFF, no reflection, no final XOR.
    static quint16 crc16(const QByteArray &data);
    // "7.50" for 750 cents.
    static QString amountText(qint64 cents);

    // What the window hands over, prepared: the key as its type requires, name and city in plain
    // letters without accents and cut to their limits, the reference as letters and digits.
    // keyType: "CPF", "Celular", "E-mail", "CNPJ" or "Chave aleatória". On a key that cannot be
    // used, *refusal says why.
    static QString prepareKey(const QString &keyType, const QString &typed, QString *refusal);
    static QString plainText(const QString &text, int limit);
    static QString reference(const QString &text);
    static bool validCpf(const QString &digits);
    // 14 characters, the first 12 of 0-9 or A-Z (the alphanumeric CNPJ) and two check digits
    // computed on each character's code minus 48.
    static bool validCnpj(const QString &cnpj);
    // The random key banks issue: 36 characters, 0-9 and a-f in groups 8-4-4-4-12 joined by '-'.
    static bool validRandomKey(const QString &key);

    static QString cnpjType() { return QStringLiteral("CNPJ"); }
    static QString randomKeyType() { return QStringLiteral("Chave aleatória"); }
};
