#pragma once

#include "data/AppContext.h"
#include "platform/Dialogs.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class SaleValidator;

// One sale as the validation file carries it between computers: texts as read from the buyer row.
struct ValidationRecord {
    QString numBilhete;
    QString nomeComp;
    QString endComp;
    QString foneComp;
    QString cidComp;
    QString dataVal; // dd/MM/yyyy
    QString codVendedor;
    QString autDigital;
    QString viaZap;
};

// RifasValidas.dat: records of 180 bytes, each field one length byte followed by its capacity in
// Windows-1252 bytes; no header, no trailer.
namespace ValidationFile {
constexpr int RecordSize = 180;
QString exportName(); // "RifasValidas.dat"
QString dateFormat(); // the short date the file carries

// The record's bytes; texts longer than their field are cut, unused bytes are zero.
QByteArray encode(const ValidationRecord &record);
// Reads one whole record; nothing (and *problem set) when a length byte passes its field's capacity.
std::optional<ValidationRecord> decode(const QByteArray &bytes, QString *problem);
} // namespace ValidationFile

// "INICIAR" of the export panel: the working raffle's validations of a date range into the file.
class ValidationExport {
public:
    explicit ValidationExport(AppContext &ctx) : m_ctx(ctx) {}

    struct Result {
        bool written = false; // the file now holds the records (possibly none)
        int records = 0;
        QString message;
        BoxIcon icon = BoxIcon::None;
    };
    Result run(const QDate &from, const QDate &to);
    QString filePath() const;

private:
    AppContext &m_ctx;
};

// What the import takes from the validation window, as it stands when each record comes up.
struct ImportFormState {
    bool extraFields = false;
    bool sellerFieldEnabled = true;
    double price = 0;
};

// "Importar Validações": every record of a chosen file validated again through the validation
// routine, with the record's own date. Shows its boxes through the context's dialogs.
class ValidationImport {
public:
    ValidationImport(AppContext &ctx, SaleValidator &validator) : m_ctx(ctx), m_validator(validator) {}

    std::function<ImportFormState()> formState;
    std::function<void()> switchExtraFieldsOn;

    // modoImportacao is raised while the import runs and lowered however it ends.
    void run(const QString &path, bool &modoImportacao);

    int validatedCount() const { return m_validated; }

private:
    AppContext &m_ctx;
    SaleValidator &m_validator;
    int m_validated = 0;
};
