// One record of the validation file (180 bytes) as another computer wrote it.
#include "FuzzSupport.h"

#include "platform/Cp1252.h"
#include "sales/ValidationFile.h"

KORVANTE_FUZZ_TARGET(validation_record) {
    QByteArray bytes = FuzzSupport::bytes(data, size);
    // Short inputs are padded, so that the fuzzer's mutations reach the fields' contents.
    if (bytes.size() < ValidationFile::RecordSize) bytes.append(ValidationFile::RecordSize - bytes.size(), '\0');
    bytes.truncate(ValidationFile::RecordSize);
    QString problem;
    ValidationFile::Cleaning cleaning;
    const auto record = ValidationFile::decode(bytes, &problem, &cleaning);
    if (!record) {
        FUZZ_CHECK(!problem.isEmpty(), QStringLiteral("refused without a reason"));
        return 0;
    }
    FUZZ_CHECK(!record->numBilhete.isEmpty() && record->numBilhete.size() <= 6, record->numBilhete);
    bool ok = false;
    const int ticket = record->numBilhete.toInt(&ok);
    FUZZ_CHECK(ok && ticket >= 0, record->numBilhete);
    // Every text can be stored as it was read: no control byte, nothing outside the code page.
    for (const QString &text : {record->nomeComp, record->endComp, record->foneComp, record->cidComp,
                                record->dataVal, record->codVendedor, record->autDigital, record->viaZap}) {
        for (QChar c : text)
            FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F && !(c.unicode() >= 0x80 && c.unicode() <= 0x9F),
                       text);
        FUZZ_CHECK(Cp1252::representable(text) == text, text);
    }
    // Written again, the record reads back the same.
    QString again;
    const auto reread = ValidationFile::decode(ValidationFile::encode(*record), &again);
    FUZZ_CHECK(reread.has_value(), again);
    FUZZ_CHECK(reread->numBilhete == record->numBilhete && reread->nomeComp == record->nomeComp &&
                   reread->endComp == record->endComp && reread->foneComp == record->foneComp &&
                   reread->cidComp == record->cidComp && reread->dataVal == record->dataVal &&
                   reread->codVendedor == record->codVendedor && reread->autDigital == record->autDigital &&
                   reread->viaZap == record->viaZap,
               record->nomeComp);
    return 0;
}
