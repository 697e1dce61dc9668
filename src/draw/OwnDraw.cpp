#include "draw/OwnDraw.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Random.h"
#include "platform/WaitCursor.h"

#include <QSqlError>
#include <QSqlQuery>

OwnDraw::OwnDraw(AppContext &ctx) : m_ctx(ctx), m_lookup(ctx.tdm.CONEX_R(), ctx.raffle) {}

int OwnDraw::digitCount(int maiorNumero) {
    return NumberFormat::digitsOf(maiorNumero);
}

int OwnDraw::firstDigitLeft(int maiorNumero) {
    switch (digitCount(maiorNumero)) {
    case 2:
    case 3:
        return 348;
    case 4:
        return 302;
    case 5:
        return 265;
    default:
        return 230;
    }
}

QString OwnDraw::number(int value) const {
    return NumberFormat::number(value, m_ctx.raffle.MaiorNumero);
}
QString OwnDraw::ticketId(int numBilhete) const {
    return NumberFormat::ticketId(numBilhete, m_ctx.raffle.MaiorNumero);
}

QString OwnDraw::noOptionMessage() {
    return QStringLiteral(
        "Favor, informe como será o Sorteio marcando uma das Opções Abaixo desse botão SORTEAR!");
}
QString OwnDraw::noPaidTicketsMessage() {
    return QStringLiteral("O sistema não identificou Bilhetes Validados nessa Rifa ativa!");
}
QString OwnDraw::noValidatedTicketsMessage() {
    return QStringLiteral("O sistema não identificou C.Bilhetes Validados nessa Rifa ativa!");
}
QString OwnDraw::winnerNotFoundMessage() {
    return QStringLiteral("Não foi possível localizar esse Bilhete no Cadastro de Validações!");
}
QString OwnDraw::winnerWithoutDataMessage() {
    return QStringLiteral("Não existe informações dos Dados do Ganhador Registrado");
}
QString OwnDraw::numberWithoutTicketMessage(int value) const {
    return QStringLiteral("O Número Sorteado %1 não está em nenhum Bilhete desta Rifa. Verifique a Base "
                          "de Números da Rifa e sorteie novamente.")
        .arg(number(value));
}

QString OwnDraw::raffleName() const {
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.prepare(QStringLiteral("SELECT NOME_RIFA FROM CADASTRO WHERE CODRIFA = ?"));
    q.addBindValue(m_ctx.raffle.slot());
    if (q.exec() && q.next()) return q.value(0).toString();
    return {};
}

void OwnDraw::start(DrawMode mode) {
    m_mode = mode;
    m_position = 1;
    m_drawnDigits.clear();
    m_ticks = 0;
    m_loaded = false;
    m_numbers.clear();
    m_tickets.clear();
}

DrawTick OwnDraw::failed(const QString &message, BoxIcon icon) {
    DrawTick t;
    t.state = DrawTick::State::Failed;
    t.message = message;
    t.icon = icon;
    return t;
}

DrawTick OwnDraw::tick() {
    switch (m_mode) {
    case DrawMode::Todos:
        return tickTodos();
    case DrawMode::Pagos:
        return tickPagos();
    case DrawMode::Controle:
        return tickControle();
    default:
        return failed(noOptionMessage(), BoxIcon::Warning);
    }
}

std::optional<TicketRow> OwnDraw::ConsultarBilheteNum(int value, QString *error) const {
    WaitCursor wait;
    return m_lookup.ticketHolding(value, error);
}

DrawTick OwnDraw::tickTodos() {
    DrawTick t;
    t.position = m_position;
    t.digit = int(m_ctx.random.bounded(10));
    if (++m_ticks < TicksPerSpin) return t;
    // The digit just shown is final; the next position starts spinning.
    m_drawnDigits += QString::number(t.digit);
    m_ticks = 0;
    if (++m_position <= digitCount(m_ctx.raffle.MaiorNumero)) return t;

    m_position = 1;
    t.state = DrawTick::State::Finished;
    t.drawnNumber = m_drawnDigits.toInt();
    QString error;
    t.winner = ConsultarBilheteNum(t.drawnNumber, &error);
    if (!error.isEmpty()) {
        DrawTick f = failed(QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error, BoxIcon::Error);
        f.position = t.position;
        f.digit = t.digit;
        return f;
    }
    if (t.winner) {
        t.paid = t.winner->paid();
    } else {
        t.message = numberWithoutTicketMessage(t.drawnNumber);
        t.icon = BoxIcon::Warning;
    }
    return t;
}

bool OwnDraw::loadPaidNumbers(QString *error) {
    if (!m_lookup.valid(error)) return false;
    const int q = m_ctx.raffle.QtNumBilhete;
    const QString mark = TicketTables::markColumn(m_ctx.raffle.slot());
    QString numbers;
    for (int i = 1; i <= q; ++i)
        numbers += QStringLiteral("N%1, ").arg(i);
    WaitCursor wait;
    QSqlQuery query(m_ctx.tdm.CONEX_R());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1NUMBILHETE, %2 FROM %3 WHERE %2 = ?")
                      .arg(numbers, mark, m_ctx.raffle.TabelaBaseUsar));
    query.addBindValue(QStringLiteral("S"));
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    while (query.next()) {
        for (int i = 0; i < q; ++i)
            m_numbers.push_back(query.value(i).toInt());
        m_tickets.push_back(query.value(q).toInt());
    }
    return true;
}

DrawTick OwnDraw::tickPagos() {
    if (!m_loaded) {
        QString error;
        if (!loadPaidNumbers(&error))
            return failed(QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error, BoxIcon::Error);
        if (m_tickets.empty()) return failed(noPaidTicketsMessage(), BoxIcon::Error);
        m_loaded = true;
    }
    const int q = m_ctx.raffle.QtNumBilhete;
    // Every paid ticket has the same chance, and within it every number.
    const auto row = m_ctx.random.bounded(std::uint32_t(m_tickets.size()));
    const auto column = m_ctx.random.bounded(std::uint32_t(q));
    DrawTick t;
    t.shown = m_numbers[row * q + column];
    if (++m_ticks < TicksPerSpin) return t;
    m_ticks = 0;
    t.state = DrawTick::State::Finished;
    TicketRow w;
    w.numBilhete = m_tickets[row];
    w.mark = QStringLiteral("S");
    for (int i = 0; i < q; ++i)
        w.numbers << m_numbers[row * q + i];
    t.winner = w;
    t.drawnNumber = t.shown;
    t.paid = true;
    return t;
}

bool OwnDraw::loadValidatedTickets(QString *error) {
    const QString buyers = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (buyers.isEmpty()) {
        *error = QStringLiteral("Rifa a Trabalhar inválida.");
        return false;
    }
    WaitCursor wait;
    QSqlQuery query(m_ctx.tdm.CONEX_R());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT NUMBILHETE FROM ") + buyers)) {
        *error = query.lastError().text();
        return false;
    }
    while (query.next())
        m_tickets.push_back(query.value(0).toInt());
    return true;
}

DrawTick OwnDraw::tickControle() {
    if (!m_loaded) {
        QString error;
        if (!loadValidatedTickets(&error))
            return failed(QStringLiteral("Erro ao Sortear. Detalhe do Erro: ") + error, BoxIcon::Error);
        if (m_tickets.empty()) return failed(noValidatedTicketsMessage(), BoxIcon::Error);
        m_loaded = true;
    }
    const auto row = m_ctx.random.bounded(std::uint32_t(m_tickets.size()));
    DrawTick t;
    t.shown = m_tickets[row];
    if (++m_ticks < TicksPerSpin) return t;
    m_ticks = 0;
    t.state = DrawTick::State::Finished;
    TicketRow w;
    w.numBilhete = t.shown;
    w.mark = QStringLiteral("S"); // a buyer row exists only for a validated ticket
    t.winner = w;
    t.paid = true;
    return t;
}

std::optional<WinnerData> OwnDraw::winnerData(int numBilhete, QString *error) const {
    const QString buyers = TicketTables::buyerTable(m_ctx.raffle.slot());
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.prepare(QStringLiteral("SELECT NOMECOMP, ENDCOMP, CIDCOMP, UFCOMP, FONECOMP, NUMBILHETE FROM %1 "
                             "WHERE NUMBILHETE = ?")
                  .arg(buyers));
    q.addBindValue(numBilhete);
    if (buyers.isEmpty() || !q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    WinnerData w;
    w.nome = q.value(0).toString();
    w.endereco = q.value(1).toString();
    w.cidade = q.value(2).toString();
    w.uf = q.value(3).toString().trimmed();
    w.fone = q.value(4).toString();
    return w;
}

QString OwnDraw::maskedPhone(const QString &stored) {
    QString digits;
    for (QChar c : stored)
        if (c >= u'0' && c <= u'9') digits += c;
    // A number written with the country code, as some orders carry it.
    if (digits.size() > 11 && digits.startsWith(QLatin1String("55"))) digits = digits.mid(2);
    if (digits.isEmpty()) return QStringLiteral("--");
    if (digits.size() < 3) return QStringLiteral("**");
    const QString hidden = digits.left(digits.size() - 2) + QStringLiteral("**");
    auto subscriber = [](const QString &s) { // 8 or 9 digits, the last two already hidden
        return s.left(s.size() - 4) + u'-' + s.right(4);
    };
    if (digits.size() == 10 || digits.size() == 11)
        return QStringLiteral("(%1) %2").arg(hidden.left(2), subscriber(hidden.mid(2)));
    if (digits.size() == 8 || digits.size() == 9) return subscriber(hidden);
    return hidden;
}
