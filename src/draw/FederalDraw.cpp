#include "draw/FederalDraw.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "draw/OwnDraw.h"
#include "platform/TypedValues.h"
#include "platform/WaitCursor.h"
#include "raffle/WorkingRaffle.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>

FederalDraw::FederalDraw(AppContext &ctx) : m_ctx(ctx), m_lookup(ctx.tdm.CONEX_R(), ctx.raffle) {}

QString FederalDraw::ruleText(FederalRule rule) {
    switch (rule) {
    case FederalRule::MaisProximo:
        return QStringLiteral("vale o número vendido mais próximo");
    case FederalRule::Organizacao:
        return QStringLiteral("o prêmio fica com a organização");
    default:
        return QStringLiteral("passa para o próximo prêmio");
    }
}

QString FederalDraw::ruleCode(FederalRule rule) {
    switch (rule) {
    case FederalRule::MaisProximo:
        return QStringLiteral("MAIS_PROXIMO");
    case FederalRule::Organizacao:
        return QStringLiteral("ORGANIZACAO");
    default:
        return QStringLiteral("PROXIMO");
    }
}

std::optional<FederalRule> FederalDraw::ruleOfCode(const QString &code) {
    for (FederalRule r : {FederalRule::ProximoPremio, FederalRule::MaisProximo, FederalRule::Organizacao})
        if (ruleCode(r) == code) return r;
    return std::nullopt;
}

QString FederalDraw::modalityRefusedMessage() {
    return QStringLiteral("O Sorteio pela Loteria Federal não serve para a Modalidade 000000 - 999999: a "
                          "Loteria Federal sorteia números de 5 algarismos.");
}
QString FederalDraw::prizeMessage(int prize) {
    return QStringLiteral("Informe o %1º prêmio da Loteria Federal com 5 algarismos, como publicado (6 "
                          "algarismos somente com zero à esquerda).")
        .arg(prize);
}
QString FederalDraw::extractionMessage() {
    return QStringLiteral("Informe o número da Extração da Loteria Federal (somente algarismos).");
}
QString FederalDraw::dateMessage() {
    return QStringLiteral("Informe uma data válida para a Extração da Loteria Federal (dd/mm/aaaa).");
}
QString FederalDraw::noWinnerMessage(const QString &extracao, FederalRule rule) {
    if (rule == FederalRule::Organizacao)
        return QStringLiteral("O número do 1º prêmio da Extração %1 não está em um Bilhete pago desta Rifa: "
                              "o prêmio fica com a organização. Resultado registrado: sem ganhador.")
            .arg(extracao);
    return QStringLiteral("Nenhum dos 5 prêmios da Extração %1 caiu em um Bilhete pago desta Rifa. Resultado "
                          "registrado: sem ganhador. O usual é sortear pela próxima Extração da Loteria "
                          "Federal.")
        .arg(extracao);
}

std::optional<QString> FederalDraw::prizeDigits(const QString &typed) {
    const QString t = typed.trimmed();
    for (QChar c : t)
        if (c < u'0' || c > u'9') return std::nullopt;
    if (t.size() == 5) return t;
    if (t.size() == 6 && t.startsWith(u'0')) return t.mid(1);
    return std::nullopt;
}

bool FederalDraw::anyPaid(bool *any, QString *error) const {
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.prepare(QStringLiteral("SELECT FIRST 1 NUMBILHETE FROM %1 WHERE %2 = ?")
                  .arg(m_ctx.raffle.TabelaBaseUsar, TicketTables::markColumn(m_ctx.raffle.slot())));
    q.addBindValue(QStringLiteral("S"));
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    *any = q.next();
    return true;
}

std::optional<TicketRow> FederalDraw::nearestPaid(int from, int *number, QString *error) const {
    const int q = m_ctx.raffle.QtNumBilhete;
    const qint64 size = qint64(m_ctx.raffle.MaiorNumero) + 1;
    QString numbers;
    for (int i = 1; i <= q; ++i)
        numbers += QStringLiteral("N%1, ").arg(i);
    QSqlQuery query(m_ctx.tdm.CONEX_R());
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT %1NUMBILHETE FROM %2 WHERE %3 = ?")
            .arg(numbers, m_ctx.raffle.TabelaBaseUsar, TicketTables::markColumn(m_ctx.raffle.slot())));
    query.addBindValue(QStringLiteral("S"));
    if (!query.exec()) {
        *error = query.lastError().text();
        return std::nullopt;
    }
    // Distance going up (wrapping past the highest number) and going down; a tie goes up.
    std::optional<TicketRow> best;
    qint64 bestKey = std::numeric_limits<qint64>::max();
    while (query.next()) {
        for (int i = 0; i < q; ++i) {
            const int n = query.value(i).toInt();
            const qint64 up = ((n - from) % size + size) % size;
            const qint64 down = ((from - n) % size + size) % size;
            const qint64 key = up <= down ? 2 * up : 2 * down + 1;
            if (key < bestKey) {
                bestKey = key;
                *number = n;
                TicketRow row;
                row.numBilhete = query.value(q).toInt();
                row.mark = QStringLiteral("S");
                best = row;
            }
        }
    }
    return best;
}

FederalResult FederalDraw::draw(const FederalInput &input) {
    FederalResult r;
    r.icon = BoxIcon::Warning;
    const int digits = OwnDraw::digitCount(m_ctx.raffle.MaiorNumero);
    if (digits > 5) {
        r.message = modalityRefusedMessage();
        return r;
    }
    for (int i = 0; i < 5; ++i) {
        const auto prize = prizeDigits(input.premios[i]);
        if (!prize) {
            r.message = prizeMessage(i + 1);
            return r;
        }
        r.prizes[i].premio = *prize;
        r.prizes[i].numero = prize->right(digits).toInt();
    }
    const QString extracao = input.extracao.trimmed();
    bool digitsOnly = !extracao.isEmpty() && extracao.size() <= 10;
    for (QChar c : extracao)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (!digitsOnly) {
        r.message = extractionMessage();
        return r;
    }
    r.extracao = extracao;
    // Typed with or without slashes, as every date field of the program takes it.
    const auto typedDate = TypedValues::parseDate(input.data);
    r.data = typedDate ? *typedDate : QDate();
    if (!r.data.isValid()) {
        r.message = dateMessage();
        return r;
    }

    WaitCursor wait;
    QString error;
    bool any = false;
    if (!m_lookup.valid(&error) || !anyPaid(&any, &error)) {
        r.message = QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error;
        r.icon = BoxIcon::Error;
        return r;
    }
    if (!any) { // nothing to draw among, as in the own draw of the paid tickets
        r.message = OwnDraw::noPaidTicketsMessage();
        r.icon = BoxIcon::Error;
        return r;
    }
    for (FederalPrize &p : r.prizes) {
        p.ticket = m_lookup.ticketHolding(p.numero, &error);
        if (!error.isEmpty()) {
            r.message = QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error;
            r.icon = BoxIcon::Error;
            return r;
        }
    }
    r.drawn = true;
    r.icon = BoxIcon::None;
    const int prizesThatCount = input.rule == FederalRule::ProximoPremio ? 5 : 1;
    for (int i = 0; i < prizesThatCount; ++i) {
        if (r.prizes[i].ticket && r.prizes[i].ticket->paid()) {
            r.winnerPrize = i;
            r.winningNumber = r.prizes[i].numero;
            r.winner = r.prizes[i].ticket;
            return r;
        }
    }
    if (input.rule == FederalRule::MaisProximo) {
        int number = -1;
        if (auto nearest = nearestPaid(r.prizes[0].numero, &number, &error)) {
            r.winner = m_lookup.ticket(nearest->numBilhete, &error);
            r.winningNumber = number;
        }
        if (!error.isEmpty()) {
            r.drawn = false;
            r.message = QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error;
            r.icon = BoxIcon::Error;
            return r;
        }
        if (r.winner) return r;
    }
    r.message = noWinnerMessage(r.extracao, input.rule);
    r.icon = BoxIcon::Warning;
    return r;
}
