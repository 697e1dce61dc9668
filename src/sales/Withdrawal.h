#pragma once

#include "data/AppContext.h"
#include "data/UnitOfWork.h"
#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>

// What a withdrawal did, and the box that tells the user so (no box when the text is empty).
struct WithdrawalOutcome {
    enum class Result { Withdrawn, NotFound, Refused, Failed };
    Result result = Result::Failed;
    int rows = 0; // buyer rows deleted
    QString title = QStringLiteral("KORVANTE");
    QString message;
    BoxIcon icon = BoxIcon::None;
    bool ok() const { return result == Result::Withdrawn; }
};

// Withdrawal of validations, the inverse of a sale: the buyer rows go and the tickets' sale marks are
// cleared in one transaction, so a ticket is never left sold without a buyer or the other way round.
// A unit that meets a concurrent update of the same ticket rows is tried again a few times.
class Withdrawal {
public:
    explicit Withdrawal(AppContext &ctx);
    void setRetryPolicy(RetryPolicy policy) { m_retryPolicy = std::move(policy); }

    // A row of the validated list; no box on success.
    WithdrawalOutcome withdrawTicket(int numBilhete);
    // The answer to F7: one control number ("21") or a range ("20-22"). Only the tickets whose buyer
    // rows are deleted lose their mark; a reserved ticket inside the range stays reserved.
    WithdrawalOutcome withdrawTyped(const QString &answer);
    // "Zerar Validações": every buyer row of the raffle and every sale mark; reservations stay. The
    // buyer rows are numbered from the start again once the rest has been committed. With endClosing a
    // closing of the sales is ended (and recorded) by the same unit; without, closed sales are refused.
    WithdrawalOutcome resetAll(bool endClosing = false);

private:
    WithdrawalOutcome withdrawRange(int from, int to, bool announce);
    // Runs the work as one unit; false with the engine's reason when it could not be committed.
    bool inTransaction(const UnitOfWork::Work &work, QString *error);
    QString raffleProblem() const;

    AppContext &m_ctx;
    RetryPolicy m_retryPolicy = RetryPolicy::standard();
};
