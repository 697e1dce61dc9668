#include "sales/ValidationFile.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Cp1252.h"
#include "platform/WaitCursor.h"
#include "sales/SaleValidator.h"
#include "sales/SalesClosing.h"
#include "sales/SalesService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <array>

namespace {

const QString kKorvante = QStringLiteral("KORVANTE");

struct Field {
    int offset;
    int capacity;
    QString ValidationRecord::*member;
    const char *label; // how the import names the field in its messages
};

// The record's fields in file order: the phone lies after the address.
const std::array<Field, 9> &fields() {
    static const std::array<Field, 9> table{{
        {0, 6, &ValidationRecord::numBilhete, "Nº de Controle"},
        {7, 40, &ValidationRecord::nomeComp, "Comprador"},
        {48, 50, &ValidationRecord::endComp, "Endereço"},
        {99, 15, &ValidationRecord::foneComp, "Telefone"},
        {115, 30, &ValidationRecord::cidComp, "Cidade"},
        {146, 12, &ValidationRecord::dataVal, "Data"},
        {159, 3, &ValidationRecord::codVendedor, "Cód. Vendedor"},
        {163, 12, &ValidationRecord::autDigital, "Autenticação"},
        {176, 3, &ValidationRecord::viaZap, "VIAZAP"},
    }};
    return table;
}

bool allDigits(const QString &text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return !text.isEmpty();
}

QString textOf(const QVariant &v) {
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::QDate) return v.toDate().toString(ValidationFile::dateFormat());
    return v.toString();
}

QString withoutTrailingBlanks(QString text) {
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

} // namespace

namespace ValidationFile {

QString exportName() {
    return QStringLiteral("RifasValidas.dat");
}

QString dateFormat() {
    return QStringLiteral("dd/MM/yyyy");
}

QByteArray encode(const ValidationRecord &record) {
    QByteArray bytes(RecordSize, '\0');
    for (const Field &f : fields()) {
        const QByteArray text = Cp1252::encode(record.*f.member).left(f.capacity);
        bytes[f.offset] = char(text.size());
        bytes.replace(f.offset + 1, text.size(), text);
    }
    return bytes;
}

std::optional<ValidationRecord> decode(const QByteArray &bytes, QString *problem, Cleaning *cleaning) {
    if (bytes.size() != RecordSize) {
        if (problem) *problem = QStringLiteral("o registro está incompleto");
        return std::nullopt;
    }
    ValidationRecord record;
    for (const Field &f : fields()) {
        const int length = quint8(bytes.at(f.offset));
        if (length > f.capacity) {
            if (problem)
                *problem = QStringLiteral("o campo %1 diz ter %2 caracteres, mas comporta no máximo %3")
                               .arg(QString::fromUtf8(f.label))
                               .arg(length)
                               .arg(f.capacity);
            return std::nullopt;
        }
        // The database holds Windows-1252 only: its five unassigned bytes become "?", and control
        // bytes, which no field of a sale carries, are left out.
        QByteArray text;
        text.reserve(length);
        for (char c : bytes.mid(f.offset + 1, length)) {
            const auto b = quint8(c);
            if (b < 0x20 || b == 0x7F) {
                if (cleaning) ++cleaning->dropped;
            } else if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
                if (cleaning) ++cleaning->replaced;
                text += '?';
            } else {
                text += c;
            }
        }
        record.*f.member = Cp1252::decode(text);
    }
    // The export always writes the control number; a record without one is not a record of it.
    if (!allDigits(record.numBilhete) || record.numBilhete.size() > 6) {
        if (problem)
            *problem = record.numBilhete.isEmpty()
                           ? QStringLiteral("o Nº de Controle está vazio")
                           : QStringLiteral("o Nº de Controle \"%1\" não é um número de 1 a 6 dígitos")
                                 .arg(record.numBilhete);
        return std::nullopt;
    }
    return record;
}

FileContents split(const QByteArray &bytes) {
    FileContents file;
    file.recordCount = int(bytes.size() / RecordSize);
    file.leftOver = int(bytes.size() % RecordSize);
    file.records.reserve(file.recordCount);
    for (int i = 0; i < file.recordCount; ++i) {
        Cleaning one;
        const auto record = decode(bytes.mid(qsizetype(i) * RecordSize, RecordSize), &file.problem, &one);
        if (!record) {
            file.badRecord = i + 1;
            file.records.clear();
            return file;
        }
        file.replacedIn += one.replaced > 0 ? 1 : 0;
        file.droppedIn += one.dropped > 0 ? 1 : 0;
        file.cleaning.replaced += one.replaced;
        file.cleaning.dropped += one.dropped;
        file.records << *record;
    }
    return file;
}

} // namespace ValidationFile

QString ValidationExport::filePath() const {
    return QDir(m_ctx.programFolder).filePath(ValidationFile::exportName());
}

ValidationExport::Result ValidationExport::run(const QDate &from, const QDate &to) {
    Result result;
    auto refuse = [&](const QString &message) {
        result.message = message;
        result.icon = BoxIcon::Error;
        return result;
    };
    const QString table = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (table.isEmpty()) return refuse(QStringLiteral("Favor escolha uma Rifa a Trabalhar..."));

    WaitCursor wait;
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    const bool ok = q.prepare(
        QStringLiteral("Select NUMBILHETE,NOMECOMP,FONECOMP,ENDCOMP, CIDCOMP,VALIDADO,DATA_VAL, VALOR, "
                       "AUT_DIGITAL_VAL, COD_VENDEDOR,VIAZAP from ") +
        table + QStringLiteral(" where DATA_VAL>=? and DATA_VAL<=?"));
    if (ok) {
        q.addBindValue(from);
        q.addBindValue(to);
    }
    if (!ok || !q.exec()) {
        wait.restore();
        return refuse(QStringLiteral("Erro ao Exportar. Detalhe do Erro: ") + q.lastError().text());
    }

    // Every record is checked before the file is touched: a number cut to its field would arrive
    // as another ticket or another seller.
    QByteArray bytes;
    int count = 0;
    while (q.next()) {
        ValidationRecord r;
        r.numBilhete = textOf(q.value(0));
        r.nomeComp = textOf(q.value(1));
        r.foneComp = textOf(q.value(2));
        r.endComp = textOf(q.value(3));
        r.cidComp = textOf(q.value(4));
        r.dataVal = textOf(q.value(6));
        r.autDigital = withoutTrailingBlanks(textOf(q.value(8)));
        r.codVendedor = textOf(q.value(9));
        r.viaZap = textOf(q.value(10));
        const QString unchanged = QStringLiteral(" O arquivo ") + ValidationFile::exportName() +
                                  QStringLiteral(" não foi alterado.");
        if (!r.numBilhete.isEmpty() && (!allDigits(r.numBilhete) || r.numBilhete.size() > 6)) {
            wait.restore();
            return refuse(QStringLiteral("Exportação cancelada: o Nº de Controle de Bilhete %1 não cabe no "
                                         "arquivo de validações, que comporta até 6 dígitos.")
                              .arg(r.numBilhete) +
                          unchanged);
        }
        if (!r.codVendedor.isEmpty() && (!allDigits(r.codVendedor) || r.codVendedor.size() > 3)) {
            wait.restore();
            return refuse(
                QStringLiteral("Exportação cancelada: o Código de Vendedor %1 (Bilhete %2) não cabe "
                               "no arquivo de validações, que comporta até 3 dígitos.")
                    .arg(r.codVendedor, r.numBilhete) +
                unchanged);
        }
        bytes += ValidationFile::encode(r);
        ++count;
    }

    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        wait.restore();
        return refuse(QStringLiteral("Não foi possível gravar o arquivo ") + ValidationFile::exportName() +
                      QStringLiteral(". Detalhe do Erro: ") + file.errorString());
    }
    wait.restore();
    result.written = true;
    result.records = count;
    if (count == 0)
        return refuse(QStringLiteral(
            "Não foi encontrado registros de Validações de Bilhetes na Faixa de Pesquisa definida!"));
    result.icon = BoxIcon::Information;
    result.message =
        QStringLiteral("Exportação de [ ") + QString::number(count) + QStringLiteral(" Bilhetes") +
        QStringLiteral(" ] Concluída com sucesso. O Nome do arquivo gerado que deverá ser colocado "
                       "num pen-drive ou enviado por e-mail para o computador CENTRAL é... ") +
        ValidationFile::exportName() + QStringLiteral("\r") + QStringLiteral("\r") +
        QStringLiteral("Obs. O arquivo está na mesma Pasta de instalação do Programa, veja ele agora...");
    return result;
}

void ValidationImport::run(const QString &path, bool &modoImportacao) {
    m_validated = 0;
    if (const auto closing = SalesClosing::stateOf(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), nullptr);
        closing && closing->closed()) {
        m_ctx.dialogs.error(SalesClosing::importRefusedMessage(closing->closedAt));
        return;
    }
    QFile file(path);
    if (path.isEmpty() || !file.exists()) {
        m_ctx.dialogs.error(QStringLiteral("Não foi possível localizar a base selecionada!"));
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        m_ctx.dialogs.error(QStringLiteral("Não foi possível ler o arquivo ") + name +
                            QStringLiteral(". Detalhe do Erro: ") + file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    // The whole file is read before anything is imported.
    const ValidationFile::FileContents contents = ValidationFile::split(bytes);
    const int records = contents.recordCount;
    const int leftOver = contents.leftOver;
    if (contents.badRecord > 0) {
        m_ctx.dialogs.error(QStringLiteral("O arquivo %1 não foi importado: o registro %2 de %3 está fora do "
                                           "formato do arquivo de validações (%4). Nenhum registro foi "
                                           "importado.")
                                .arg(name)
                                .arg(contents.badRecord)
                                .arg(records)
                                .arg(contents.problem));
        return;
    }
    const QList<ValidationRecord> &read = contents.records;
    const ValidationFile::Cleaning &cleaning = contents.cleaning;
    const int replacedIn = contents.replacedIn, droppedIn = contents.droppedIn;

    if (!m_ctx.dialogs.question(kKorvante,
                                QStringLiteral("Foram encontrados ") + QString::number(records) +
                                    QStringLiteral(" Controle de Bilhete Validados neste arquivo. Deseja "
                                                   "Importar e Incorporar a sua Vase de Dados?"),
                                true))
        return;

    modoImportacao = true;
    struct Lower {
        bool &flag;
        ~Lower() { flag = false; }
    } lower{modoImportacao};

    QList<int> skipped;  // tickets already validated, passed over on the person's word
    int pending = 0;     // validated in the open batch
    int stoppedAt = 0;   // the record the import stopped at, 0 when it went through
    QString why;         // why it stopped
    bool personStopped = false;
    QString error;

    auto commit = [&]() -> bool {
        if (!m_sales.inBatch()) return true;
        if (!m_sales.commitBatch(&error)) {
            pending = 0;
            return false;
        }
        m_validated += pending;
        pending = 0;
        return true;
    };
    auto batchFailed = [&](int record) {
        stoppedAt = record;
        personStopped = false;
        why = QStringLiteral("não foi possível gravar o lote de registros que terminava neste registro; os "
                             "registros desse lote não foram importados. Detalhe do Erro: ") +
              error;
    };

    for (int i = 0; i < records; ++i) {
        const int number = i + 1;
        if (!modoImportacao) {
            personStopped = true;
            stoppedAt = number;
            break;
        }
        const ValidationRecord &record = read[i];
        const QDate date = QDate::fromString(record.dataVal, ValidationFile::dateFormat());
        if (!date.isValid()) {
            stoppedAt = number;
            why = QStringLiteral("a data \"%1\" não é uma data válida").arg(record.dataVal);
            break;
        }

        const SaleFormState state = m_sales.formState();
        SaleRequest in;
        in.source = SaleRequest::Source::ValidationFile;
        in.ticketText = record.numBilhete;
        // A record with a buyer is sold with the extra fields, which the window then shows switched on.
        in.extraFields = state.extraFields || !record.nomeComp.trimmed().isEmpty();
        in.sellerFieldEnabled = in.extraFields && !state.sellerSwitchedOff;
        in.sellerInvalid = false; // the file's seller is taken as it is
        in.buyer = record.nomeComp;
        in.phone = record.foneComp;
        in.address = record.endComp;
        in.city = record.cidComp;
        in.sellerCode = record.codVendedor;
        in.useToday = false;
        in.dateText = date.toString(QStringLiteral("dd/MM/yyyy"));
        in.price = state.price;

        if (!m_sales.inBatch() && !m_sales.beginBatch(&error)) {
            stoppedAt = number;
            why = QStringLiteral("Erro ao Validar. Detalhe do Erro: ") + error;
            break;
        }
        SaleOutcome o = m_sales.sell(in);
        // Another computer changed the same ticket row meanwhile: what this batch holds is kept,
        // and the sale is tried again in a fresh transaction that sees that change.
        const RetryPolicy retry = RetryPolicy::standard();
        for (int attempt = 1; o.result == SaleOutcome::Result::Failed && o.conflict && attempt < retry.attempts;
             ++attempt) {
            if (!commit()) break;
            retry.pause(attempt);
            if (!m_sales.beginBatch(&error)) break;
            o = m_sales.sell(in);
        }
        if (!error.isEmpty()) {
            batchFailed(number);
            break;
        }
        using R = SaleOutcome::Result;
        if (o.result == R::Validated) {
            pending += int(o.written.size());
        } else if (o.result == R::AlreadyValidated) {
            // No transaction stays open while a box waits for the person.
            if (!commit()) {
                batchFailed(number);
                break;
            }
            m_ctx.dialogs.message(o.title, o.message, o.icon);
            if (!m_ctx.dialogs.question(
                    kKorvante, QStringLiteral("Deseja prosseguir para tentar validar os demais bilhetes?"),
                    true)) {
                modoImportacao = false;
                personStopped = true;
                stoppedAt = number;
                skipped << record.numBilhete.toInt();
                break;
            }
            skipped << record.numBilhete.toInt();
        } else if (o.result != R::Ignored) {
            stoppedAt = number;
            why = o.result == R::Failed && o.conflict ? SaleValidator::conflictMessage(record.numBilhete.toInt())
                                                      : o.message;
            break;
        }
        if (pending >= BatchSize && !commit()) {
            batchFailed(number);
            break;
        }
        if (progress && !progress(number, records)) {
            if (number < records) {
                personStopped = true;
                stoppedAt = number + 1;
                break;
            }
        }
    }
    // A refused sale already took back its own rows; what the batch holds before it is kept.
    if (!commit() && why.isEmpty()) batchFailed(stoppedAt > 0 ? stoppedAt : records);
    modoImportacao = false;
    if (finished) finished();

    const int readCount = stoppedAt > 0 ? stoppedAt : records;
    QString text;
    if (stoppedAt == 0) {
        text = QStringLiteral("Importação do arquivo %1 concluída: %2 Bilhete(s) validado(s) de %3 registro(s).")
                   .arg(name)
                   .arg(m_validated)
                   .arg(records);
    } else {
        text = (personStopped ? QStringLiteral("A importação do arquivo %1 foi interrompida a seu pedido no "
                                               "registro %2 de %3.")
                              : QStringLiteral("A importação do arquivo %1 parou no registro %2 de %3: "))
                   .arg(name)
                   .arg(stoppedAt)
                   .arg(records) +
               why + QStringLiteral("\r\rOs registros anteriores foram importados; o registro %1 e os seguintes "
                                    "não foram importados.")
                         .arg(stoppedAt);
        text += QStringLiteral("\r\rRegistros lidos: %1 de %2. Bilhete(s) validado(s): %3.")
                    .arg(readCount)
                    .arg(records)
                    .arg(m_validated);
    }
    if (!skipped.isEmpty()) {
        QStringList shown;
        for (int k = 0; k < skipped.size() && k < 20; ++k)
            shown << QString::number(skipped[k]);
        text += QStringLiteral("\r\rRegistros ignorados: %1 (Bilhete já validado anteriormente: %2%3).")
                    .arg(skipped.size())
                    .arg(shown.join(QStringLiteral(", ")), skipped.size() > 20 ? QStringLiteral(", ...") : QString());
    }
    if (cleaning.replaced > 0)
        text += QStringLiteral("\r\r%1 caractere(s) sem correspondência no padrão Windows-1252 foram gravados "
                               "como \"?\" (em %2 registro(s)).")
                    .arg(cleaning.replaced)
                    .arg(replacedIn);
    if (cleaning.dropped > 0)
        text += QStringLiteral("\r\r%1 caractere(s) de controle foram removidos dos textos (em %2 registro(s)).")
                    .arg(cleaning.dropped)
                    .arg(droppedIn);
    if (leftOver > 0 && stoppedAt == 0)
        text += QStringLiteral("\r\rO último registro do arquivo está incompleto (%1 de %2 bytes) e não foi "
                               "importado.")
                    .arg(leftOver)
                    .arg(ValidationFile::RecordSize);
    m_ctx.dialogs.message(kKorvante, text, stoppedAt == 0 || personStopped ? BoxIcon::Information : BoxIcon::Error);
}
