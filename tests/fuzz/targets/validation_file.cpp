// A whole validation file split into records, as the import reads it before it imports anything.
#include "FuzzSupport.h"

#include "sales/ValidationFile.h"

#include <QDate>

KORVANTE_FUZZ_TARGET(validation_file) {
    const QByteArray bytes = FuzzSupport::bytes(data, size);
    const ValidationFile::FileContents file = ValidationFile::split(bytes);
    FUZZ_CHECK(qsizetype(file.recordCount) * ValidationFile::RecordSize + file.leftOver == bytes.size(),
               QString::number(bytes.size()));
    if (file.badRecord > 0) {
        FUZZ_CHECK(file.badRecord <= file.recordCount && file.records.isEmpty() && !file.problem.isEmpty(),
                   file.problem);
        return 0;
    }
    FUZZ_CHECK(file.records.size() == file.recordCount, QString::number(file.records.size()));
    FUZZ_CHECK(file.replacedIn <= file.recordCount && file.droppedIn <= file.recordCount,
               QString::number(file.replacedIn));
    QByteArray written;
    for (const ValidationRecord &r : file.records) {
        // What the import does with each record before it validates it.
        const QDate date = QDate::fromString(r.dataVal, ValidationFile::dateFormat());
        if (date.isValid()) FUZZ_CHECK(date.toString(ValidationFile::dateFormat()).size() == 10, r.dataVal);
        r.numBilhete.toInt();
        written += ValidationFile::encode(r);
    }
    // The records written again make a file that reads the same.
    const ValidationFile::FileContents again = ValidationFile::split(written);
    FUZZ_CHECK(again.badRecord == 0 && again.records.size() == file.records.size() && again.leftOver == 0,
               again.problem);
    FUZZ_CHECK(again.cleaning.replaced == 0 && again.cleaning.dropped == 0, QStringLiteral("cleaned twice"));
    return 0;
}
