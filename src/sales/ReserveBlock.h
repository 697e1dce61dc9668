#pragma once

#include "data/AppContext.h"
#include "data/UnitOfWork.h"

#include <QList>
#include <QString>

// The reserve block of the working raffle: the tickets marked 'R' in its mark column, held back from
// the sales page as replacements for sold tickets of WhatsApp orders.
class ReserveBlock {
public:
    explicit ReserveBlock(AppContext &ctx);
    void setRetryPolicy(RetryPolicy policy) { m_retryPolicy = std::move(policy); }

    // The reserved control numbers, in order.
    bool reserved(QList<int> *numbers, QString *error) const;
    // Marks 'R' on every ticket of the range that is not sold; a sold ticket keeps its 'S'.
    bool define(int from, int to, QString *error);
    // Every reserved ticket becomes free (blank mark); other marks stay as they are.
    bool clear(QString *error);

private:
    bool update(const QString &sql, const QVariantList &values, QString *error);
    AppContext &m_ctx;
    RetryPolicy m_retryPolicy = RetryPolicy::standard();
};
