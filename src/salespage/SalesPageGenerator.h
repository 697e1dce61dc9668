#pragma once

#include "data/AppContext.h"
#include "salespage/ModalityFormat.h"
#include "salespage/SalesPageWriter.h"
#include "salespage/TicketListing.h"

#include <QString>

// What the sales-page window hands to the generator when "Gerar Arquivo HTML" is pressed.
struct SalesPageRequest {
    TicketListing *listing = nullptr; // the listing shown; complete
    int total = 0;                    // the total shown
    TicketListing::Mode mode = TicketListing::Mode::FreeAll;
    QString entre1; // the block fields as they read now
    QString entre2;
    QString phone; // text of the order phone list
    QString pixType;
    QString pixKey;
    QString fileName; // empty when no name is chosen
    QString raffleName;
    ModalityFormat format;
    QString recipientName; // with a name, the page carries the payment QR codes
    QString recipientCity;
};

// Checks the request in the order the user meets them and writes the page into RifaWhatsApp/HTML.
class SalesPageGenerator {
public:
    enum class Outcome { Written, Refused, NoFileName, Failed };

    explicit SalesPageGenerator(AppContext &ctx) : m_ctx(ctx) {}

    Outcome BTN_GerarClick(const SalesPageRequest &request);

    QString pagesFolder() const;
    // The page's content from a request (no checks); tickets read from the listing.
    bool buildInput(const SalesPageRequest &request, SalesPageInput *input, QString *error) const;
    // The payment codes and QR pictures for 1 to 10 tickets; empty (and *refusal set) when the key,
    // name or city cannot make a code.
    QList<SalesPagePix> pixPayments(const SalesPageRequest &request, QString *refusal) const;

private:
    AppContext &m_ctx;
};
