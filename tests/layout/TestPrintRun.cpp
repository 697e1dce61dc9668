#include "data/TDM.h"
#include "layout/Code128.h"
#include "layout/PrintRun.h"
#include "layout/TicketSheet.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QPainter>
#include <QSqlQuery>
#include <QTest>

namespace {
const QString kCountError =
    QStringLiteral("O Número de Controle do Bilhete digitado está além do último Bilhete desta Rifa. "
                   "O C.Bilhete máximo que pode ser digitado é até: %1");
const QString kOrder =
    QStringLiteral("O Campo ATÉ: obrigatoriamente tem que ser igual ou superior ao campo DE:");
const QString kEmpty = QStringLiteral("Campo DE: e ATÉ: tem que estar com algum número");
const QString kTwoColumns = QStringLiteral(
    "ATENÇÃO... talvez pelo comprimento definido do bilhete, não dê para sair em 2 colunas ou mais, ai o "
    "ideal e usar sem colunas (zero) ou diminuir o comprimiento do Blhete para no máximo 98mm");
const QString kThreeColumns = QStringLiteral(
    "ATENÇÃO... talvez pelo comprimento definido do bilhete, não dê para sair em 3 colunas ou mais, ai o "
    "ideal e usar sem colunas (zero) ou diminuir o comprimiento do Blhete para no máximo 65mm");
const QString kBarcodeWarning = QStringLiteral(
    "Você está usando CÓDIGO DE BARRAS. A visualização por várias vezes sem decidir imprimir, pode gerar "
    "uma mancha PRETA no Código de Barras. Caso isso ocorra, ideal que você Feche do Programa e Reabra, "
    "e faça a impressão!");

bool dark(const QImage &img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}
} // namespace

class TestPrintRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void checksInOrder_data();
    void checksInOrder();
    void barcodeWarningEverySixthRun();
    void queueHoldsTheRangeWithBoundValues();
    void tenNumbersAndTheSendList();
    void emptyingTheQueueAfterThePreview();
    void smallModalityPrintsPaddedNumbersAndItsBarcode();
    void hiddenControlNumberDoesNotPrint();
    void columnsFillTopToBottom_data();
    void columnsFillTopToBottom();
    void pdfHasAPageEvenForAnEmptyQueue();
    void queueIsNumberedInOrderWithTheBuyersCodes();
    void cancelledQueueIsLeftEmpty();
    void sheetReadsTheQueueAPageAtATime();
    void cancelledPdfIsRemoved();
    void barcodesStandInWhiteQuietZones_data();
    void barcodesStandInWhiteQuietZones();

private:
    QVariant printScalar(const QString &sql);
    void useRaffle(int highest, int perTicket, const QString &table);
    PrintRunInput range(const QString &de, const QString &ate);
    TicketLayout layoutFor(const QString &modality, int perTicket);
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<PrintRun> run;
};

void TestPrintRun::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    // Ticket tables start empty: the few tickets these runs need.
    for (int t = 1; t <= 30; ++t)
        QVERIFY(inst->exec(
            QStringLiteral("INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (?, ?, ?, ?, ?)"),
            {t, t * 4 - 4, t * 4 - 3, 5000 + t, 9999 - t}));
    QVERIFY(inst->exec(
        QStringLiteral("INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (2500, 1, 2, 3, 4)")));
    for (int t = 1; t <= 10; ++t)
        QVERIFY(
            inst->exec(QStringLiteral("INSERT INTO BS1_100G (NUMBILHETE, N1) VALUES (?, ?)"), {t, 10 - t}));
    for (int t = 1; t <= 3; ++t) {
        QVariantList v{t};
        for (int i = 1; i <= 10; ++i)
            v << t * 100 + i;
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS10_M (NUMBILHETE,N1,N2,N3,N4,N5,N6,N7,N8,N9,N10) "
                                          "VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                           v));
    }
    run = std::make_unique<PrintRun>(inst->context());
}

void TestPrintRun::init() {
    inst->dialogs.clear();
    useRaffle(9999, 4, QStringLiteral("BS4_D"));
}

QVariant TestPrintRun::printScalar(const QString &sql) {
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    if (!q.exec(sql) || !q.next()) return {};
    return q.value(0);
}

void TestPrintRun::useRaffle(int highest, int perTicket, const QString &table) {
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.MaiorNumero = highest;
    inst->raffle.QtNumBilhete = quint8(perTicket);
    inst->raffle.TabelaBaseUsar = table;
    inst->raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    inst->raffle.QtBilhetesEnvio = 0;
}

PrintRunInput TestPrintRun::range(const QString &de, const QString &ate) {
    PrintRunInput in;
    in.columnsText = QStringLiteral("0");
    in.de = de;
    in.ate = ate;
    return in;
}

TicketLayout TestPrintRun::layoutFor(const QString &modality, int perTicket) {
    QString error;
    inst->exec(
        QStringLiteral("UPDATE CADASTRO SET MODALIDADE=?, USAR_NUM_ID_BILHETE=2, USAR_CBARRA=2, "
                       "TAM_FONTE_POS_N=14, TAM_FONTE_ID_BILH=12, DIM_BILHETE_ALT=80, DIM_BILHETE_COMP=115 "
                       "WHERE CODRIFA=1"),
        {modality});
    inst->tdm->loadRaffleRow(1, &error);
    TicketLayout l;
    l.load(inst->tdm->CDS_RIfaUSar.record(), perTicket);
    return l;
}

void TestPrintRun::checksInOrder_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("ate");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("one ticket") << "0"
                                << ""
                                << "5"
                                << "5" << QStringList{} << true;
    QTest::newRow("ATÉ below DE") << "0"
                                  << ""
                                  << "20"
                                  << "5" << QStringList{kOrder} << false;
    QTest::newRow("DE empty") << "0"
                              << ""
                              << ""
                              << "5" << QStringList{kEmpty} << false;
    QTest::newRow("last ticket") << "0"
                                 << ""
                                 << "1"
                                 << "2500" << QStringList{} << true;
    QTest::newRow("past the last ticket") << "0"
                                          << ""
                                          << "1"
                                          << "2501" << QStringList{kCountError.arg(2500)} << false;
    QTest::newRow("two columns, 100 mm") << "2"
                                         << "100"
                                         << "1"
                                         << "2" << QStringList{kTwoColumns} << true;
    QTest::newRow("two columns, 98 mm") << "2"
                                        << "98"
                                        << "1"
                                        << "2" << QStringList{} << true;
    QTest::newRow("three columns, 66 mm, then empty ATÉ")
        << "3"
        << "66"
        << "1"
        << "" << QStringList{kThreeColumns, kEmpty} << false;
    QTest::newRow("three columns, no length") << "3"
                                              << ""
                                              << "1"
                                              << "2" << QStringList{} << true;
}

void TestPrintRun::checksInOrder() {
    QFETCH(QString, columns);
    QFETCH(QString, length);
    QFETCH(QString, de);
    QFETCH(QString, ate);
    QFETCH(QStringList, boxes);
    QFETCH(bool, goesOn);
    PrintRunInput in = range(de, ate);
    in.columnsText = columns;
    in.comprimentoText = length;
    for (const QString &b : boxes)
        inst->dialogs.expectMessage(b, b == kCountError.arg(2500) ? BoxIcon::Error : BoxIcon::Warning);
    QCOMPARE(run->check(in), goesOn);
    QVERIFY(inst->dialogs.scriptDone());
}

void TestPrintRun::barcodeWarningEverySixthRun() {
    PrintRun own(inst->context());
    PrintRunInput in = range(QStringLiteral("1"), QStringLiteral("1"));
    in.usarCBarra = 1;
    for (int runNo = 1; runNo <= 12; ++runNo) {
        if (runNo % 6 == 0) inst->dialogs.expectMessage(kBarcodeWarning, BoxIcon::Warning);
        QVERIFY(own.check(in));
        QVERIFY2(inst->dialogs.scriptDone(), qPrintable(QString::number(runNo)));
    }
    QCOMPARE(inst->dialogs.shown.size(), 2);
    in.usarCBarra = 0;
    for (int runNo = 1; runNo <= 7; ++runNo)
        QVERIFY(own.check(in));
    QCOMPARE(inst->dialogs.shown.size(), 2);
}

void TestPrintRun::queueHoldsTheRangeWithBoundValues() {
    QString error;
    // Leftovers of an earlier run disappear and the numbering starts again at 1.
    QVERIFY2(run->fillQueue(range(QStringLiteral("1"), QStringLiteral("30")), &error), qPrintable(error));
    QVERIFY2(run->fillQueue(range(QStringLiteral("5"), QStringLiteral("7")), &error), qPrintable(error));
    QCOMPARE(printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 3);
    QCOMPARE(printScalar(QStringLiteral("SELECT MIN(AUTOCOD) FROM TAB_PRN")).toInt(), 1);
    const QList<QueuedTicket> q = run->readQueue(&error);
    QCOMPARE(q.size(), 3);
    QCOMPARE(q[0].numBilhete, 5);
    QCOMPARE(q[0].numbers[0].toInt(), 16);
    QCOMPARE(q[0].numbers[3].toInt(), 9994);
    QVERIFY(q[0].numbers[4].isNull());
    QCOMPARE(q[2].numBilhete, 7);
    QCOMPARE(
        printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN WHERE BASE IS NULL AND CODBARRA IS NULL "
                                   "AND N5 IS NULL AND AUT_DIGITAL = ''"))
            .toInt(),
        3);
    // A range past the tickets the table holds simply queues fewer.
    QVERIFY(run->fillQueue(range(QStringLiteral("29"), QStringLiteral("40")), &error));
    QCOMPARE(printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 2);
}

void TestPrintRun::tenNumbersAndTheSendList() {
    useRaffle(999, 10, QStringLiteral("BS10_M"));
    inst->raffle.QtBilhetesEnvio = 2;
    PrintRunInput in = range(QStringLiteral("1"), QStringLiteral("1"));
    in.sendList = QStringList{QStringLiteral("3"), QStringLiteral("1")};
    QString error;
    QVERIFY2(run->fillQueue(in, &error), qPrintable(error));
    const QList<QueuedTicket> q = run->readQueue(&error);
    QCOMPARE(q.size(), 2);
    QCOMPARE(q[0].numBilhete, 3);
    QCOMPARE(q[0].numbers[9].toInt(), 310);
    QCOMPARE(q[1].numBilhete, 1);
}

void TestPrintRun::emptyingTheQueueAfterThePreview() {
    QString error;
    QVERIFY(run->fillQueue(range(QStringLiteral("1"), QStringLiteral("3")), &error));
    run->emptyQueue();
    QCOMPARE(printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 0);
    QVERIFY(inst->tdm->CONEX_PRINT().isOpen());
}

void TestPrintRun::smallModalityPrintsPaddedNumbersAndItsBarcode() {
    useRaffle(99, 1, QStringLiteral("BS1_100G"));
    QString error;
    QVERIFY(run->fillQueue(range(QStringLiteral("7"), QStringLiteral("7")), &error));
    run->chooseFormat(QStringLiteral("00 - 99"));
    TicketLayout l = layoutFor(QStringLiteral("00 - 99"), 1);
    TicketSheet sheet(l, run->digits());
    sheet.setSource(std::make_shared<QueueTickets>(inst->tdm->CONEX_PRINT(), run->queued()));
    QCOMPARE(sheet.ticketCount(), 1);
    const QList<QueuedTicket> queued = sheet.tickets(0, 1);
    QCOMPARE(sheet.formatId(queued[0].numBilhete), QStringLiteral("C-07"));
    QCOMPARE(sheet.formatNumber(queued[0].numbers[0]), QStringLiteral("03"));
    // A format the run does not know keeps the previous one.
    run->chooseFormat(QStringLiteral("?"));
    QCOMPARE(run->digits(), 2);

    const QImage page = sheet.pageImage(0);
    const QPoint band = sheet.bandOrigin(0);
    const QString expected = Code128::modulesA(QStringLiteral("7"));
    for (int i = 0; i < 2; ++i) {
        // Barcode 1 starts one pixel into its box, barcode 2 at the edge.
        const QPoint at = band + TicketLayout::DefaultBarcode1 + QPoint(-18, -20) + QPoint(1, 0);
        const QPoint at2 = band + TicketLayout::DefaultBarcode2 + QPoint(-18, -20);
        const QPoint origin = i == 0 ? at : at2;
        for (int y : {0, 27}) {
            QString read;
            for (int x = 0; x < expected.size(); ++x)
                read += dark(page, origin.x() + x, origin.y() + y) ? u'1' : u'0';
            QCOMPARE(read, expected);
        }
        QVERIFY(!dark(page, origin.x() + 5, origin.y() + 28));
    }
    // The two labels and the number printed dark ink where the designer put them.
    auto inkIn = [&](QRect r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (dark(page, x, y)) return true;
        return false;
    };
    QVERIFY(inkIn(QRect(band + TicketLayout::DefaultTicketId + QPoint(-20, -19), QSize(40, 18))));
    QVERIFY(inkIn(QRect(band + TicketLayout::defaultNumberPos(1) + QPoint(-18, -15), QSize(25, 20))));
    QVERIFY(!inkIn(QRect(band + TicketLayout::defaultNumberPos(2) + QPoint(-18, -15), QSize(25, 20))));
}

void TestPrintRun::hiddenControlNumberDoesNotPrint() {
    TicketLayout l = layoutFor(QStringLiteral("0000 - 9999"), 4);
    QueuedTicket t;
    t.numBilhete = 12;
    for (int i = 0; i < 4; ++i)
        t.numbers[i] = i;
    auto ticketImage = [&](const TicketLayout &layout) {
        TicketSheet s(layout, 4);
        QImage img(layout.outline, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        s.paintTicket(p, QPoint(0, 0), t);
        return img;
    };
    const QRect idBox(TicketLayout::DefaultTicketId + QPoint(-20, -19), QSize(60, 18));
    auto inkIn = [](const QImage &img, QRect r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (dark(img, x, y)) return true;
        return false;
    };
    QVERIFY(inkIn(ticketImage(l), idBox));
    l.bilheteNum[0].visible = false;
    QCOMPARE(TicketSheet(l, 4).idAt(0).x(), -1000);
    QVERIFY(!inkIn(ticketImage(l), idBox));
}

void TestPrintRun::columnsFillTopToBottom_data() {
    QTest::addColumn<int>("qtCol");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("widthMm");
    QTest::newRow("none") << 0 << 1 << 196.0;
    QTest::newRow("two") << 2 << 2 << 97.0;
    QTest::newRow("three") << 3 << 3 << 64.0;
}

void TestPrintRun::columnsFillTopToBottom() {
    QFETCH(int, qtCol);
    QFETCH(int, columns);
    QFETCH(double, widthMm);
    TicketLayout l;
    l.qtColFolha = qtCol;
    l.outline = QSize(378, 189); // 100 x 50 mm
    TicketSheet s(l, 4);
    QCOMPARE(s.columns(), columns);
    QCOMPARE(s.columnWidthMm(), widthMm);
    // 283 mm of usable height hold five 50 mm tickets.
    QCOMPARE(s.ticketsPerColumn(), 5);
    QCOMPARE(s.bandOrigin(0), QPoint(26, 26));
    QCOMPARE(s.bandOrigin(4), QPoint(26, 26 + 4 * 189));
    if (columns > 1) QCOMPARE(s.bandOrigin(5), QPoint(qRound((7 + widthMm + 2) * 96 / 25.4), 26));
    QList<QueuedTicket> tickets(5 * columns + 1);
    s.setTickets(tickets);
    QCOMPARE(s.pageCount(), 2);
}

void TestPrintRun::pdfHasAPageEvenForAnEmptyQueue() {
    TicketLayout l = layoutFor(QStringLiteral("0000 - 9999"), 4);
    for (int tickets : {0, 11}) {
        TicketSheet s(l, 4);
        QList<QueuedTicket> q(tickets);
        for (int i = 0; i < tickets; ++i)
            q[i].numBilhete = i + 1;
        s.setTickets(q);
        const QString path = inst->file(QStringLiteral("sheet%1.pdf").arg(tickets));
        QVERIFY(s.writePdf(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray pdf = f.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        // An 80 mm ticket (302 pixels): three per page.
        QCOMPARE(int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r")), tickets == 0 ? 1 : 4);
        QVERIFY(pdf.contains("/MediaBox [0 0 595"));
    }
}

void TestPrintRun::queueIsNumberedInOrderWithTheBuyersCodes() {
    QString error;
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUMBILHETE, NUM_CAD_RIFA, VALIDADO, "
                                      "AUT_DIGITAL_VAL) VALUES (6, 1, 'Sim', 'AÇÃO1234Ñ')")));
    PrintRunInput in = range(QStringLiteral("4"), QStringLiteral("8"));
    in.whatsMode = true;
    QVERIFY2(run->fillQueue(in, &error), qPrintable(error));
    QCOMPARE(run->queued(), 5);
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(q.exec(QStringLiteral("SELECT AUTOCOD, NUMBILHETE, TRIM(AUT_DIGITAL), N4 FROM TAB_PRN ORDER BY AUTOCOD")));
    for (int i = 1; i <= 5; ++i) {
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), i);
        QCOMPARE(q.value(1).toInt(), i + 3);
        QCOMPARE(q.value(2).toString(), i + 3 == 6 ? QStringLiteral("AÇÃO1234Ñ") : QString());
        QCOMPARE(q.value(3).toInt(), 9999 - (i + 3));
    }
    QVERIFY(!q.next());
    // The numbering stands where five single inserts would have left it.
    QCOMPARE(printScalar(QStringLiteral("SELECT GEN_ID(GEN_TAB_PRN_ID, 0) FROM RDB$DATABASE")).toInt(), 5);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
}

void TestPrintRun::cancelledQueueIsLeftEmpty() {
    // Enough tickets for several blocks of the copy.
    QVERIFY(inst->exec(QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 31; BEGIN WHILE (i < 2500) DO BEGIN "
                                      "INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (:i, 1, 2, 3, 4); "
                                      "i = i + 1; END END")));
    QString error;
    QVERIFY(run->fillQueue(range(QStringLiteral("1"), QStringLiteral("3")), &error));
    int calls = 0;
    bool cancelled = false;
    QVERIFY(!run->fillQueue(
        range(QStringLiteral("1"), QStringLiteral("2500")), &error,
        [&](qint64 done, qint64 total) {
            [&] { QCOMPARE(total, 2500); QVERIFY(done <= total); }();
            return ++calls < 3;
        },
        &cancelled));
    QVERIFY(cancelled);
    QCOMPARE(calls, 3);
    QCOMPARE(printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 0);
    // The next run queues the whole range again.
    QVERIFY2(run->fillQueue(range(QStringLiteral("1"), QStringLiteral("2500")), &error), qPrintable(error));
    QCOMPARE(printScalar(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 2500);
    QCOMPARE(printScalar(QStringLiteral("SELECT MAX(AUTOCOD) FROM TAB_PRN")).toInt(), 2500);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS4_D WHERE NUMBILHETE BETWEEN 31 AND 2499")));
    run->emptyQueue();
}

void TestPrintRun::sheetReadsTheQueueAPageAtATime() {
    QString error;
    QVERIFY(run->fillQueue(range(QStringLiteral("1"), QStringLiteral("30")), &error));
    run->chooseFormat(QStringLiteral("0000 - 9999"));
    TicketLayout l = layoutFor(QStringLiteral("0000 - 9999"), 4);
    TicketSheet sheet(l, run->digits());
    sheet.setSource(std::make_shared<QueueTickets>(inst->tdm->CONEX_PRINT(), run->queued()));
    QCOMPARE(sheet.ticketCount(), 30);
    const int perPage = sheet.ticketsPerPage();
    // The last page holds the last tickets, read by their place in the queue.
    const int last = sheet.pageCount() - 1;
    const QList<QueuedTicket> tail = sheet.tickets(qint64(last) * perPage, perPage);
    QCOMPARE(tail.size(), 30 - last * perPage);
    QCOMPARE(tail.last().numBilhete, 30);
    QCOMPARE(sheet.tickets(0, 1).first().numBilhete, 1);
    QVERIFY(sheet.readError().isEmpty());
    run->emptyQueue();
}

void TestPrintRun::cancelledPdfIsRemoved() {
    QList<QueuedTicket> tickets(40);
    for (int i = 0; i < 40; ++i)
        tickets[i].numBilhete = i + 1;
    TicketSheet sheet(layoutFor(QStringLiteral("0000 - 9999"), 4), 4);
    sheet.setTickets(tickets);
    const QString pdf = inst->file(QStringLiteral("parcial.pdf"));
    bool cancelled = false;
    int pagesDone = 0;
    QVERIFY(!sheet.writePdf(pdf, [&](int page, int) { return (pagesDone = page) < 2; }, &cancelled));
    QVERIFY(cancelled);
    QCOMPARE(pagesDone, 2);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(sheet.writePdf(pdf, [&](int page, int pages) { return page <= pages; }, &cancelled));
    QVERIFY(!cancelled);
    QVERIFY(QFile::exists(pdf));
}

void TestPrintRun::barcodesStandInWhiteQuietZones_data() {
    QTest::addColumn<int>("gap"); // pixels from the end of barcode 1's bars to barcode 2's
    QTest::newRow("apart") << 40;
    QTest::newRow("margins meet") << 15;
    QTest::newRow("bars almost touch") << 3;
}

void TestPrintRun::barcodesStandInWhiteQuietZones() {
    QFETCH(int, gap);
    TicketLayout l = layoutFor(QStringLiteral("000000 - 999999"), 1);
    // Coloured artwork over the whole ticket.
    l.fundo.visible = true;
    l.fundo.image = QImage(l.outline, QImage::Format_RGB32);
    l.fundo.image.fill(QColor(230, 120, 20));
    l.artExtendida = true;
    l.placeBackground(true);
    const QString code = QStringLiteral("1000000");
    const QString modules = Code128::modulesA(code);
    l.codBarra[0].pos = QPoint(120, 150);
    l.codBarra[1].pos = QPoint(120 + 1 + int(modules.size()) + gap, 150);
    QueuedTicket t;
    t.numBilhete = 1000000;
    t.numbers[0] = 5;
    TicketSheet sheet(l, 6);
    QImage img(l.outline, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        sheet.paintTicket(p, QPoint(0, 0), t);
    }
    const auto white = [&](int x, int y) { return img.pixel(x, y) == qRgb(255, 255, 255); };
    for (int i = 0; i < 2; ++i) {
        // The bars where they always were, one module a pixel.
        const QPoint at = sheet.barcodeAt(i);
        const int left = at.x() + (i == 0 ? 1 : 0);
        for (int y : {at.y(), at.y() + 14, at.y() + Code128::BarHeight - 1}) {
            for (int m = 0; m < modules.size(); ++m)
                QVERIFY2(dark(img, left + m, y) == (modules[m] == u'1'),
                         qPrintable(QStringLiteral("barcode %1 module %2").arg(i + 1).arg(m)));
            // White margins of 10 modules on both sides, over the artwork, outside the bars.
            for (int q = 1; q <= Code128::QuietZone; ++q) {
                const int before = left - q, after = left + int(modules.size()) - 1 + q;
                const bool otherBars = i == 1 && before < sheet.barcodeAt(0).x() + 1 + modules.size();
                if (!otherBars) QVERIFY2(white(before, y), qPrintable(QStringLiteral("left margin %1").arg(q)));
                if (i == 0 && after >= sheet.barcodeAt(1).x()) continue; // the other barcode's own bars
                QVERIFY2(white(after, y), qPrintable(QStringLiteral("right margin %1").arg(q)));
            }
        }
    }
    // Beyond the margins the artwork shows again.
    QCOMPARE(img.pixel(sheet.barcodeAt(0).x() + 1 - Code128::QuietZone - 2, sheet.barcodeAt(0).y() + 5),
             qRgb(230, 120, 20));
}

KORVANTE_TEST(TestPrintRun)
#include "TestPrintRun.moc"
