#include "DrawFixture.h"
#include "draw/OwnDraw.h"
#include "support/TestRegistry.h"

#include <QSet>

namespace {

// Spins through other digits and stops each position on the next of the given digits.
class StoppingDigits : public Random {
public:
    explicit StoppingDigits(QString digits) : m_digits(std::move(digits)) {}
    std::uint32_t bounded(std::uint32_t bound) override {
        const int position = m_calls / OwnDraw::TicksPerSpin;
        const bool stops = ++m_calls % OwnDraw::TicksPerSpin == 0;
        if (!stops || position >= m_digits.size()) return std::uint32_t(m_calls) % bound;
        return std::uint32_t(m_digits.at(position).digitValue()) % bound;
    }

private:
    QString m_digits;
    int m_calls = 0;
};

} // namespace

// The draw's logic tick by tick, many draws over a fixture with a seeded generator.
class TestOwnDraw : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void lookupTriesEveryColumn_data();
    void lookupTriesEveryColumn();
    void paidWaysNeverNameAnUnpaidTicket_data();
    void paidWaysNeverNameAnUnpaidTicket();
    void lotteryDigitsLetEveryTicketCompete();
    void withoutPaidTicketsOnlyTheDigitsDraw();
    void drawnNumberWithoutTicketIsNamed_data();
    void drawnNumberWithoutTicketIsNamed();
    void phoneNeverShowsItsLastDigits_data();
    void phoneNeverShowsItsLastDigits();

private:
    // Runs one whole draw; every value shown on the way is added to *shown.
    DrawTick run(OwnDraw &draw, DrawMode mode, QList<int> *shown = nullptr) {
        draw.start(mode);
        for (int i = 0; i < 1000; ++i) {
            DrawTick t = draw.tick();
            if (shown && mode != DrawMode::Todos && t.state != DrawTick::State::Failed) *shown << t.shown;
            if (t.state != DrawTick::State::Spinning) return t;
        }
        return {};
    }

    std::unique_ptr<TestInstallation> inst;
};

void TestOwnDraw::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(DrawFixture::prepare(*inst));
}

void TestOwnDraw::init() {
    QVERIFY(DrawFixture::clearSales(*inst));
    QVERIFY(DrawFixture::choose00to99(*inst));
    inst->dialogs.clear();
}

void TestOwnDraw::lookupTriesEveryColumn_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("ticket"); // 0: no ticket holds it
    QTest::newRow("first column") << 40 << 5;
    QTest::newRow("third column") << 42 << 5;
    QTest::newRow("tenth column") << 49 << 5;
    QTest::newRow("last number of the modality") << 999 << 100;
    QTest::newRow("beyond the modality") << 1000 << 0;
}

void TestOwnDraw::lookupTriesEveryColumn() {
    QFETCH(int, number);
    QFETCH(int, ticket);
    QVERIFY(DrawFixture::choose000to999By10(*inst));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS10_M SET VALID_R1='R' WHERE NUMBILHETE=5")));
    OwnDraw draw(inst->context());
    int reads = 0;
    draw.setBetweenReads([&] { ++reads; });
    QString error;
    const std::optional<TicketRow> found = draw.ConsultarBilheteNum(number, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(found ? found->numBilhete : 0, ticket);
    if (ticket == 5) {
        QVERIFY(!found->paid()); // reserved is not paid
        QCOMPARE(found->mark, QStringLiteral("R"));
        QCOMPARE(reads, number - 40 + 1); // stopped at the column that holds it
    }
    if (ticket == 0) QCOMPARE(reads, 10);
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS10_M SET VALID_R1=NULL")));
}

void TestOwnDraw::paidWaysNeverNameAnUnpaidTicket_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("among the numbers of paid tickets") << int(DrawMode::Pagos);
    QTest::newRow("Giro da Sorte") << int(DrawMode::Controle);
}

void TestOwnDraw::paidWaysNeverNameAnUnpaidTicket() {
    QFETCH(int, mode);
    const QSet<int> paid{3, 17, 40};
    for (int t : paid)
        QVERIFY(DrawFixture::sell(*inst, t));
    for (int t : {4, 18, 50})
        QVERIFY(DrawFixture::reserve(*inst, t));
    OwnDraw draw(inst->context());
    QSet<int> winners, numbersShown;
    for (int i = 0; i < 150; ++i) {
        QList<int> shown;
        const DrawTick end = run(draw, DrawMode(mode), &shown);
        QCOMPARE(end.state, DrawTick::State::Finished);
        QVERIFY(end.winner);
        QVERIFY2(paid.contains(end.winner->numBilhete), qPrintable(QString::number(end.winner->numBilhete)));
        QVERIFY(end.paid);
        QCOMPARE(shown.size(), OwnDraw::TicksPerSpin);
        for (int s : shown) {
            // Pagos spins through numbers (ticket = number / 2 + 1), Controle through control numbers.
            const int ticket = DrawMode(mode) == DrawMode::Pagos ? s / 2 + 1 : s;
            QVERIFY2(paid.contains(ticket), qPrintable(QString::number(s)));
        }
        if (DrawMode(mode) == DrawMode::Pagos) QCOMPARE(end.winner->numBilhete, end.shown / 2 + 1);
        QCOMPARE(end.shown, shown.last());
        winners << end.winner->numBilhete;
        numbersShown.unite(QSet<int>(shown.begin(), shown.end()));
    }
    QCOMPARE(winners, paid);                                                 // every paid ticket can win
    if (DrawMode(mode) == DrawMode::Pagos) QCOMPARE(numbersShown.size(), 6); // and every number on it
}

void TestOwnDraw::lotteryDigitsLetEveryTicketCompete() {
    QVERIFY(DrawFixture::sell(*inst, 3));
    QVERIFY(DrawFixture::reserve(*inst, 4));
    OwnDraw draw(inst->context());
    QSet<int> digitsSeen;
    int unpaidWins = 0;
    for (int i = 0; i < 120; ++i) {
        draw.start(DrawMode::Todos);
        QString digits;
        DrawTick t;
        int ticks = 0;
        do {
            t = draw.tick();
            ++ticks;
            digitsSeen << t.digit;
            QCOMPARE(t.position, ticks <= OwnDraw::TicksPerSpin ? 1 : 2);
            if (ticks % OwnDraw::TicksPerSpin == 0) digits += QString::number(t.digit);
        } while (t.state == DrawTick::State::Spinning && ticks < 100);
        QCOMPARE(ticks, 2 * OwnDraw::TicksPerSpin); // two digits, 25 ticks each
        QCOMPARE(t.state, DrawTick::State::Finished);
        QCOMPARE(t.drawnNumber, digits.toInt());
        QVERIFY(t.winner);
        QCOMPARE(t.winner->numBilhete, t.drawnNumber / 2 + 1);
        QCOMPARE(t.paid, t.winner->numBilhete == 3);
        if (!t.paid) ++unpaidWins;
    }
    QCOMPARE(digitsSeen.size(), 10);
    QVERIFY(unpaidWins > 100);
}

void TestOwnDraw::withoutPaidTicketsOnlyTheDigitsDraw() {
    QVERIFY(DrawFixture::reserve(*inst, 9));
    OwnDraw draw(inst->context());
    DrawTick t = run(draw, DrawMode::Pagos);
    QCOMPARE(t.state, DrawTick::State::Failed);
    QCOMPARE(t.message, QStringLiteral("O sistema não identificou Bilhetes Validados nessa Rifa ativa!"));
    QCOMPARE(t.icon, BoxIcon::Error);
    t = run(draw, DrawMode::Controle);
    QCOMPARE(t.state, DrawTick::State::Failed);
    QCOMPARE(t.message, QStringLiteral("O sistema não identificou C.Bilhetes Validados nessa Rifa ativa!"));
    t = run(draw, DrawMode::Todos);
    QCOMPARE(t.state, DrawTick::State::Finished);
    QVERIFY(t.winner);
    QVERIFY(!t.paid);
}

void TestOwnDraw::drawnNumberWithoutTicketIsNamed_data() {
    QTest::addColumn<QString>("digits"); // the digits the draw stops on
    QTest::addColumn<int>("ticket");     // 0: no ticket holds the number
    QTest::newRow("a number of the missing tickets") << "57" << 0;
    QTest::newRow("a number of the ticket left") << "01" << 1;
}

void TestOwnDraw::drawnNumberWithoutTicketIsNamed() {
    QFETCH(QString, digits);
    QFETCH(int, ticket);
    // An incomplete number base: only ticket 1 (numbers 00 and 01) is left.
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS2_100G WHERE NUMBILHETE > 1")));
    StoppingDigits stops(digits);
    const AppServices s = inst->services();
    AppContext ctx({s.tdm, s.dialogs, s.clock, stops, s.registry, s.programFolder}, inst->raffle);
    OwnDraw draw(ctx);
    const DrawTick t = run(draw, DrawMode::Todos);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS2_100G")));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QCOMPARE(t.state, DrawTick::State::Finished);
    QCOMPARE(t.drawnNumber, digits.toInt());
    if (ticket) {
        QVERIFY(t.winner);
        QCOMPARE(t.winner->numBilhete, ticket);
        QVERIFY(t.message.isEmpty());
        return;
    }
    QVERIFY(!t.winner);
    QCOMPARE(t.icon, BoxIcon::Warning);
    QCOMPARE(t.message,
             QStringLiteral("O Número Sorteado %1 não está em nenhum Bilhete desta Rifa. Verifique a "
                            "Base de Números da Rifa e sorteie novamente.")
                 .arg(digits));
}

void TestOwnDraw::phoneNeverShowsItsLastDigits_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("typed with its mask") << "(11) 3333-4444"
                                         << "(11) 3333-44**";
    QTest::newRow("landline, digits only") << "1133334444"
                                           << "(11) 3333-44**";
    QTest::newRow("mobile from a WhatsApp order") << "11987654321"
                                                  << "(11) 98765-43**";
    QTest::newRow("with the country code") << "5511987654321"
                                           << "(11) 98765-43**";
    QTest::newRow("without area code") << "33334444"
                                       << "3333-44**";
    QTest::newRow("odd length") << "1234567"
                                << "12345**";
    QTest::newRow("two digits") << "12"
                                << "**";
    QTest::newRow("empty") << ""
                           << "--";
}

void TestOwnDraw::phoneNeverShowsItsLastDigits() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(OwnDraw::maskedPhone(stored), shown);
}

KORVANTE_TEST(TestOwnDraw)
#include "TestOwnDraw.moc"
