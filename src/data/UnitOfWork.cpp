#include "data/UnitOfWork.h"

#include "data/ScopedTransaction.h"
#include "data/UpdateConflict.h"

#include <QThread>

RetryPolicy RetryPolicy::standard() {
    return {6, [](int attempt) { QThread::msleep(40 * attempt); }};
}

UnitOfWork::UnitOfWork(QSqlDatabase db, RetryPolicy policy)
    : m_db(std::move(db)), m_policy(std::move(policy)) {}

UnitOfWork::Result UnitOfWork::run(const Work &work) {
    const int attempts = qMax(1, m_policy.attempts);
    for (m_attempts = 1;; ++m_attempts) {
        m_error = QSqlError();
        {
            ScopedTransaction transaction(m_db);
            if (!transaction.active()) {
                m_error = transaction.error();
                return Result::Failed;
            }
            QSqlError error;
            if (!work(&error))
                m_error = error.isValid() || !error.text().isEmpty()
                              ? error
                              : refusal(QStringLiteral("Falha sem detalhe."));
            else if (transaction.commit())
                return Result::Done;
            else
                m_error = transaction.error();
        } // rolled back here when not committed
        if (!isUpdateConflict(m_error) || isDuplicateKey(m_error)) return Result::Failed;
        if (m_attempts >= attempts) return Result::Conflict;
        if (m_policy.pause) m_policy.pause(m_attempts);
    }
}
