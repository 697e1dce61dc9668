#pragma once

#include "data/AppContext.h"
#include "draw/DrawRecord.h"
#include "platform/Dialogs.h"
#include "reports/TicketLookup.h"

#include <QDate>
#include <QString>
#include <array>
#include <optional>

// What decides when the number of the 1st prize is not on a paid ticket.
enum class FederalRule {
    ProximoPremio, // "passa para o próximo prêmio": the 1st to 5th prize, the first on a paid ticket wins
    MaisProximo,   // "vale o número vendido mais próximo": nearest paid number above, then below, wrapping
    Organizacao    // "o prêmio fica com a organização": the 1st prize decides alone
};

// The result of the Loteria Federal as the organiser types it.
struct FederalInput {
    QString extracao;
    QString data; // dd/mm/aaaa
    QString hora = QStringLiteral("19:00"); // hh:mm in Brasília time
    std::array<QString, 5> premios;
    FederalRule rule = FederalRule::ProximoPremio;
};

struct FederalPrize {
    QString premio;  // five digits, as published without the leading zero of the six-digit form
    int numero = -1; // the last digits that count in this raffle
    std::optional<TicketRow> ticket;
};

struct FederalResult {
    bool drawn = false; // false: refused before drawing (message says why); nothing to record
    QString message;
    QString title = QStringLiteral("KORVANTE");
    BoxIcon icon = BoxIcon::None;
    QString extracao;
    QDate data;
    QTime hora;
    std::array<FederalPrize, 5> prizes;
    int winnerPrize = -1;            // 0..4: the prize that gave the winner; -1: none or the nearest number
    int winningNumber = -1;          // the number that won
    int referenceNumber = -1;        // "mais próximo": the number of the 1st prize it stood for
    int tieWith = -1;                // "mais próximo": a sold number as near, below (the higher wins)
    std::optional<TicketRow> winner; // empty: "sem ganhador"
};

// The draw by the result of the Loteria Federal: every prize's number looked up through the
// number-column indexes, and the winner named by the rule chosen.
class FederalDraw {
public:
    explicit FederalDraw(AppContext &ctx);

    void setBetweenReads(std::function<void()> callback) { m_lookup.setBetweenReads(std::move(callback)); }

    FederalResult draw(const FederalInput &input);
    // The typed result read for a raffle whose numbers have that many digits: prizes, extraction,
    // date and hour filled in, or the message of the first field refused.
    static FederalResult readTyped(const FederalInput &input, int digits);

    // Five digits, or six with a leading zero; the five digits, or nothing.
    static std::optional<QString> prizeDigits(const QString &typed);
    static QString ruleText(FederalRule rule);
    static QString ruleCode(FederalRule rule);
    static std::optional<FederalRule> ruleOfCode(const QString &code);

    static QString modalityRefusedMessage();
    static QString prizeMessage(int prize);
    static QString extractionMessage();
    static QString dateMessage();
    static QString hourMessage();
    static QString notClosedMessage();
    static QString futureMessage(const QString &extracao, const QDate &date, const QTime &time);
    static QString closedAfterMessage(const QDateTime &closedAt, const QString &extracao, const QDate &date,
                                      const QTime &time);
    static QString alreadyRecordedMessage(const DrawRecord &recorded, bool sameResult);
    static QString noWinnerMessage(const QString &extracao, FederalRule rule);

private:
    std::optional<TicketRow> nearestPaid(int from, int *number, int *tie, QString *error) const;
    bool anyPaid(bool *any, QString *error) const;

    AppContext &m_ctx;
    TicketLookup m_lookup;
};
