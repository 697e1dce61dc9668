#include "raffle/RaffleSelection.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "raffle/TextLines.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>

RaffleSelection::RaffleSelection(TDM &tdm, WorkingRaffle &raffle) : m_tdm(tdm), m_raffle(raffle) {}

QString RaffleSelection::inactiveMessage() {
    return QStringLiteral("A Rifa Selecionada Não está ATIVA no Cadastro de Rifas!");
}

QString RaffleSelection::noPrizesText() {
    return QStringLiteral("Prêmios Não Definidos. Consulte o Vendedor!");
}

QString RaffleSelection::notChosenCaption() {
    return QStringLiteral("Não Definida");
}

QString RaffleSelection::itemText(int codRifa, const QString &name) {
    return QStringLiteral("00") + QString::number(codRifa) + QStringLiteral(" - ") + name;
}

bool RaffleSelection::activeRaffleItems(QStringList *items, QString *error) const {
    items->clear();
    QSqlQuery q(m_tdm.CONEX_R());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("Select CODRIFA,RIFA_ATIVA,NOME_RIFA from cadastro where RIFA_ATIVA=1 "
                               "order by CODRIFA"))) {
        if (error) *error = q.lastError().text();
        return false;
    }
    while (q.next())
        *items << itemText(q.value(0).toInt(), q.value(2).toString());
    return true;
}

RaffleSelection::Outcome RaffleSelection::confirm(const QString &item, const QFont &font, QString *error) {
    bool ok = false;
    const int code = item.mid(2, 1).toInt(&ok);
    if (!ok) return Outcome::NothingSelected;

    // Read beside the working raffle's row, so that a refusal leaves that row loaded.
    CachedTable row(m_tdm.CDS_RIfaUSar.name());
    if (!row.open(m_tdm.CONEX_R(), QStringLiteral("CADASTRO"),
                  QStringLiteral("Select * from cadastro where CODRIFA=?"), {code}, error))
        return Outcome::Failed;
    if (row.rowCount() == 0 || row.value(0, QStringLiteral("RIFA_ATIVA")).toInt() == 0)
        return Outcome::Inactive;

    derive(row.record(0), font, m_raffle);
    m_tdm.CDS_RIfaUSar = std::move(row);
    return Outcome::Chosen;
}

bool RaffleSelection::reloadWorking(const QFont &font, QString *error) {
    if (!m_raffle.isChosen()) return true;
    CachedTable row(m_tdm.CDS_RIfaUSar.name());
    if (!row.open(m_tdm.CONEX_R(), QStringLiteral("CADASTRO"),
                  QStringLiteral("Select * from cadastro where CODRIFA=?"), {m_raffle.slot()}, error))
        return false;
    if (row.rowCount() == 0 || row.value(0, QStringLiteral("RIFA_ATIVA")).toInt() == 0) {
        escolherDepois();
        return true;
    }
    derive(row.record(0), font, m_raffle);
    m_tdm.CDS_RIfaUSar = std::move(row);
    return true;
}

void RaffleSelection::escolherDepois() {
    m_raffle.CodRifaUsar.clear();
    m_raffle.LBL_RifaUsar = notChosenCaption();
}

QString RaffleSelection::TextoLinhas(const QString &text, const QFont &font) {
    QString result;
    for (const QString &line : TextLines::displayed(text, font, HiddenBoxTextWidth))
        result += line + QStringLiteral("\\n ");
    return result;
}

int RaffleSelection::highestNumberOf(const QString &modalidade) {
    static const QStringList modalities = {QStringLiteral("00 - 99"), QStringLiteral("000 - 999"),
                                           QStringLiteral("0000 - 9999"), QStringLiteral("00000 - 99999"),
                                           QStringLiteral("000000 - 999999")};
    const int k = modalities.indexOf(modalidade);
    return k < 0 ? 0 : TicketTables::modalitySizes().at(k) - 1;
}

int RaffleSelection::numbersPerTicketOf(const QString &usarQtNum) {
    const QString t = usarQtNum.trimmed();
    return t.isEmpty() ? 0 : t.left(2).trimmed().toInt();
}

namespace {

// The price as the locale writes a number: decimal comma, no thousands separator, no trailing zeros.
QString priceText(const QVariant &v) {
    if (v.isNull()) return {};
    return QString::number(v.toDouble(), 'g', 15).replace(u'.', u',');
}

QString dateText(const QVariant &v) {
    const QDate d = v.toDate();
    return v.isNull() || !d.isValid() ? QString() : d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

void RaffleSelection::derive(const QSqlRecord &row, const QFont &font, WorkingRaffle &raffle) {
    const QString premios = row.value(QStringLiteral("PREMIOS")).toString();
    raffle.TextoPremios = premios.isEmpty() ? noPrizesText() : TextoLinhas(premios, font);
    raffle.TextoRegras = TextoLinhas(row.value(QStringLiteral("REGRAS_SORT")).toString(), font);

    const int perTicket = numbersPerTicketOf(row.value(QStringLiteral("USAR_QT_NUM")).toString());
    raffle.QtNumBilhete = quint8(perTicket);
    raffle.ValorDataRifa = priceText(row.value(QStringLiteral("VLR_RIFA"))) + u'-' +
                           dateText(row.value(QStringLiteral("DATA_EVENTO")));
    if (const int highest = highestNumberOf(row.value(QStringLiteral("MODALIDADE")).toString()))
        raffle.MaiorNumero = highest;
    if (const QString table = TicketTables::nameFor(raffle.MaiorNumero, perTicket); !table.isEmpty())
        raffle.TabelaBaseUsar = table;
    raffle.ValorRifa = row.value(QStringLiteral("VLR_RIFA")).toDouble();
    raffle.LinkSorteio = row.value(QStringLiteral("LINK_SORT")).toString();

    raffle.CodRifaUsar = QString::number(row.value(QStringLiteral("CODRIFA")).toInt());
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_") + raffle.CodRifaUsar;
    raffle.LBL_RifaUsar = row.value(QStringLiteral("NOME_RIFA")).toString().left(100);
}
