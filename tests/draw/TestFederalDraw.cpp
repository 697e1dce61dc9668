#include "DrawFixture.h"
#include "draw/FederalDraw.h"
#include "support/TestRegistry.h"

// The draw by the Loteria Federal result, rule by rule, over ticket tables holding only the tickets
// each case needs.
class TestFederalDraw : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void winnerByRule_data();
    void winnerByRule();
    void refusedInput_data();
    void refusedInput();

private:
    struct Ticket {
        int numBilhete;
        QList<int> numbers;
        QString mark;
    };
    void put(const QString &table, const QList<Ticket> &tickets) {
        QVERIFY(inst->exec(QStringLiteral("DELETE FROM ") + table));
        for (const Ticket &t : tickets) {
            QStringList cols{QStringLiteral("NUMBILHETE"), QStringLiteral("VALID_R1")}, marks{"?", "?"};
            QVariantList values{t.numBilhete, t.mark.isEmpty() ? QVariant() : t.mark};
            for (int i = 0; i < t.numbers.size(); ++i) {
                cols << QStringLiteral("N%1").arg(i + 1);
                marks << QStringLiteral("?");
                values << t.numbers.at(i);
            }
            QVERIFY(inst->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(table, cols.join(u','), marks.join(u',')),
                               values));
        }
    }
    void choose(const QString &table, int maior, int perTicket) {
        WorkingRaffle &r = inst->raffle;
        r.CodRifaUsar = QStringLiteral("1");
        r.MaiorNumero = maior;
        r.QtNumBilhete = quint8(perTicket);
        r.TabelaBaseUsar = table;
        r.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    }

    std::unique_ptr<TestInstallation> inst;
};

void TestFederalDraw::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

void TestFederalDraw::init() {
    inst->dialogs.clear();
    // Sales closed at 09:00 in Brasília on the day of the extraction; the result typed the next day.
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM='2026-12-10 12:00:00' "
                                      "WHERE CODRIFA=1")));
    inst->clock.set(QDateTime(QDate(2026, 12, 11), QTime(12, 0), Qt::UTC));
}

void TestFederalDraw::winnerByRule_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("maior");
    QTest::addColumn<int>("perTicket");
    QTest::addColumn<QVariantList>("tickets"); // per ticket: control number, its numbers, its mark
    QTest::addColumn<QStringList>("prizes");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("winner");         // control number; 0: no winner
    QTest::addColumn<int>("winningNumber");  // -1 without winner
    QTest::addColumn<QList<int>>("numbers"); // what each prize gives in this raffle
    QTest::addColumn<int>("tieWith");        // a sold number as near as the winning one

    auto t = [](int n, QList<int> numbers, const char *mark) {
        return QVariant(QVariantList{n, QVariant::fromValue(numbers), QString::fromLatin1(mark)});
    };
    const QStringList result{"35162", "48001", "90211", "77777", "00542"};
    const QList<int> thousands{162, 1, 211, 777, 542};
    // 000-999, one number per ticket, dealt out of order: 162 unsold, 001 paid, 211 reserved.
    const QVariantList base{t(500, {162}, ""), t(17, {1}, "S"), t(903, {211}, "R"), t(44, {777}, "")};
    QTest::newRow("next prize: the 2nd prize's ticket is paid")
        << "BS1_M" << 999 << 1 << base << result << int(FederalRule::ProximoPremio) << 17 << 1 << thousands << -1;
    QTest::newRow("a prize typed with the leading zero")
        << "BS1_M" << 999 << 1 << base << QStringList{"035162", "048001", "90211", "77777", "000542"}
        << int(FederalRule::ProximoPremio) << 17 << 1 << thousands << -1;
    QTest::newRow("the organisation keeps the prize")
        << "BS1_M" << 999 << 1 << base << result << int(FederalRule::Organizacao) << 0 << -1 << thousands << -1;
    QVariantList near = base;
    near << t(600, {163}, "S") << t(601, {161}, "");
    QTest::newRow("nearest sold number above")
        << "BS1_M" << 999 << 1 << near << result << int(FederalRule::MaisProximo) << 600 << 163 << thousands << -1;
    QVariantList tie = base;
    tie << t(600, {163}, "S") << t(601, {161}, "S");
    QTest::newRow("161 and 163 sold, equally near 162: the higher wins")
        << "BS1_M" << 999 << 1 << tie << result << int(FederalRule::MaisProximo) << 600 << 163 << thousands
        << 161;
    QTest::newRow("nearest sold number wraps past 999")
        << "BS1_M" << 999 << 1 << QVariantList{t(3, {998}, ""), t(8, {2}, "S"), t(9, {990}, "S")}
        << QStringList{"12998", "11111", "22222", "33333", "44444"} << int(FederalRule::MaisProximo) << 8 << 2
        << QList<int>{998, 111, 222, 333, 444} << -1;
    QTest::newRow("no paid ticket among the five: no winner")
        << "BS1_M" << 999 << 1 << QVariantList{t(500, {162}, ""), t(17, {1}, "R"), t(2, {5}, "S")} << result
        << int(FederalRule::ProximoPremio) << 0 << -1 << thousands << -1;
    QTest::newRow("00-99 takes two digits")
        << "BS1_100G" << 99 << 1 << QVariantList{t(70, {62}, "S"), t(2, {1}, "S")} << result
        << int(FederalRule::ProximoPremio) << 70 << 62 << QList<int>{62, 1, 11, 77, 42} << -1;
    QTest::newRow("00000-99999 takes all five")
        << "BS1_C" << 99999 << 1 << QVariantList{t(4, {35162}, "S"), t(5, {162}, "S")} << result
        << int(FederalRule::ProximoPremio) << 4 << 35162 << QList<int>{35162, 48001, 90211, 77777, 542} << -1;
    QTest::newRow("ten numbers per ticket, the number in the 7th column")
        << "BS10_M" << 999 << 10
        << QVariantList{t(1, {100, 101, 102, 103, 104, 105, 106, 107, 108, 109}, ""),
                        t(2, {300, 301, 302, 303, 304, 305, 1, 307, 308, 309}, "S"),
                        t(3, {600, 601, 602, 603, 604, 605, 606, 607, 608, 162}, "")}
        << result << int(FederalRule::ProximoPremio) << 2 << 1 << thousands << -1;
}

void TestFederalDraw::winnerByRule() {
    QFETCH(QString, table);
    QFETCH(int, maior);
    QFETCH(int, perTicket);
    QFETCH(QVariantList, tickets);
    QFETCH(QStringList, prizes);
    QFETCH(int, rule);
    QFETCH(int, winner);
    QFETCH(int, winningNumber);
    QFETCH(QList<int>, numbers);
    QFETCH(int, tieWith);
    QList<Ticket> rows;
    for (const QVariant &v : tickets) {
        const QVariantList l = v.toList();
        rows << Ticket{l.at(0).toInt(), l.at(1).value<QList<int>>(), l.at(2).toString()};
    }
    put(table, rows);
    choose(table, maior, perTicket);

    FederalDraw draw(inst->context());
    int reads = 0;
    draw.setBetweenReads([&] { ++reads; });
    FederalInput in;
    in.extracao = QStringLiteral("5123");
    in.data = QStringLiteral("10/12/2026");
    for (int i = 0; i < 5; ++i)
        in.premios[i] = prizes.at(i);
    in.rule = FederalRule(rule);
    const FederalResult r = draw.draw(in);
    QVERIFY2(r.drawn, qPrintable(r.message));
    QCOMPARE(r.winner ? r.winner->numBilhete : 0, winner);
    QCOMPARE(r.winningNumber, winningNumber);
    QCOMPARE(r.tieWith, tieWith);
    QCOMPARE(r.referenceNumber, FederalRule(rule) == FederalRule::MaisProximo && winner && winningNumber != numbers.at(0)
                                    ? numbers.at(0)
                                    : -1);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(r.prizes[i].numero, numbers.at(i));
        QCOMPARE(r.prizes[i].premio, prizes.at(i).right(5));
    }
    QVERIFY(reads <= 5 * perTicket); // one indexed read per number column tried
    if (winner) {
        QVERIFY(r.message.isEmpty());
    } else {
        QCOMPARE(r.message, FederalDraw::noWinnerMessage(QStringLiteral("5123"), FederalRule(rule)));
        QVERIFY(r.message.contains(FederalRule(rule) == FederalRule::Organizacao ? u"fica com a organização"
                                                                                 : u"próxima Extração"));
    }
}

void TestFederalDraw::refusedInput_data() {
    QTest::addColumn<int>("maior");
    QTest::addColumn<QStringList>("typed"); // extraction, date, five prizes, hour
    QTest::addColumn<QString>("closedAt");  // UTC, as kept; empty: sales open
    QTest::addColumn<QString>("message");
    const QStringList good{"5123", "10/12/2026", "35162", "48001", "90211", "77777", "00542", "19:00"};
    const QString closed = QStringLiteral("2026-12-10 12:00:00");
    auto with = [&](int index, const char *text) {
        QStringList l = good;
        l[index] = QString::fromUtf8(text);
        return l;
    };
    QTest::newRow("six-digit modality") << 999999 << good << closed << FederalDraw::modalityRefusedMessage();
    QTest::newRow("a prize of four digits") << 999 << with(2, "3516") << closed << FederalDraw::prizeMessage(1);
    QTest::newRow("six digits without the zero") << 999 << with(4, "190211") << closed << FederalDraw::prizeMessage(3);
    QTest::newRow("a letter in a prize") << 999 << with(6, "0054a") << closed << FederalDraw::prizeMessage(5);
    QTest::newRow("no extraction") << 999 << with(0, "") << closed << FederalDraw::extractionMessage();
    QTest::newRow("extraction with a letter") << 999 << with(0, "51a") << closed << FederalDraw::extractionMessage();
    QTest::newRow("no such date") << 999 << with(1, "31/02/2026") << closed << FederalDraw::dateMessage();
    QTest::newRow("no hour") << 999 << with(7, "") << closed << FederalDraw::hourMessage();
    QTest::newRow("hour 25:00") << 999 << with(7, "25:00") << closed << FederalDraw::hourMessage();
    // The clock says 11/12/2026 09:00 in Brasília.
    QTest::newRow("an extraction still to come")
        << 999 << with(1, "11/12/2026") << closed
        << FederalDraw::futureMessage(QStringLiteral("5123"), QDate(2026, 12, 11), QTime(19, 0));
    QTest::newRow("an extraction of 2030")
        << 999 << with(1, "01/01/2030") << closed
        << FederalDraw::futureMessage(QStringLiteral("5123"), QDate(2030, 1, 1), QTime(19, 0));
    QTest::newRow("sales open") << 999 << good << QString() << FederalDraw::notClosedMessage();
    QTest::newRow("sales closed at 20:00, after the extraction")
        << 999 << good << QStringLiteral("2026-12-10 23:00:00")
        << QStringLiteral("As vendas foram encerradas em 10/12/2026 às 20:00:00 (horário de Brasília), depois da "
                          "Extração 5123 de 10/12/2026 às 19:00 (horário de Brasília): o encerramento das vendas "
                          "precisa ser anterior à extração.");
    QTest::newRow("sales closed at 19:00, as the extraction began")
        << 999 << good << QStringLiteral("2026-12-10 22:00:00")
        << FederalDraw::closedAfterMessage(QDateTime(QDate(2026, 12, 10), QTime(22, 0), Qt::UTC),
                                           QStringLiteral("5123"), QDate(2026, 12, 10), QTime(19, 0));
    QTest::newRow("no paid ticket in the raffle")
        << 999 << good << closed << QStringLiteral("O sistema não identificou Bilhetes Validados nessa Rifa ativa!");
}

void TestFederalDraw::refusedInput() {
    QFETCH(int, maior);
    QFETCH(QStringList, typed);
    QFETCH(QString, closedAt);
    QFETCH(QString, message);
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=? WHERE CODRIFA=1"),
                       {closedAt.isEmpty() ? QVariant(QMetaType(QMetaType::QDateTime))
                                           : QVariant(QDateTime::fromString(closedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss")))}));
    put(QStringLiteral("BS1_M"), {{163, {162}, ""}, {2, {1}, "R"}});
    choose(maior == 999999 ? QStringLiteral("BS1_MISTURADO") : QStringLiteral("BS1_M"), maior, 1);
    FederalDraw draw(inst->context());
    FederalInput in;
    in.extracao = typed.at(0);
    in.data = typed.at(1);
    for (int i = 0; i < 5; ++i)
        in.premios[i] = typed.at(2 + i);
    in.hora = typed.at(7);
    const FederalResult r = draw.draw(in);
    QVERIFY(!r.drawn);
    QCOMPARE(r.message, message);
    QVERIFY(!r.winner);
}

KORVANTE_TEST(TestFederalDraw)
#include "TestFederalDraw.moc"
