#include "SalesFixture.h"
#include "data/UnitOfWork.h"
#include "data/UpdateConflict.h"
#include "sales/ReserveBlock.h"
#include "sales/SaleValidator.h"
#include "sales/Withdrawal.h"
#include "support/TestRegistry.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QSqlError>
#include <QThread>

namespace {

// Another computer selling raffle 2, whose tickets share BS2_100G with raffle 1: it keeps ticket 7's row
// changed in `rounds` transactions one after the other, each held open for a while before its commit.
class RowHolder : public QThread {
public:
    RowHolder(QString path, int rounds) : m_path(std::move(path)), m_rounds(rounds) {}
    // One permit each time a round holds the row, and one when the holder is done.
    QSemaphore holding;
    // Released by the other side after each failed try.
    QSemaphore next;
    QString error;

protected:
    void run() override {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("holder"));
            db.setDatabaseName(m_path);
            db.setUserName(QStringLiteral("SYSDBA"));
            db.setPassword(QStringLiteral("quillmoss"));
            if (!db.open()) error = db.lastError().text();
            for (int i = 0; i < m_rounds && error.isEmpty(); ++i) {
                // The engine lets a waiting statement wait on for the next holder of the row: the next
                // round starts only once the other side's try has failed.
                if (i > 0 && !next.tryAcquire(1, 20000)) error = QStringLiteral("no try failed");
                if (!db.transaction()) error = db.lastError().text();
                {
                    // A new value every round: the engine keeps no version for an update that changes
                    // nothing.
                    QSqlQuery q(db);
                    q.prepare(QStringLiteral("UPDATE BS2_100G SET VALID_R2=? WHERE NUMBILHETE=7"));
                    q.addBindValue(i % 2 ? QStringLiteral("R") : QStringLiteral("S"));
                    if (!q.exec()) error = q.lastError().text();
                }
                holding.release();
                if (!SalesFixture::waitForAWaitingStatement(m_path)) error = QStringLiteral("nobody waited");
                if (!db.commit()) error = db.lastError().text();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        holding.release();
    }

private:
    QString m_path;
    int m_rounds;
};

constexpr int kAttempts = 3;

} // namespace

// The unit of work that carries every write of sales, and each writer on it, against another computer
// that holds a ticket row: released in time the work gets through, held past the budget nothing is
// written and each writer says so in its own words.
class TestConflictRetry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void rowHeldByAnotherComputer_data();
    void rowHeldByAnotherComputer();

private:
    std::unique_ptr<TestInstallation> inst;
};

void TestConflictRetry::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
}

void TestConflictRetry::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL, VALID_R2=NULL")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
}

void TestConflictRetry::rowHeldByAnotherComputer_data() {
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("rounds");      // transactions of the other computer on the row
    QTest::addColumn<bool>("sold");       // ticket 7 sold in raffle 1 before
    QTest::addColumn<QString>("message"); // what the writer reports, as a pattern; empty: it got through
    QTest::addColumn<QString>("mark");    // ticket 7's mark of raffle 1 afterwards
    QTest::addColumn<int>("buyerRows");   // buyer rows of ticket 7 afterwards

    // The engine's words, as the driver hands them over.
    const QString conflict =
        QStringLiteral("deadlock - update conflicts with concurrent update - concurrent "
                       "transaction number is \\d+ Não foi possível executar a pesquisa");
    const QString dbError = QStringLiteral("Erro ao Validar\\. Detalhe do Erro: ") + conflict;
    QTest::newRow("unit, released in time") << "unit" << 1 << false << ""
                                            << "S" << 0;
    QTest::newRow("unit, held past the budget") << "unit" << kAttempts << false << conflict << "" << 0;
    QTest::newRow("validation") << "validation" << kAttempts << false
                                << QRegularExpression::escape(SaleValidator::conflictMessage(7)) << "" << 0;
    QTest::newRow("withdrawal of a row") << "withdrawTicket" << kAttempts << true << dbError << "S" << 1;
    QTest::newRow("withdrawal of a range") << "withdrawRange" << kAttempts << true << dbError << "S" << 1;
    QTest::newRow("Zerar Validações") << "reset" << kAttempts << true << dbError << "S" << 1;
    // The reserve window shows the engine's words as they come.
    QTest::newRow("reserve") << "reserve" << kAttempts << false << conflict << "" << 0;
}

void TestConflictRetry::rowHeldByAnotherComputer() {
    QFETCH(QString, writer);
    QFETCH(int, rounds);
    QFETCH(bool, sold);
    QFETCH(QString, message);
    QFETCH(QString, mark);
    QFETCH(int, buyerRows);

    if (sold) {
        SaleValidator seller(inst->context());
        SaleRequest in;
        in.ticketText = QStringLiteral("7");
        in.price = 10;
        QVERIFY(seller.validate(in).ok());
    }

    RowHolder other(inst->file(QStringLiteral("CRF.XML")), rounds);
    // Between two tries the next one starts only once the other computer holds the row again (or is
    // done), so how often the row is met held does not depend on the machine's speed.
    int pauses = 0;
    bool holderLate = false;
    RetryPolicy policy{kAttempts, [&](int) {
                           ++pauses;
                           other.next.release();
                           if (!other.holding.tryAcquire(1, 20000)) holderLate = true;
                       }};
    other.start();
    QVERIFY(other.holding.tryAcquire(1, 20000));
    QVERIFY2(other.error.isEmpty(), qPrintable(other.error));

    QString reported;
    bool done = false;
    if (writer == u"unit") {
        QSqlDatabase db = inst->tdm->CONEX_R();
        UnitOfWork unit(db, policy);
        const UnitOfWork::Result result = unit.run([&](QSqlError *error) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=7"))) return true;
            *error = q.lastError();
            return false;
        });
        done = result == UnitOfWork::Result::Done;
        if (!done) {
            QCOMPARE(result, UnitOfWork::Result::Conflict);
            QVERIFY(isUpdateConflict(unit.error()));
            reported = unit.error().text();
        }
        QCOMPARE(unit.attempts(), done ? 2 : kAttempts);
    } else if (writer == u"validation") {
        SaleValidator validator(inst->context());
        validator.setRetryPolicy(policy);
        SaleRequest in;
        in.ticketText = QStringLiteral("7");
        in.price = 10;
        const SaleOutcome o = validator.validate(in);
        done = o.ok();
        reported = o.message;
    } else if (writer == u"reserve") {
        ReserveBlock block(inst->context());
        block.setRetryPolicy(policy);
        done = block.define(5, 9, &reported);
        if (done) reported.clear();
    } else {
        Withdrawal withdrawal(inst->context());
        withdrawal.setRetryPolicy(policy);
        const WithdrawalOutcome o = writer == u"withdrawTicket" ? withdrawal.withdrawTicket(7)
                                    : writer == u"withdrawRange"
                                        ? withdrawal.withdrawTyped(QStringLiteral("5-9"))
                                        : withdrawal.resetAll();
        done = o.ok();
        if (!done) reported = o.message;
    }
    other.wait();
    QVERIFY2(other.error.isEmpty(), qPrintable(other.error));
    QVERIFY(!holderLate);

    if (message.isEmpty()) {
        QVERIFY2(done, qPrintable(reported));
        QCOMPARE(pauses, 1);
    } else {
        QVERIFY(!done);
        // Every try met the row held: the budget was spent before giving up.
        QCOMPARE(pauses, kAttempts - 1);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(message),
                                          QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(expected.match(reported).hasMatch(), qPrintable(reported));
    }
    QCOMPARE(SalesFixture::mark(*inst, 7), mark);
    QCOMPARE(SalesFixture::buyerRows(*inst, 7), buyerRows);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS2_100G WHERE VALID_R1='R'")).toInt(), 0);
    QCOMPARE(SalesFixture::mark(*inst, 7, 2), QStringLiteral("S")); // the other computer's sale stays
}

KORVANTE_TEST(TestConflictRetry)
#include "TestConflictRetry.moc"
