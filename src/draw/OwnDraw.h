#pragma once

#include "data/AppContext.h"
#include "platform/Dialogs.h"
#include "reports/TicketLookup.h"

#include <QString>
#include <optional>
#include <vector>

// The three ways of the own draw.
enum class DrawMode {
    None,
    Todos,   // lottery digits: every ticket competes, paid or not
    Pagos,   // a number among the numbers of the paid tickets
    Controle // "Giro da Sorte": a control number among the validated tickets
};

// What one tick of the spinning draw changed, and how the draw ended when it did.
struct DrawTick {
    enum class State { Spinning, Finished, Failed };
    State state = State::Spinning;
    int position = 0;                // Todos: the digit label that spun (1 = leftmost)
    int digit = 0;                   // Todos: the digit it shows
    int shown = 0;                   // Pagos: the number shown; Controle: the control number shown
    int drawnNumber = -1;            // at the end of Todos: the digits read as a number
    std::optional<TicketRow> winner; // at the end: the winning ticket (Todos: empty when no ticket holds it)
    bool paid = false;
    QString message; // at a failure, or a drawn number no ticket holds
    BoxIcon icon = BoxIcon::None;
};

// The winner's data from the raffle's buyer table.
struct WinnerData {
    QString nome;
    QString endereco;
    QString cidade;
    QString uf;
    QString fone;
    bool hasData() const {
        return !nome.trimmed().isEmpty() || !cidade.trimmed().isEmpty() || !uf.trimmed().isEmpty();
    }
};

// The own draw of the working raffle, one timer tick at a time. It only reads.
class OwnDraw {
public:
    static constexpr int TicksPerSpin = 25;
    static constexpr int DigitsInterval = 75;     // ms, lottery digits
    static constexpr int CandidateInterval = 200; // ms, the other two ways

    explicit OwnDraw(AppContext &ctx);

    void setBetweenReads(std::function<void()> callback) { m_lookup.setBetweenReads(std::move(callback)); }

    // Digit count and left edge of the first digit label, by the modality's highest number.
    static int digitCount(int maiorNumero);
    static int firstDigitLeft(int maiorNumero);
    QString number(int value) const;
    QString ticketId(int numBilhete) const;

    // The raffle's name as stored; empty when it cannot be read.
    QString raffleName() const;

    // A new spin: position 1, drawn digits cleared, candidates to be loaded again.
    void start(DrawMode mode);
    DrawMode mode() const { return m_mode; }
    DrawTick tick();

    // ConsultarBilheteNum: the ticket that holds the number, through the number-column indexes.
    std::optional<TicketRow> ConsultarBilheteNum(int number, QString *error) const;

    // Nothing when the buyer table has no row for the ticket; *error set when the database refused.
    std::optional<WinnerData> winnerData(int numBilhete, QString *error) const;
    // The phone as the winner panel shows it: "(11) 3333-44**"; the last two digits never show.
    static QString maskedPhone(const QString &stored);

    static QString noOptionMessage();
    static QString noPaidTicketsMessage();
    static QString noValidatedTicketsMessage();
    static QString winnerNotFoundMessage();
    static QString winnerWithoutDataMessage();
    QString numberWithoutTicketMessage(int number) const;

private:
    DrawTick tickTodos();
    DrawTick tickPagos();
    DrawTick tickControle();
    bool loadPaidNumbers(QString *error);
    bool loadValidatedTickets(QString *error);
    static DrawTick failed(const QString &message, BoxIcon icon);

    AppContext &m_ctx;
    TicketLookup m_lookup;
    DrawMode m_mode = DrawMode::None;
    int m_position = 1;
    QString m_drawnDigits;
    int m_ticks = 0;
    bool m_loaded = false;
    // Candidates of Pagos: the numbers of each paid ticket, row after row; of Controle: control numbers.
    std::vector<int> m_numbers;
    std::vector<int> m_tickets;
};
