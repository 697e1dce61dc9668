#pragma once

#include "data/AppContext.h"
#include "platform/Dialogs.h"
#include "reports/TicketLookup.h"

#include <QDate>
#include <QString>
#include <optional>

// A validated ticket as the query shows it: the buyer row with its seller's name.
struct BuyerRow {
    int numBilhete = 0;
    QString comprador;
    QString cidade;
    QString fone;
    QDate pagtoEm;
    QString autentic;
    QString vendedor;
};

// What one "Consultar" leaves behind: the buyer grid's row, the ticket row (numbers and mark) and
// the box to show, if any.
struct QueryOutcome {
    std::optional<BuyerRow> buyer;
    std::optional<TicketRow> ticket;
    QString message;
    QString title = QStringLiteral("KORVANTE");
    BoxIcon icon = BoxIcon::None;
};

// Who bought a ticket, and which ticket holds a number, in the working raffle.
class TicketQuery {
public:
    enum class By { None, ControlNumber, DrawnNumber };
    enum class Scope { Validated, All };

    explicit TicketQuery(AppContext &ctx);

    void setBetweenReads(std::function<void()> callback) { m_lookup.setBetweenReads(std::move(callback)); }

    QueryOutcome Consultar(By by, Scope scope, const QString &typed);

    static QString noTypeMessage();
    static QString invalidNumberMessage();
    static QString notValidatedMessage();
    static QString noValidatedHolderMessage();
    QString notInBaseMessage() const;

private:
    QueryOutcome MostrarBilhete(int number);
    QueryOutcome MostrarBilheteGeral(By by, int typed);
    std::optional<BuyerRow> buyer(int numBilhete, QString *error) const;
    static QueryOutcome failure(const QString &error);

    AppContext &m_ctx;
    TicketLookup m_lookup;
};
