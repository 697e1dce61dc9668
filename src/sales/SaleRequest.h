#pragma once

#include <QString>

// One sale as a panel hands it to the sales service. Each panel fills it from what it holds: the
// validation window from its fields (one ticket or a sequence "a-b"), the WhatsApp panel from a
// pasted order, the import from a record of the validation file.
struct SaleRequest {
    enum class Source { Window, WhatsAppOrder, ValidationFile };
    Source source = Source::Window;

    QString ticketText;       // one control number or a sequence "a-b"
    bool extraFields = false; // "Ativar Campos Extras" = "Sim"
    bool sellerFieldEnabled = true;
    bool sellerInvalid = false; // the seller code typed last was not found
    QString buyer;
    QString phone; // digits are kept, the mask's literals dropped
    QString address;
    QString city;
    QString sellerCode;
    bool useToday = true;         // "Usar a Data de Hoje Automática"
    bool dateFieldEnabled = true; // a greyed-out date field is never asked for: today is used
    QString dateText;             // dd/MM/yyyy, when useToday is off
    double price = 0;

    bool isSequence() const { return ticketText.contains(u'-'); }
};

// What the validation window's own fields say about every sale, whichever panel fills the request.
struct SaleFormState {
    bool extraFields = false;       // "Ativar Campos Extras" = "Sim"
    bool sellerSwitchedOff = false; // F5: the seller field is off while the extra fields are on
    bool dateFieldEnabled = true;
    bool sellerFixed = false; // "Fixar esse Vendedor": the typed seller goes with every sale
    QString sellerCode;       // the seller field's text
    bool sellerInvalid = false;
    double price = 0;

    bool sellerFieldEnabled() const { return extraFields && !sellerSwitchedOff; }
};

// Where a request's form state comes from: the validation window, or a fixed state where no window is.
class SaleForm {
public:
    virtual ~SaleForm() = default;
    virtual SaleFormState saleFormState() const = 0;
};
