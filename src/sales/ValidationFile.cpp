#include "sales/ValidationFile.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "platform/Cp1252.h"
#include "platform/WaitCursor.h"
#include "raffle/WorkingRaffle.h"
#include "sales/SaleValidator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
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

std::optional<ValidationRecord> decode(const QByteArray &bytes, QString *problem) {
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
        record.*f.member = Cp1252::decode(bytes.mid(f.offset + 1, length));
    }
    return record;
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
    const int records = int(bytes.size() / ValidationFile::RecordSize);
    const int leftOver = int(bytes.size() % ValidationFile::RecordSize);

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

    for (int i = 0; i < records && modoImportacao; ++i) {
        const int number = i + 1;
        auto invalid = [&](const QString &why) {
            m_ctx.dialogs.error(QStringLiteral("Registro %1 de %2 inválido: ").arg(number).arg(name) + why +
                                QStringLiteral(". A importação parou neste registro; os anteriores foram "
                                               "importados."));
        };
        QString problem;
        const auto record = ValidationFile::decode(
            bytes.mid(qsizetype(i) * ValidationFile::RecordSize, ValidationFile::RecordSize), &problem);
        if (!record) return invalid(problem);
        // A record without a control number has no ticket to validate.
        if (record->numBilhete.isEmpty()) continue;
        if (!allDigits(record->numBilhete))
            return invalid(QStringLiteral("o Nº de Controle \"%1\" não é um número").arg(record->numBilhete));
        const QDate date = QDate::fromString(record->dataVal, ValidationFile::dateFormat());
        if (!date.isValid())
            return invalid(QStringLiteral("a data \"%1\" não é uma data válida").arg(record->dataVal));

        ImportFormState state = formState ? formState() : ImportFormState{};
        if (!record->nomeComp.trimmed().isEmpty() && !state.extraFields) {
            if (switchExtraFieldsOn) switchExtraFieldsOn();
            state = formState ? formState() : ImportFormState{};
            state.extraFields = true;
        }
        SaleInput in;
        in.ticketText = record->numBilhete;
        in.extraFields = state.extraFields;
        in.sellerFieldEnabled = state.sellerFieldEnabled;
        in.sellerInvalid = false; // the file's seller is taken as it is
        in.buyer = record->nomeComp;
        in.phone = record->foneComp;
        in.address = record->endComp;
        in.city = record->cidComp;
        in.sellerCode = record->codVendedor;
        in.useToday = false;
        in.dateText = date.toString(QStringLiteral("dd/MM/yyyy"));
        in.price = state.price;

        const SaleOutcome o = m_validator.validate(in);
        using R = SaleOutcome::Result;
        if (o.result == R::Validated) {
            m_validated += int(o.written.size());
            continue;
        }
        if (o.result == R::Ignored) continue;
        m_ctx.dialogs.message(o.title, o.message, o.icon);
        if (o.result != R::AlreadyValidated) return; // a refusal ends the import
        if (!m_ctx.dialogs.question(
                kKorvante, QStringLiteral("Deseja prosseguir para tentar validar os demais bilhetes?"), true))
            return;
    }
    if (!modoImportacao) return;

    QString text =
        QStringLiteral("Importação do arquivo %1 concluída: %2 Bilhete(s) validado(s) de %3 registro(s).")
            .arg(name)
            .arg(m_validated)
            .arg(records);
    if (leftOver > 0)
        text += QStringLiteral("\r\rO último registro do arquivo está incompleto (%1 de %2 bytes) e não foi "
                               "importado.")
                    .arg(leftOver)
                    .arg(ValidationFile::RecordSize);
    m_ctx.dialogs.information(text);
}
