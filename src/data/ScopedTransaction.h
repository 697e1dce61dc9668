#pragma once

#include <QSqlDatabase>
#include <QSqlError>

// A transaction on one connection that is rolled back when it is left without a commit, so an early
// return or a failed statement never leaves half a unit in the database.
class ScopedTransaction {
public:
    // Begins at once; active() tells whether it did.
    explicit ScopedTransaction(QSqlDatabase db);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    bool active() const { return m_active; }
    // Ends the transaction; false with error() when the engine refused (the work is then rolled back).
    // Every query of the transaction must be finished or gone by now.
    bool commit();
    void rollback();
    QSqlError error() const { return m_error; }

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QSqlError m_error;
};
