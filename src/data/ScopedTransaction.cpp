#include "data/ScopedTransaction.h"

ScopedTransaction::ScopedTransaction(QSqlDatabase db) : m_db(std::move(db)) {
    m_active = m_db.transaction();
    if (!m_active) m_error = m_db.lastError();
}

ScopedTransaction::~ScopedTransaction() {
    rollback();
}

bool ScopedTransaction::commit() {
    if (!m_active) return false;
    m_active = false;
    if (m_db.commit()) return true;
    m_error = m_db.lastError();
    // A refused commit leaves the transaction open on the connection.
    m_db.rollback();
    return false;
}

void ScopedTransaction::rollback() {
    if (!m_active) return;
    m_active = false;
    m_db.rollback();
}
