#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <functional>

// How often a unit of work that met another computer's update of the same rows is tried, and what
// happens between two tries.
struct RetryPolicy {
    int attempts = 1;
    // Called after the failed try `attempt` when another one follows.
    std::function<void(int attempt)> pause;

    // Raffles of the same modality share a ticket table, so two computers selling at the same moment
    // write the same rows; the other's transaction ends within moments.
    static RetryPolicy standard(); // 6 tries, 40 ms × try between them
};

// The one way sales are written: the work runs in a transaction that is committed when the work
// succeeds and rolled back otherwise; an update conflict rolls back and runs the whole work again,
// as the policy allows. Queries the work makes must be gone or finished when it returns.
class UnitOfWork {
public:
    enum class Result {
        Done,    // committed
        Failed,  // the work or the engine refused; error() says why
        Conflict // another computer still held the rows at the last try; error() is its conflict
    };
    // Returns false with *error set when the unit must not be committed.
    using Work = std::function<bool(QSqlError *error)>;

    explicit UnitOfWork(QSqlDatabase db, RetryPolicy policy = RetryPolicy::standard());

    Result run(const Work &work);
    // An error of the work's own (not the engine's), for *error.
    static QSqlError refusal(const QString &text) {
        return QSqlError(text, QString(), QSqlError::UnknownError);
    }
    QSqlError error() const { return m_error; }
    int attempts() const { return m_attempts; } // tries made by the last run

private:
    QSqlDatabase m_db;
    RetryPolicy m_policy;
    QSqlError m_error;
    int m_attempts = 0;
};
