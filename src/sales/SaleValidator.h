#pragma once

#include "data/AppContext.h"
#include "data/UnitOfWork.h"
#include "platform/Dialogs.h"
#include "sales/SaleRequest.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Lengths of the buyer table's text columns (characters of Windows-1252): the window's fields accept
// no more, and text from a pasted order or a file is cut to them before it is stored.
namespace BuyerColumns {
inline constexpr int NOMECOMP = 40;
inline constexpr int ENDCOMP = 50;
inline constexpr int CIDCOMP = 30;
inline constexpr int FONECOMP = 15;
} // namespace BuyerColumns

// Where the window puts the focus after a refusal.
enum class SaleFocus { Ticket, Seller, Date };

struct SaleOutcome {
    enum class Result {
        Ignored,          // empty ticket field
        Validated,        // every ticket asked for was written
        Refused,          // the input was refused before anything was written
        AlreadyValidated, // a ticket already had its buyer row; earlier tickets of a sequence stay written
        Stopped,          // a sequence reached a ticket beyond the raffle's last one
        Interrupted,      // a sequence was asked to stop; the tickets before it stay written
        Failed            // the database refused; nothing of that ticket was written
    };
    Result result = Result::Ignored;
    bool sequence = false;
    QList<int> written;    // control numbers validated now, in order
    int stoppedAt = 0;     // the ticket at which a refusal or failure happened
    bool conflict = false; // failed on another computer's change of the ticket row: worth another try
    QString title = QStringLiteral("KORVANTE");
    QString message; // empty when nothing is to be shown
    BoxIcon icon = BoxIcon::None;
    SaleFocus focus = SaleFocus::Ticket;

    bool ok() const { return result == Result::Validated; }
};

enum class MarkAction { Incluir, Excluir };

// The one routine by which sales enter a raffle's buyer table: the buyer row and the ticket's sale
// mark are written in one transaction, so one never exists without the other.
class SaleValidator {
public:
    explicit SaleValidator(AppContext &ctx);
    ~SaleValidator();

    SaleOutcome validate(const SaleRequest &input);

    // True when the raffle's buyer table holds a row for the control number.
    bool ConsultaJaExist(int numBilhete) const;
    // Sets ("Incluir") or clears the ticket's mark in the raffle's column; false with *error on failure.
    // *conflict tells a concurrent change of the ticket row, which is worth another try.
    bool MarcarValTabelaBS(int numBilhete, MarkAction action, QString *error = nullptr,
                           bool *conflict = nullptr);
    QString GerarAutDigital();

    // Called between the tickets of a sequence, so that the window can repaint.
    void setBetweenTickets(std::function<void()> callback) { m_betweenTickets = std::move(callback); }
    // Ends a running sequence after its current ticket.
    void requestStop() { m_stopRequested = true; }
    bool running() const { return m_running; }

    // Many sales in one transaction (an import): each sale behind a savepoint of its own, so a
    // refused one takes back only its own rows, and nothing is final until commitBatch. Inside a
    // batch a sale that meets another computer's change fails at once with `conflict` set: the
    // batch must be committed and the sale tried again in a new one.
    bool beginBatch(QString *error);
    bool commitBatch(QString *error);
    void rollbackBatch();
    bool inBatch() const { return m_batch != nullptr; }

    // Outside a batch, a sale that meets another computer's sale of the same ticket row is tried again
    // as the policy says (the standard one unless told otherwise); conflictMessage is what the user
    // reads when it never got through.
    void setRetryPolicy(RetryPolicy policy) { m_retryPolicy = std::move(policy); }
    static QString conflictMessage(int numBilhete);
    // "1000 a 1319", "7" or "1, 3 e 5": the tickets a stopped sequence validated.
    static QString writtenText(const QList<int> &written);

    static const QStringList &TabelaAutDigital();
    // Count of numbers of the modality (N) and the highest control number (C).
    int numbersOfModality() const;
    int highestControlNumber() const;

    // Texts shared with the withdrawal and the order validation.
    static QString markFailureMessage(const QString &table, int numBilhete, const QString &detail);
    static QString invalidNumberMessage(const QString &text);

private:
    struct Written {
        bool ok = false;
        bool duplicate = false;
        bool conflict = false; // another transaction changed the ticket row: worth another try
        bool closed = false;   // the raffle's sales were closed meanwhile
        QString error;
    };
    bool mark(int numBilhete, MarkAction action, QSqlError *error);
    // The batch's prepared statement, or `local` prepared; null with *error when it cannot be prepared.
    QSqlQuery *statement(QSqlQuery &local, const QString &sql, QSqlError *error);
    std::optional<QString> raffleProblem() const;
    Written writeSale(int numBilhete, const SaleRequest &input, bool withBuyerData, const QDate &date);
    bool existsIn(const QSqlDatabase &db, int numBilhete, bool *exists, QString *error) const;

    struct Batch;
    bool savepoint(const char *statement, QString *error);

    AppContext &m_ctx;
    RetryPolicy m_retryPolicy = RetryPolicy::standard();
    std::unique_ptr<Batch> m_batch;
    std::function<void()> m_betweenTickets;
    bool m_stopRequested = false;
    bool m_running = false;
};
