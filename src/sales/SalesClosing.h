#pragma once

#include "data/AppContext.h"
#include "data/UnitOfWork.h"
#include "platform/Dialogs.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <optional>

// A raffle's closing of sales as kept in VENDAS_ENCERRAMENTO: open while closedAt is not valid.
struct SalesClosingState {
    QDateTime closedAt; // UTC
    int sold = 0;
    QString fingerprint; // SHA-256 of the sold list
    QString table;
    QString tableFingerprint; // the dealing's fingerprint at the closing
    QString tableOrigin;      // "encerramento" when the closing computed it (no earlier one kept)
    bool closed() const { return closedAt.isValid(); }
};

// Closings, reopenings and resets of a raffle's sales, oldest first (VENDAS_EVENTOS).
struct SalesEvent {
    QString kind; // "ENCERRADO", "REABERTO" or "ZERADO"
    QDateTime at; // UTC
    int sold = 0;
    QString fingerprint;
};

struct ClosingOutcome {
    bool ok = false;
    QString message;
    BoxIcon icon = BoxIcon::None;
};

// The closing of sales: once closed, nothing may change the raffle's sales until it is reopened.
// Every writer of sales claims a row of the raffle's closing rows inside its own unit of work, and the
// closing writes all of them, so a sale and a closing on two computers can never both be committed.
class SalesClosing {
public:
    explicit SalesClosing(AppContext &ctx);
    void setRetryPolicy(RetryPolicy policy) { m_retryPolicy = std::move(policy); }

    std::optional<SalesClosingState> state(QString *error) const;
    static std::optional<SalesClosingState> stateOf(QSqlDatabase db, int slot, QString *error);
    static QList<SalesEvent> events(QSqlDatabase db, int slot, QString *error);

    // Inside a writer's transaction: takes the raffle's row of the ticket's group (of every group for a
    // change of many tickets, ticket < 0); refuses (isClosedRefusal) when the sales are closed. The
    // closing takes every group, so it waits for a sale in flight or makes it try again and see it.
    static constexpr int Groups = 64; // rows of VENDAS_TRAVAS per raffle
    static bool claim(QSqlDatabase db, int slot, QSqlError *error, int ticket = -1);
    // "Zerar Validações" after a closing: ends it in the reset's own transaction.
    static bool endByReset(QSqlDatabase db, int slot, const QDateTime &now, QSqlError *error);
    static bool isClosedRefusal(const QSqlError &error);

    static QString closedMessage(const QDateTime &closedAt);
    static QString importRefusedMessage(const QDateTime &closedAt);
    static QString resetQuestion(const QDateTime &closedAt);

    // The sold list: one line per buyer row in control-number order (see Fingerprint). A buyer row
    // without its mark or a mark without its buyer row is a problem that names the ticket.
    struct SoldList {
        QByteArray text;
        int count = 0;
        QString fingerprint;
    };
    bool soldList(QSqlDatabase db, SoldList *list, QString *problem) const;

    QString closeQuestion() const;
    ClosingOutcome close();
    // Empty when the sales are open.
    QString reopenQuestion(const SalesClosingState &state) const;
    ClosingOutcome reopen();
    // Writes the sold list of the closing to the file; refused when the sales are open or the list no
    // longer gives the closing's fingerprint.
    ClosingOutcome saveSoldList(const QString &path);

private:
    AppContext &m_ctx;
    RetryPolicy m_retryPolicy = RetryPolicy::standard();
};
