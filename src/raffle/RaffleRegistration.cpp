#include "raffle/RaffleRegistration.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/WaitCursor.h"
#include "raffle/TextLines.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>

RaffleRegistration::RaffleRegistration(TDM &tdm, WorkingRaffle &raffle) : m_tdm(tdm), m_raffle(raffle) {}

const QStringList &RaffleRegistration::modalities() {
    static const QStringList items = {QStringLiteral("00 - 99"), QStringLiteral("000 - 999"),
                                      QStringLiteral("0000 - 9999"), QStringLiteral("00000 - 99999"),
                                      QStringLiteral("000000 - 999999")};
    return items;
}

const QStringList &RaffleRegistration::perTicketItems() {
    static const QStringList items = {QStringLiteral("1 Número"), QStringLiteral("2 Números"),
                                      QStringLiteral("4 Números"), QStringLiteral("5 Números"),
                                      QStringLiteral("10 Números")};
    return items;
}

QString RaffleRegistration::tooManyPerTicketMessage() {
    return QStringLiteral("Rifas de 0 a 99, só pode ter até 2 números por Bilhete!");
}

QString RaffleRegistration::premiosLimitMessage() {
    return QStringLiteral(
        "O limite máximo para o campo  DADOS DA PREMIAÇÃO junto com o campo INFORMAÇÕES "
        "ADICIONAIS é de até 14 linhas!\r\rObs. Apague linhas em branco caso exista após o texto.");
}

QString RaffleRegistration::regrasLimitMessage() {
    return QStringLiteral(
        "O limite máximo para o campo INFORMAÇÕES ADICIONAIS junto com o campo DADOS DA "
        "PREMIAÇÃO é de até 14 linhas!\r\rObs. Apague linhas em branco caso exista após o texto.");
}

QString RaffleRegistration::allInactiveMessage() {
    return QStringLiteral("Não é possível deixar as 5 Rifas INATIVAS! Mantenha ao menos uma Rifa ATIVA "
                          "para poder escolher a Rifa a Trabalhar.");
}

QString RaffleRegistration::savedMessage() {
    return QStringLiteral("Dados Gravados com Sucesso!");
}

QString RaffleRegistration::validationsMessage() {
    return QStringLiteral(
        "Você alterou a Modalidade ou Quant. de Números por Bilhetes mas isso não é permitido no "
        "momento, porque essa RiFA já tem validações(pagamentos) registrados .\r\rCaso queira "
        "realmente mudar, terá que ZERAR AS VALIDAÇÕES dessa RIFA ou escolher uma Nova Rifa e "
        "fazer com o novo Padrão Desejada.");
}

bool RaffleRegistration::open(QString *error) {
    WaitCursor wait;
    return CDS_CADASTRO.open(m_tdm.CONEX_R(), QStringLiteral("CADASTRO"),
                             QStringLiteral("select * from CADASTRO order by CODRIFA"), {}, error);
}

int RaffleRegistration::workingRaffleRow() const {
    if (m_raffle.CodRifaUsar.isEmpty()) return CDS_CADASTRO.rowCount() > 0 ? 0 : -1;
    const int row = CDS_CADASTRO.locate(QStringLiteral("CODRIFA"), m_raffle.CodRifaUsar);
    return row >= 0 ? row : (CDS_CADASTRO.rowCount() > 0 ? 0 : -1);
}

QString RaffleRegistration::upperAscii(const QString &text) {
    QString out = text;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

bool RaffleRegistration::perTicketAllowed(const QString &modalidade, const QString &usarQtNum) {
    return modalidade != modalities().at(0) || perTicketItems().indexOf(usarQtNum) < 2;
}

RaffleRegistration::SizeLabels RaffleRegistration::AtualizarTotais(int k, int j, QString *error) {
    if (k < 0 || k >= modalities().size()) return {QStringLiteral("[0 números]"), std::nullopt};
    static const char *const numberLabels[] = {"[100 números]", "[1.000 números]", "[10.000 números]",
                                               "[100.000 números]", "[1.000.000 números]"};
    SizeLabels labels{QString::fromUtf8(numberLabels[k]), std::nullopt};
    const int m = TicketTables::modalitySizes().at(k);
    const int q = j <= 0 ? 1 : TicketTables::perTicketCounts().value(j, 0);
    // 0..99 has no base of 4, 5 or 10 numbers: the ticket label keeps its text.
    if (q == 0 || TicketTables::nameFor(m - 1, q).isEmpty()) return labels;
    const QString text = m_tdm.TotalBilhetes(m, q, error);
    if (!text.isEmpty()) labels.tickets = text;
    return labels;
}

int RaffleRegistration::shownLines(const QString &premios, const QString &regras, const QFont &rulesFont) {
    return int(TextLines::stored(premios).size() +
               TextLines::displayed(regras, rulesFont, RulesTextWidth).size());
}

QString RaffleRegistration::checkRow(int row) const {
    const CachedTable &t = CDS_CADASTRO;
    const QString modalidade = t.value(row, QStringLiteral("MODALIDADE")).toString();
    const QString qtNum = t.value(row, QStringLiteral("USAR_QT_NUM")).toString();
    if (t.value(row, QStringLiteral("NOME_RIFA")).toString().isEmpty())
        return QStringLiteral("Favor informe o Nome da Rifa!");
    if (!modalities().contains(modalidade)) return QStringLiteral("Favor informe a Modalidade da Rifa!");
    if (!perTicketItems().contains(qtNum))
        return QStringLiteral("Favor informe Quantos Números por Bilhete será usado nesta Rifa!");
    if (t.value(row, QStringLiteral("VLR_RIFA")).toDouble() == 0)
        return QStringLiteral("Favor informe o Valor da Rifa!");
    const QVariant date = t.value(row, QStringLiteral("DATA_EVENTO"));
    if (date.isNull() || !date.toDate().isValid())
        return QStringLiteral("Favor informe a Data Provável da Rifa. Você pode altear posteriormente!");
    if (!perTicketAllowed(modalidade, qtNum)) return tooManyPerTicketMessage();
    // Checked again here: leaving a box is not the only way to reach the save.
    if (shownLines(t.value(row, QStringLiteral("PREMIOS")).toString(),
                   t.value(row, QStringLiteral("REGRAS_SORT")).toString(), m_rulesFont) > MaxTextLines)
        return premiosLimitMessage();
    return {};
}

bool RaffleRegistration::isWorkingRaffle(int row) const {
    return !m_raffle.CodRifaUsar.isEmpty() &&
           CDS_CADASTRO.value(row, QStringLiteral("CODRIFA")).toString() == m_raffle.CodRifaUsar;
}

bool RaffleRegistration::hasValidations(int slot, QString *error) const {
    const QString table = TicketTables::buyerTable(slot);
    if (table.isEmpty()) return false;
    QSqlQuery q(m_tdm.CONEX_R());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("Select first 1 NUMBILHETE from ") + table);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    return q.next();
}

RaffleRegistration::SaveResult RaffleRegistration::GravarDados(int currentRow) {
    CachedTable &t = CDS_CADASTRO;
    // The shown row is checked even when unedited; every other row that will be written as well.
    QList<int> written;
    for (int r = 0; r < t.rowCount(); ++r)
        if (t.isRowModified(r)) written << r;
    QList<int> toCheck{currentRow};
    for (int r : written)
        if (r != currentRow) toCheck << r;
    for (int r : toCheck) {
        if (r < 0 || r >= t.rowCount()) continue;
        const QString why = checkRow(r);
        if (!why.isEmpty()) return {SaveResult::Refused, why, r, false};
    }
    if (written.isEmpty()) return {};
    bool anyActive = false;
    for (int r = 0; r < t.rowCount(); ++r)
        if (t.value(r, QStringLiteral("RIFA_ATIVA")).toInt() == 1) anyActive = true;
    // Nothing in the program could make a raffle active again: the chooser would be empty.
    if (!anyActive) return {SaveResult::Refused, allInactiveMessage(), currentRow, false};

    // Sold tickets point at control numbers of the raffle's ticket table: while any raffle's buyer
    // table holds rows, neither its modality nor its numbers per ticket may change.
    for (int r : written) {
        const bool changed =
            t.value(r, QStringLiteral("MODALIDADE")) != t.originalValue(r, QStringLiteral("MODALIDADE")) ||
            t.value(r, QStringLiteral("USAR_QT_NUM")) != t.originalValue(r, QStringLiteral("USAR_QT_NUM"));
        if (!changed) continue;
        QString error;
        const bool sold = hasValidations(t.value(r, QStringLiteral("CODRIFA")).toInt(), &error);
        if (!error.isEmpty()) return {SaveResult::Failed, error, r, false};
        if (sold) {
            t.cancelUpdates();
            return {SaveResult::HasValidations, validationsMessage(), r, false};
        }
    }

    QString error;
    if (!t.applyUpdates(&error)) return {SaveResult::Failed, error, -1, false};
    SaveResult result{SaveResult::Saved, savedMessage(), -1, false};
    // The print copy follows only what was really written.
    for (int r : written) {
        m_tdm.AtualCadBaseID(t.record(r));
        if (isWorkingRaffle(r)) result.wroteWorkingRaffle = true;
    }
    return result;
}
