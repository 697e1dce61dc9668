#pragma once

#include "salespage/ModalityFormat.h"
#include "salespage/TicketListing.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The PIX payment of an order of a given number of tickets: its code and the code's QR picture.
struct SalesPagePix {
    QString code; // "Pix Copia e Cola"
    QString svg;  // inline SVG
};

struct SalesPageSeller {
    QVariant code; // COD_VEND
    QString name;  // NOME_VEND
};

// Everything the sales page is made of, taken when the page is generated.
struct SalesPageInput {
    QString raffleName;    // the working raffle's caption
    QString valorDataRifa; // price text, "-", draw date text
    double valorRifa = 0;
    QString textoPremios; // lines, each followed by backslash, n, blank
    QString textoRegras;
    int maiorNumero = 0;
    int qtNumBilhete = 0;
    ModalityFormat format;
    QString entre1; // the block fields as they read now
    QString entre2;
    QString phone;   // the order phone as listed: DDD, blank, number
    QString pixType; // "CPF", "Celular" or "E-mail"
    QString pixKey;
    QList<SalesPageSeller> sellers;
    QVector<ListedTicket> tickets; // in listing order
    // For 1 to 10 tickets, when the page carries the payment codes; empty: the plain page.
    QList<SalesPagePix> pix;
};

// Writes the self-contained page from which buyers choose tickets and send their order.
class SalesPageWriter {
public:
    // The file's bytes: Latin-1, the first line empty, every line ended by CR LF.
    static QByteArray bytes(const SalesPageInput &in);
    // Writes the page to the path; the previous file stays whole when writing fails.
    static bool write(const QString &path, const SalesPageInput &in, QString *error);

    // Derived texts of the page.
    static QString headerPrice(const QString &valorDataRifa); // "2,50"
    static QString drawDate(const QString &valorDataRifa);    // at most 15 characters
    static QString scriptPrice(double valorRifa);             // "02.50"
    static QString receivingPhone(const QString &phoneEntry); // blanks removed
};
