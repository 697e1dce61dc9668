#include "SalesFixture.h"
#include "sales/SaleValidator.h"
#include "support/TestRegistry.h"

#include <QSemaphore>
#include <QSqlError>
#include <QThread>

namespace {

// Hands out the draws it was given, for codes with known characters.
class ScriptedRandom : public Random {
public:
    explicit ScriptedRandom(QList<std::uint32_t> draws) : m_draws(std::move(draws)) {}
    std::uint32_t bounded(std::uint32_t) override { return m_draws.isEmpty() ? 0 : m_draws.takeFirst(); }

private:
    QList<std::uint32_t> m_draws;
};

// A connection of another computer's, made in the thread that uses it.
QSqlDatabase otherConnection(const QString &name, const QString &path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
    db.setDatabaseName(path);
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setPassword(QStringLiteral("quillmoss"));
    return db;
}

// Another computer in the middle of selling a ticket: its buyer row is written but not committed yet.
class OtherComputer : public QThread {
public:
    OtherComputer(QString path, int ticket) : m_path(std::move(path)), m_ticket(ticket) {}
    QSemaphore written;
    QString error;

protected:
    void run() override {
        {
            QSqlDatabase db = otherConnection(QStringLiteral("other"), m_path);
            if (!db.open() || !db.transaction()) {
                error = db.lastError().text();
                written.release();
                return;
            }
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral(
                            "INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALIDADO, NOMECOMP) "
                            "VALUES (1, %1, 'Sim', 'OUTRO')")
                            .arg(m_ticket)) ||
                !q.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=%1").arg(m_ticket)))
                error = q.lastError().text();
            written.release();
            // The first computer now waits on the unique index.
            if (!SalesFixture::waitForAWaitingStatement(m_path)) error = QStringLiteral("nobody waited");
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }

private:
    QString m_path;
    int m_ticket;
};

// Another computer selling raffle 2, whose tickets share the table with raffle 1: it changes the same
// ticket row, one transaction after the other, each held open until our sale waits on it. A round after
// the first starts once our try has failed (`next`).
class SharedRowSeller : public QThread {
public:
    SharedRowSeller(QString path, int ticket, int rounds) : m_path(std::move(path)), m_ticket(ticket), m_rounds(rounds) {}
    // One permit each time a round holds the row, and one when the seller is done.
    QSemaphore holding;
    QSemaphore next;
    QString error;

protected:
    void run() override {
        {
            QSqlDatabase db = otherConnection(QStringLiteral("raffle2"), m_path);
            if (!db.open()) error = db.lastError().text();
            for (int i = 0; i < m_rounds && error.isEmpty(); ++i) {
                if (i > 0 && !next.tryAcquire(1, 20000)) error = QStringLiteral("no try failed");
                db.transaction();
                QSqlQuery q(db);
                q.prepare(QStringLiteral("UPDATE BS2_100G SET VALID_R2=? WHERE NUMBILHETE=?"));
                q.addBindValue(i % 2 ? QStringLiteral("R") : QStringLiteral("S"));
                q.addBindValue(m_ticket);
                // Its own sale may meet ours: it lets that round go, as a computer that retries would.
                if (!q.exec() && !q.lastError().text().contains(QStringLiteral("concurrent update")))
                    error = q.lastError().text();
                holding.release();
                if (!SalesFixture::waitForAWaitingStatement(m_path)) error = QStringLiteral("nobody waited");
                q.finish();
                db.commit();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raffle2"));
        holding.release();
    }

private:
    QString m_path;
    int m_ticket, m_rounds;
};

} // namespace

// The validation routine without its window: limits, sequences, what a row holds, and atomicity.
class TestSaleValidator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void refusals_data();
    void refusals();
    void highestTicketPasses();
    void sequenceStopsAtValidatedTicket();
    void sequenceStopsAtHighestControlNumber();
    void rowContents_data();
    void rowContents();
    void alreadyValidatedWritesNothing();
    void reservedTicketBecomesSold();
    void authenticationCodeTable();
    void authenticationCodeStoredUnchanged();
    void failedMarkLeavesNoBuyerRow();
    void missingTicketRowLeavesNoBuyerRow();
    void secondSaleAtTheSameMomentIsRefused();
    void windowRepaintsBetweenTickets();
    void saleOfAnotherRaffleOnTheSameRow_data();
    void saleOfAnotherRaffleOnTheSameRow();
    void typedSaleDate_data();
    void typedSaleDate();

private:
    SaleOutcome run(const QString &text, SaleRequest in = {});
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<SaleValidator> validator;
};

void TestSaleValidator::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE')")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
    validator = std::make_unique<SaleValidator>(inst->context());
}

void TestSaleValidator::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
}

SaleOutcome TestSaleValidator::run(const QString &text, SaleRequest in) {
    in.ticketText = text;
    in.price = 10;
    return validator->validate(in);
}

void TestSaleValidator::refusals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString range =
        QStringLiteral("Número de Bilhete informado fora do Limite do Modelo de Rifa Escolhido. ");
    QTest::newRow("zero") << "0" << range + "Digite números entre [ 1 e 100 ]";
    QTest::newRow("sequence from zero") << "0-5" << range + "Digite números máximo entre [ 1 e 100 ]";
    QTest::newRow("sequence past N") << "90-101" << range + "Digite números máximo entre [ 1 e 100 ]";
    QTest::newRow("past the last ticket") << "51"
                                          << "Esse Nº de Controle de Bilhete está além do último Bilhete da "
                                             "Rifa Escolhida. O C.Bilhete máximo que pode "
                                             "ser digitado é até: 50";
    QTest::newRow("past N") << "101" << range + "Digite números entre [ 1 e 100 ]";
    QTest::newRow("ticket id") << "C-0012"
                               << "Favor Digite apenas os Números, sem o [ C- ]... ";
    // The message names what was typed, never an empty piece of it.
    QTest::newRow("leading dash") << "-5"
                                  << "'-5' não é um número válido.";
    QTest::newRow("open end") << "5-"
                              << "'5-' não é um número válido.";
    QTest::newRow("two dashes") << "1-2-3"
                                << "'1-2-3' não é um número válido.";
    QTest::newRow("too many digits") << "99999999999" << range + "Digite números entre [ 1 e 100 ]";
    QTest::newRow("sequence to too many digits") << "1-99999999999"
                                                 << range + "Digite números máximo entre [ 1 e 100 ]";
    QTest::newRow("end before start") << "12-10"
                                      << "Sequência inválida: o último Bilhete [10] é menor que o primeiro "
                                         "[12]. Digite a sequência do menor para o "
                                         "maior ( Ex.: 10-40 ).";
}

void TestSaleValidator::refusals() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    const SaleOutcome o = run(typed);
    QCOMPARE(o.result, SaleOutcome::Result::Refused);
    QCOMPARE(o.message, message);
    QCOMPARE(o.icon, BoxIcon::Error);
    QCOMPARE(o.title, QStringLiteral("KORVANTE"));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
}

void TestSaleValidator::highestTicketPasses() {
    const SaleOutcome o = run(QStringLiteral("50"));
    QCOMPARE(o.result, SaleOutcome::Result::Validated);
    QCOMPARE(o.written, QList<int>{50});
    QCOMPARE(SalesFixture::buyerRows(*inst, 50), 1);
    QCOMPARE(SalesFixture::mark(*inst, 50), QStringLiteral("S"));
    // An unusable working raffle is refused rather than guessed at.
    inst->raffle.QtNumBilhete = 0;
    QCOMPARE(run(QStringLiteral("3")).result, SaleOutcome::Result::Refused);
    QVERIFY(SalesFixture::chooseRaffle(*inst));
    inst->raffle.CodRifaUsar = QStringLiteral("6");
    QCOMPARE(run(QStringLiteral("3")).result, SaleOutcome::Result::Refused);
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);
}

void TestSaleValidator::sequenceStopsAtValidatedTicket() {
    QVERIFY(run(QStringLiteral("11")).ok());
    const SaleOutcome o = run(QStringLiteral("10-12"));
    QCOMPARE(o.result, SaleOutcome::Result::AlreadyValidated);
    QCOMPARE(o.message,
             QStringLiteral("Esse Bilhete [11] na Sequencia informada, já foi Validado anteriormente!"));
    QCOMPARE(o.written, QList<int>{10});
    QCOMPARE(SalesFixture::buyerRows(*inst, 10), 1);
    QCOMPARE(SalesFixture::mark(*inst, 10), QStringLiteral("S"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 11), 1);
    QCOMPARE(SalesFixture::buyerRows(*inst, 12), 0);
    QCOMPARE(SalesFixture::mark(*inst, 12), QString());
}

void TestSaleValidator::sequenceStopsAtHighestControlNumber() {
    const SaleOutcome o = run(QStringLiteral("48-60"));
    QCOMPARE(o.result, SaleOutcome::Result::Stopped);
    QCOMPARE(o.written, QList<int>({48, 49, 50}));
    QVERIFY(o.message.endsWith(QStringLiteral("O C.Bilhete máximo que pode ser digitado é até: 50")));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 3);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT MAX(NUMBILHETE) FROM DADOSCOMPRADOR_1")).toInt(), 50);
}

void TestSaleValidator::rowContents_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("extras");
    QTest::addColumn<bool>("sellerEnabled");
    QTest::addColumn<QVariantList>("expected"); // NOMECOMP, FONECOMP, ENDCOMP, CIDCOMP, COD_VENDEDOR
    const QVariant null;
    QTest::newRow("single with extra fields")
        << "7" << true << true << QVariantList{"Ana Maria", "11987654321", "Rua A, 10", "CAMPINAS-SP", 12};
    QTest::newRow("single, extra fields off")
        << "7" << false << true << QVariantList{null, null, null, null, null};
    QTest::newRow("sequence with extra fields on")
        << "7-8" << true << true << QVariantList{null, null, null, null, null};
    QTest::newRow("seller switched off with F5")
        << "7" << true << false << QVariantList{"Ana Maria", "11987654321", "Rua A, 10", "CAMPINAS-SP", null};
}

void TestSaleValidator::rowContents() {
    QFETCH(QString, typed);
    QFETCH(bool, extras);
    QFETCH(bool, sellerEnabled);
    QFETCH(QVariantList, expected);
    SaleRequest in;
    in.extraFields = extras;
    in.sellerFieldEnabled = sellerEnabled;
    in.buyer = QStringLiteral("Ana Maria");
    in.phone = QStringLiteral("(11)98765-4321");
    in.address = QStringLiteral("Rua A, 10");
    in.city = QStringLiteral("Campinas-sp");
    in.sellerCode = QStringLiteral("12");
    in.useToday = false;
    in.dateText = QStringLiteral("05/11/2026");
    QVERIFY(run(typed, in).ok());
    QSqlQuery q(inst->tdm->CONEX_R());
    QVERIFY(q.exec(
        QStringLiteral("SELECT NOMECOMP, FONECOMP, ENDCOMP, CIDCOMP, COD_VENDEDOR, NUM_CAD_RIFA, VALOR, "
                       "VALIDADO, DATA_VAL, UFCOMP, VIAZAP FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=7")));
    QVERIFY(q.next());
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(q.value(c).isNull(), expected[c].isNull());
        if (!expected[c].isNull()) QCOMPARE(q.value(c).toString(), expected[c].toString());
    }
    QCOMPARE(q.value(5).toInt(), 1);
    QCOMPARE(q.value(6).toDouble(), 10.0);
    QCOMPARE(q.value(7).toString().trimmed(), QStringLiteral("Sim"));
    QCOMPARE(q.value(8).toDate(), QDate(2026, 11, 5));
    QVERIFY(q.value(9).isNull());
    QVERIFY(q.value(10).isNull());
}

void TestSaleValidator::alreadyValidatedWritesNothing() {
    QVERIFY(run(QStringLiteral("9")).ok());
    const QVariant code = inst->scalar(QStringLiteral("SELECT AUT_DIGITAL_VAL FROM DADOSCOMPRADOR_1"));
    const SaleOutcome o = run(QStringLiteral("9"));
    QCOMPARE(o.result, SaleOutcome::Result::AlreadyValidated);
    QCOMPARE(o.message, QStringLiteral("Bilhete [ 9 ] já foi Validado anteriormente!"));
    QCOMPARE(o.title, QStringLiteral("Korvante"));
    QVERIFY(o.written.isEmpty());
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT AUT_DIGITAL_VAL FROM DADOSCOMPRADOR_1")), code);
    QVERIFY(validator->ConsultaJaExist(9));
    QVERIFY(!validator->ConsultaJaExist(10));
}

void TestSaleValidator::reservedTicketBecomesSold() {
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='R' WHERE NUMBILHETE=15")));
    QVERIFY(run(QStringLiteral("15")).ok());
    QCOMPARE(SalesFixture::mark(*inst, 15), QStringLiteral("S"));
    // Withdrawing leaves a blank, the other raffles' columns untouched.
    QVERIFY(validator->MarcarValTabelaBS(15, MarkAction::Excluir));
    QCOMPARE(inst->scalar(QStringLiteral("SELECT VALID_R1 FROM BS2_100G WHERE NUMBILHETE=15"))
                 .toString()
                 .trimmed(),
             QString());
    QVERIFY(!inst->scalar(QStringLiteral("SELECT VALID_R1 FROM BS2_100G WHERE NUMBILHETE=15")).isNull());
    QVERIFY(inst->scalar(QStringLiteral("SELECT VALID_R2 FROM BS2_100G WHERE NUMBILHETE=15")).isNull());
}

void TestSaleValidator::authenticationCodeTable() {
    const QStringList &t = SaleValidator::TabelaAutDigital();
    QCOMPARE(t.size(), 101);
    QCOMPARE(t.join(QString()),
             QStringLiteral("0123456789ABCDEFGHJKLMNOPQRSTUVXYZ@5$%&Ç?ÄýP6ÐÃ%§ÕK1234567890@ÿßÑA&¥$H®012345678"
                            "abcdefghjkmnpqrstuvxz"));
    QCOMPARE(t[10], QStringLiteral("A"));
    QCOMPARE(t[33], QStringLiteral("Z"));
    QCOMPARE(t[34], QStringLiteral("@"));
    QCOMPARE(t[50], QStringLiteral("K"));
    QCOMPARE(t[70], QStringLiteral("®"));
    QCOMPARE(t[80], QStringLiteral("a"));
    QCOMPARE(t[100], QStringLiteral("z"));
    // Draws are 0..99: "z" never appears, "0" (entries 0, 60, 71) three times as often as "A"... roughly.
    QHash<QString, int> seen;
    const int codes = 4000;
    for (int i = 0; i < codes; ++i) {
        const QString code = validator->GerarAutDigital();
        QCOMPARE(code.size(), 9);
        for (QChar c : code)
            ++seen[QString(c)];
    }
    QCOMPARE(seen.value(QStringLiteral("z")), 0);
    const double draws = codes * 9.0;
    QVERIFY2(qAbs(seen.value(QStringLiteral("0")) / draws - 0.03) < 0.006,
             qPrintable(QString::number(seen["0"])));
    QVERIFY2(qAbs(seen.value(QStringLiteral("x")) / draws - 0.01) < 0.004,
             qPrintable(QString::number(seen["x"])));
}

void TestSaleValidator::authenticationCodeStoredUnchanged() {
    ScriptedRandom draws({39, 46, 49, 64, 42, 62, 70, 67, 48});
    AppServices s = inst->services();
    AppContext ctx(AppServices{s.tdm, s.dialogs, s.clock, draws, s.registry, s.programFolder}, inst->raffle);
    SaleValidator v(ctx);
    SaleRequest in;
    in.ticketText = QStringLiteral("21");
    QVERIFY(v.validate(in).ok());
    QCOMPARE(inst->scalar(QStringLiteral("SELECT AUT_DIGITAL_VAL FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=21"))
                 .toString()
                 .trimmed(),
             QStringLiteral("ÇÃÕÑýÿ®¥§"));
}

void TestSaleValidator::failedMarkLeavesNoBuyerRow() {
    QVERIFY(inst->exec(QStringLiteral("CREATE EXCEPTION E_MARCA 'marca recusada'")));
    QVERIFY(inst->exec(QStringLiteral("CREATE TRIGGER T_MARCA FOR BS2_100G BEFORE UPDATE AS BEGIN "
                                      "IF (NEW.NUMBILHETE = 41) THEN EXCEPTION E_MARCA; END")));
    const SaleOutcome seq = run(QStringLiteral("40-42"));
    const SaleOutcome single = run(QStringLiteral("41"));
    QVERIFY(inst->exec(QStringLiteral("DROP TRIGGER T_MARCA")));
    QVERIFY(inst->exec(QStringLiteral("DROP EXCEPTION E_MARCA")));

    QCOMPARE(seq.result, SaleOutcome::Result::Failed);
    QVERIFY2(seq.message.startsWith(QStringLiteral("Erro ao Validar em Sequência. Detalhe do Erro: ")),
             qPrintable(seq.message));
    QVERIFY2(seq.message.contains(QStringLiteral("marca recusada")), qPrintable(seq.message));
    QCOMPARE(seq.written, QList<int>{40});
    QCOMPARE(single.result, SaleOutcome::Result::Failed);
    QVERIFY(single.message.startsWith(QStringLiteral("Erro ao Validar. Detalhe do Erro: ")));
    QVERIFY(single.message.contains(QStringLiteral("marca recusada")));
    QCOMPARE(SalesFixture::buyerRows(*inst, 40), 1);
    QCOMPARE(SalesFixture::buyerRows(*inst, 41), 0);
    QCOMPARE(SalesFixture::mark(*inst, 41), QString());
    QCOMPARE(SalesFixture::buyerRows(*inst, 42), 0);
}

void TestSaleValidator::missingTicketRowLeavesNoBuyerRow() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS2_100G WHERE NUMBILHETE=33")));
    const SaleOutcome o = run(QStringLiteral("33"));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS2_100G (NUMBILHETE, N1, N2) VALUES (33, 64, 65)")));
    QCOMPARE(o.result, SaleOutcome::Result::Failed);
    QCOMPARE(
        o.message,
        QStringLiteral("Erro ao Validar. Detalhe do Erro: O Bilhete [33] não existe na tabela BS2_100G."));
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
}

void TestSaleValidator::secondSaleAtTheSameMomentIsRefused() {
    OtherComputer other(inst->tdm->mainPath(), 30);
    other.start();
    other.written.acquire();
    QVERIFY2(other.error.isEmpty(), qPrintable(other.error));
    // Our check does not see the other sale yet; the unique index makes our row wait and then fail.
    const SaleOutcome o = run(QStringLiteral("30"));
    other.wait();
    QCOMPARE(o.result, SaleOutcome::Result::AlreadyValidated);
    QCOMPARE(o.message, QStringLiteral("Bilhete [ 30 ] já foi Validado anteriormente!"));
    QCOMPARE(SalesFixture::buyerRows(*inst, 30), 1);
    QCOMPARE(
        inst->scalar(QStringLiteral("SELECT NOMECOMP FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=30")).toString(),
        QStringLiteral("OUTRO"));
    QCOMPARE(SalesFixture::mark(*inst, 30), QStringLiteral("S"));
}

void TestSaleValidator::windowRepaintsBetweenTickets() {
    int calls = 0;
    validator->setBetweenTickets([&] { ++calls; });
    QVERIFY(run(QStringLiteral("1-5")).ok());
    validator->setBetweenTickets({});
    QCOMPARE(calls, 5);
}

void TestSaleValidator::saleOfAnotherRaffleOnTheSameRow_data() {
    QTest::addColumn<int>("rounds"); // the other computer's transactions on the row, each met by one try
    QTest::addColumn<bool>("validated");
    QTest::newRow("released") << 1 << true;
    // Every try of the budget meets the row held: the sale gives up and says so, and writes nothing.
    QTest::newRow("persists") << RetryPolicy::standard().attempts << false;
}

void TestSaleValidator::saleOfAnotherRaffleOnTheSameRow() {
    QFETCH(int, rounds);
    QFETCH(bool, validated);
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R2=NULL")));
    SharedRowSeller other(inst->file(QStringLiteral("CRF.XML")), 7, rounds);
    // The standard budget, with each pause lasting until the other computer holds the row again (or is
    // done), so how often the row is met held does not depend on the machine's speed.
    RetryPolicy policy = RetryPolicy::standard();
    int pauses = 0;
    policy.pause = [&](int) {
        ++pauses;
        other.next.release();
        QVERIFY(other.holding.tryAcquire(1, 20000));
    };
    validator->setRetryPolicy(policy);
    other.start();
    QVERIFY(other.holding.tryAcquire(1, 10000));
    QVERIFY2(other.error.isEmpty(), qPrintable(other.error));
    const SaleOutcome o = run(QStringLiteral("7"));
    validator->setRetryPolicy(RetryPolicy::standard());
    other.wait();
    QVERIFY2(other.error.isEmpty(), qPrintable(other.error));
    // The other computer's last change stays (it alternates S and R).
    QCOMPARE(SalesFixture::mark(*inst, 7, 2), rounds % 2 ? QStringLiteral("S") : QStringLiteral("R"));
    if (validated) {
        QVERIFY2(o.ok(), qPrintable(o.message));
        QCOMPARE(pauses, 1);
        QCOMPARE(SalesFixture::buyerRows(*inst, 7), 1);
        QCOMPARE(SalesFixture::mark(*inst, 7), QStringLiteral("S"));
    } else {
        QCOMPARE(pauses, rounds - 1);
        QCOMPARE(o.result, SaleOutcome::Result::Failed);
        QCOMPARE(o.message, SaleValidator::conflictMessage(7));
        QCOMPARE(SalesFixture::buyerRows(*inst, 7), 0);
        QCOMPARE(SalesFixture::mark(*inst, 7), QString());
    }
}

void TestSaleValidator::typedSaleDate_data() {
    QTest::addColumn<bool>("dateFieldEnabled");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("stored"); // invalid: refused
    QTest::newRow("a real date") << true << "09/12/2026" << QDate(2026, 12, 9);
    QTest::newRow("31 of February") << true << "31/02/2026" << QDate();
    QTest::newRow("day 0, month 13") << true << "00/13/2026" << QDate();
    QTest::newRow("empty") << true << "" << QDate();
    QTest::newRow("greyed-out field, empty") << false << "" << QDate(2026, 12, 10);
}

void TestSaleValidator::typedSaleDate() {
    QFETCH(bool, dateFieldEnabled);
    QFETCH(QString, typed);
    QFETCH(QDate, stored);
    SaleRequest in;
    in.useToday = false;
    in.dateFieldEnabled = dateFieldEnabled;
    in.dateText = typed;
    const SaleOutcome o = run(QStringLiteral("3"), in);
    if (stored.isValid()) {
        QVERIFY2(o.ok(), qPrintable(o.message));
        QCOMPARE(
            inst->scalar(QStringLiteral("SELECT DATA_VAL FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=3")).toDate(),
            stored);
    } else {
        QCOMPARE(o.result, SaleOutcome::Result::Refused);
        QCOMPARE(o.message, QStringLiteral("Favor informe uma Data de Venda válida ( dd/mm/aaaa )!"));
        QCOMPARE(o.focus, SaleFocus::Date);
        QCOMPARE(SalesFixture::buyerRows(*inst, 3), 0);
    }
}

KORVANTE_TEST(TestSaleValidator)
#include "TestSaleValidator.moc"
