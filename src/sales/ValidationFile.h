#pragma once

#include "data/AppContext.h"
#include "platform/Dialogs.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class SalesService;

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

// What reading a record changed in its texts so that they can be stored.
struct Cleaning {
    int replaced = 0; // bytes without a character in Windows-1252, stored as "?"
    int dropped = 0;  // control bytes (0x00-0x1F, 0x7F), left out
};
// Reads one whole record; nothing (and *problem set) when it is malformed: a length byte past its
// field's capacity, or a control number that is not 1 to 6 digits.
std::optional<ValidationRecord> decode(const QByteArray &bytes, QString *problem, Cleaning *cleaning = nullptr);

// A whole file split into records: every record, or the first one out of shape (a record out of
// shape means the rest would be read out of alignment, so such a file gives no records).
struct FileContents {
    int recordCount = 0;  // whole records in the file
    int leftOver = 0;     // bytes of an incomplete last record, never imported
    int badRecord = 0;    // the first malformed record (from 1), 0 when every record is sound
    QString problem;      // why that record is malformed
    QList<ValidationRecord> records;
    Cleaning cleaning;    // over the whole file
    int replacedIn = 0;   // records with bytes stored as "?"
    int droppedIn = 0;    // records with control bytes left out
};
FileContents split(const QByteArray &bytes);
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

// "Importar Validações": every record of a chosen file sold again through the sales service, with the
// record's own date and the window's state as each record comes up. The whole file is checked before anything is imported; the
// sales are committed in batches. Shows its boxes through the context's dialogs and always ends
// with one box that sums the import up.
class ValidationImport {
public:
    ValidationImport(AppContext &ctx, SalesService &sales) : m_ctx(ctx), m_sales(sales) {}

    // Told after each record (records done, records in the file); false asks the import to stop.
    std::function<bool(int done, int total)> progress;
    // Told when the import is over, before its summary box.
    std::function<void()> finished;

    // Records committed together; a box asked in between commits first.
    static constexpr int BatchSize = 500;

    // modoImportacao is raised while the import runs and lowered however it ends.
    void run(const QString &path, bool &modoImportacao);

    int validatedCount() const { return m_validated; }

private:
    AppContext &m_ctx;
    SalesService &m_sales;
    int m_validated = 0;
};
