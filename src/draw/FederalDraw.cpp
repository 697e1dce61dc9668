#include "draw/FederalDraw.h"

#include "data/Fingerprint.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "draw/DrawRecords.h"
#include "draw/OwnDraw.h"
#include "platform/Clock.h"
#include "platform/TypedValues.h"
#include "platform/WaitCursor.h"
#include "sales/SalesClosing.h"

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
QString FederalDraw::hourMessage() {
    return QStringLiteral("Informe a hora da Extração da Loteria Federal (hh:mm, horário de Brasília).");
}
QString FederalDraw::notClosedMessage() {
    return QStringLiteral("O Sorteio pela Loteria Federal precisa das vendas encerradas antes da Extração: "
                          "encerre as vendas na janela de Validação (Encerrar Vendas).");
}
QString FederalDraw::futureMessage(const QString &extracao, const QDate &date, const QTime &time) {
    return QStringLiteral("A Extração %1 de %2 às %3 (horário de Brasília) ainda não aconteceu: o resultado de "
                          "uma extração futura não é aceito.")
        .arg(extracao, date.toString(QStringLiteral("dd/MM/yyyy")), time.toString(QStringLiteral("HH:mm")));
}
QString FederalDraw::closedAfterMessage(const QDateTime &closedAt, const QString &extracao, const QDate &date,
                                        const QTime &time) {
    return QStringLiteral("As vendas foram encerradas em %1, depois da Extração %2 de %3 às %4 (horário de "
                          "Brasília): o encerramento das vendas precisa ser anterior à extração.")
        .arg(BrasiliaTime::shown(closedAt), extracao, date.toString(QStringLiteral("dd/MM/yyyy")),
             time.toString(QStringLiteral("HH:mm")));
}
QString FederalDraw::alreadyRecordedMessage(const DrawRecord &r, bool sameResult) {
    if (sameResult)
        return QStringLiteral("A Extração %1 já está registrada para esta Rifa com este mesmo resultado (Registro "
                              "nº %2): imprima a Ata desse registro.")
            .arg(r.extracao)
            .arg(r.id);
    QStringList prizes;
    for (const QString &p : r.premio)
        prizes << p;
    const auto rule = ruleOfCode(r.regra);
    return QStringLiteral("A Extração %1 já está registrada para esta Rifa (Registro nº %2) com os prêmios %3 e a "
                          "regra \"%4\". Outro resultado para a mesma Extração não é aceito; um erro de "
                          "digitação se corrige anulando aquele registro na Ata do Sorteio.")
        .arg(r.extracao)
        .arg(r.id)
        .arg(prizes.join(QStringLiteral(", ")), rule ? ruleText(*rule) : r.regra);
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

std::optional<TicketRow> FederalDraw::nearestPaid(int from, int *number, int *tie, QString *error) const {
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
    qint64 bestUp = std::numeric_limits<qint64>::max(), bestDown = bestUp;
    int upNumber = -1, downNumber = -1;
    std::optional<TicketRow> up, down;
    while (query.next()) {
        for (int i = 0; i < q; ++i) {
            const int n = query.value(i).toInt();
            const qint64 dUp = ((n - from) % size + size) % size;
            const qint64 dDown = ((from - n) % size + size) % size;
            TicketRow row;
            row.numBilhete = query.value(q).toInt();
            row.mark = QStringLiteral("S");
            if (dUp < bestUp) {
                bestUp = dUp;
                upNumber = n;
                up = row;
            }
            if (dDown < bestDown) {
                bestDown = dDown;
                downNumber = n;
                down = row;
            }
        }
    }
    if (!up) return std::nullopt;
    if (bestDown < bestUp) {
        *number = downNumber;
        return down;
    }
    *number = upNumber;
    if (bestDown == bestUp && downNumber != upNumber) *tie = downNumber;
    return up;
}

FederalResult FederalDraw::readTyped(const FederalInput &input, int digits) {
    FederalResult r;
    r.icon = BoxIcon::Warning;
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
    const QString typedHour = input.hora.trimmed();
    r.hora = QTime::fromString(typedHour, QStringLiteral("HH:mm"));
    if (!r.hora.isValid()) r.hora = QTime::fromString(typedHour, QStringLiteral("HHmm"));
    if (!r.hora.isValid()) {
        r.message = hourMessage();
        return r;
    }
    return r;
}

FederalResult FederalDraw::draw(const FederalInput &input) {
    FederalResult r = readTyped(input, OwnDraw::digitCount(m_ctx.raffle.MaiorNumero));
    if (!r.message.isEmpty()) return r;
    // The result must be known before it is typed, and the sales closed before it was drawn.
    const QDateTime extraction = BrasiliaTime::fromBrasilia(r.data, r.hora);
    if (extraction > m_ctx.clock.now().toUTC()) {
        r.message = futureMessage(r.extracao, r.data, r.hora);
        return r;
    }
    {
        QString why;
        const auto closing = SalesClosing::stateOf(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), &why);
        if (!closing) {
            r.message = QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + why;
            r.icon = BoxIcon::Error;
            return r;
        }
        if (!closing->closed()) {
            r.message = notClosedMessage();
            return r;
        }
        if (closing->closedAt >= extraction) {
            r.message = closedAfterMessage(closing->closedAt, r.extracao, r.data, r.hora);
            return r;
        }
        // One result per extraction: a second one stands only after the first is annulled.
        const auto recorded = DrawRecords(m_ctx).federalFor(m_ctx.raffle.slot(), r.extracao, &why);
        if (!why.isEmpty()) {
            r.message = QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + why;
            r.icon = BoxIcon::Error;
            return r;
        }
        if (recorded) {
            bool same = recorded->regra == ruleCode(input.rule) && recorded->dataExtracao == r.data;
            for (int i = 0; i < 5; ++i)
                same = same && recorded->premio[i] == r.prizes[i].premio;
            r.message = alreadyRecordedMessage(*recorded, same);
            return r;
        }
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
        int number = -1, tie = -1;
        if (auto nearest = nearestPaid(r.prizes[0].numero, &number, &tie, &error)) {
            r.winner = m_lookup.ticket(nearest->numBilhete, &error);
            r.winningNumber = number;
            r.referenceNumber = r.prizes[0].numero;
            r.tieWith = tie;
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
