#include "reports/TQRY_REL_VENDAS.h"
#include "sales/SalesFixture.h"
#include "sales/TForm_Validacao.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

struct Word {
    QString text;
    double x = 0, y = 0; // points from the page's top-left corner
};
using Page = QList<Word>;

// The words of every page as a PDF reader finds them (poppler's pdftotext).
QList<Page> pdfWords(const QString &pdf) {
    QList<Page> pages;
    const QString out = pdf + QStringLiteral(".html");
    if (QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, out}) != 0)
        return pages;
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly)) return pages;
    const QString html = QString::fromUtf8(f.readAll());
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            pages.append(Page());
            continue;
        }
        if (pages.isEmpty()) continue;
        pages.last().append({QTextDocumentFragment::fromHtml(m.captured(3)).toPlainText(),
                             m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return pages;
}

// The pages as pictures (poppler's pdftoppm), at 72 dots per inch.
QList<QImage> pdfImages(const QString &pdf) {
    QList<QImage> images;
    const QString prefix = pdf + QStringLiteral("-page");
    if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"),
                                                       QStringLiteral("-png"), pdf, prefix}) != 0)
        return images;
    QDir dir(QFileInfo(pdf).absolutePath());
    const QStringList files =
        dir.entryList({QFileInfo(prefix).fileName() + QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        images << QImage(dir.filePath(f));
    return images;
}

QList<const Word *> find(const Page &page, const QString &text) {
    QList<const Word *> found;
    for (const Word &w : page)
        if (w.text == text) found << &w;
    return found;
}

bool has(const Page &page, const QString &text) {
    return !find(page, text).isEmpty();
}

// Fraction of dark pixels in a rectangle given in millimetres.
double darkness(const QImage &img, QRectF mm) {
    const double px = img.width() / 210.0;
    const QRect r(qRound(mm.left() * px), qRound(mm.top() * px), qRound(mm.width() * px),
                  qRound(mm.height() * px));
    int dark = 0, all = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x, ++all)
            if (qGray(img.pixel(x, y)) < 96) ++dark;
    return all ? double(dark) / all : 0;
}

QString number3(int n) {
    return QString::number(n).rightJustified(3, u'0');
}

} // namespace

// The sales report: written to PDF, then read back as words and pictures by poppler's tools.
class TestSalesReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void bandsAndColumns_data();
    void bandsAndColumns();
    void emptyListingStillHasAPage();
    void printedFromTheListing();

private:
    QString pdfPath(const QString &name) { return inst->file(name + QStringLiteral(".pdf")); }
    std::unique_ptr<TestInstallation> inst;
};

void TestSalesReport::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
}

void TestSalesReport::bandsAndColumns_data() {
    QTest::addColumn<QString>("filterLabel");
    QTest::addColumn<QString>("filterValue");
    QTest::newRow("unfiltered") << ""
                                << "";
    QTest::newRow("city") << "Cidade:"
                          << "SÃO PAULO";
    QTest::newRow("seller") << "Vendedor:"
                            << "12-JOSE SOUZA";
}

void TestSalesReport::bandsAndColumns() {
    QFETCH(QString, filterLabel);
    QFETCH(QString, filterValue);
    const int rows = 200;
    TQRY_REL_VENDAS report(
        rows,
        [](int row) -> std::optional<SalesReportRow> {
            return SalesReportRow{row + 1, QStringLiteral("Sim"), row == 5 ? 1234.5 : 10.0,
                                  QStringLiteral("COMPRADOR %1").arg(row + 1)};
        },
        3);
    if (!filterLabel.isEmpty()) report.setFilter(filterLabel, filterValue);
    report.QRL_Titulo = QStringLiteral("RIFA DO CARRO");
    report.QRL_TotalBilhete = QStringLiteral("200");
    report.QRL_TotalPago = QStringLiteral("R$ 3.224,50");
    const QString path = pdfPath(QStringLiteral("bands-") + QTest::currentDataTag());
    QVERIFY(PageOutput::writePdf(report, path));

    const QList<Page> pages = pdfWords(path);
    QCOMPARE(pages.size(), 3);
    QCOMPARE(report.pageCount(), 3);
    const Page &first = pages.first();
    // Title band, then the raffle's name, then the headings, then the first row.
    QCOMPARE(find(first, QStringLiteral("RELATÓRIO")).size(), 1);
    const double titleY = find(first, QStringLiteral("RELATÓRIO")).first()->y;
    QVERIFY(find(first, QStringLiteral("CARRO")).first()->y > titleY);
    const QList<const Word *> headings = find(first, QStringLiteral("Bilhete"));
    QCOMPARE(headings.size(), filterLabel.isEmpty() ? 2 : 3); // the second title adds one over column 2
    QVERIFY(headings.first()->y > find(first, QStringLiteral("CARRO")).first()->y);
    const Word *row1 = find(first, QStringLiteral("001")).first();
    for (const Word *h : headings)
        QVERIFY(h->y < row1->y);
    QVERIFY(has(first, QStringLiteral("1.234,50")));

    // Two columns on a full page: the left one runs down from 001, the right one goes on from there.
    const double middle = 595.0 / 2;
    int left = 0;
    while (has(first, number3(left + 1)) && find(first, number3(left + 1)).first()->x < middle)
        ++left;
    QVERIFY2(left >= 40, qPrintable(QString::number(left)));
    const Word *right1 = find(first, number3(left + 1)).first();
    QVERIFY(right1->x > middle);
    QCOMPARE(qRound(right1->y), qRound(row1->y));
    QVERIFY(has(first, number3(2 * left)));
    QVERIFY(!has(first, number3(2 * left + 1)));
    QVERIFY(find(pages[1], number3(2 * left + 1)).first()->x < middle);

    for (int p = 0; p < 3; ++p) {
        const Page &page = pages[p];
        if (p > 0) QVERIFY(!has(page, QStringLiteral("RELATÓRIO")));
        if (p > 0) QCOMPARE(find(page, QStringLiteral("Bilhete")).size(), 2);
        // Footer: page number, and the filter line only for a city or a seller.
        const auto label = find(page, QStringLiteral("Página:"));
        QCOMPARE(label.size(), 1);
        const auto number = find(page, QString::number(p + 1));
        QVERIFY(std::any_of(number.begin(), number.end(), [&](const Word *w) {
            return qAbs(w->y - label.first()->y) < 2 && w->x > label.first()->x;
        }));
        QVERIFY(has(page, QStringLiteral("Korvante")));
        QCOMPARE(has(page, QStringLiteral("Cidade:")), filterLabel == u"Cidade:");
        QCOMPARE(has(page, QStringLiteral("Vendedor:")), filterLabel == u"Vendedor:");
        if (!filterLabel.isEmpty()) {
            const Word *l = find(page, filterLabel).first();
            for (const QString &part : filterValue.split(u' ')) {
                const auto value = find(page, part);
                QVERIFY2(!value.isEmpty(), qPrintable(part));
                QCOMPARE(qRound(value.last()->y), qRound(l->y));
            }
            QVERIFY(l->y > 780); // at the foot of the page
        }
        QCOMPARE(has(page, QStringLiteral("Total...:")), p == 2);
    }
    // Summary after the last row, with the count and the amount.
    const Page &last = pages[2];
    const Word *total = find(last, QStringLiteral("Total...:")).first();
    double lowestRow = 0;
    const double leftNumbers = 11 * 72 / 25.4, rightNumbers = 106 * 72 / 25.4; // points
    for (const Word &w : last)
        if ((qAbs(w.x - leftNumbers) < 6 || qAbs(w.x - rightNumbers) < 6) && w.text.toInt() > 0)
            lowestRow = qMax(lowestRow, w.y);
    QVERIFY(lowestRow > 0);
    QVERIFY(total->y > lowestRow);
    QVERIFY(std::any_of(last.begin(), last.end(),
                        [&](const Word &w) { return w.text == u"200" && qAbs(w.y - total->y) < 2; }));
    QVERIFY(std::any_of(last.begin(), last.end(),
                        [&](const Word &w) { return w.text == u"3.224,50" && qAbs(w.y - total->y) < 2; }));

    // Pixels: the black title bar only at the top of the first page.
    const QList<QImage> images = pdfImages(path);
    QCOMPARE(images.size(), 3);
    // Where the bar meets no heading on the other pages: between the two columns' headings.
    const QRectF bar(88, 11, 15, 4);
    QVERIFY2(darkness(images[0], bar) > 0.5, qPrintable(QString::number(darkness(images[0], bar))));
    QVERIFY2(darkness(images[1], bar) < 0.05, qPrintable(QString::number(darkness(images[1], bar))));
    QVERIFY(darkness(images[2], bar) < 0.05);
}

void TestSalesReport::emptyListingStillHasAPage() {
    TQRY_REL_VENDAS report(0, {}, 4);
    report.QRL_Titulo = QStringLiteral("RIFA VAZIA");
    report.QRL_TotalBilhete = QStringLiteral("0");
    report.QRL_TotalPago = QStringLiteral("R$ 0,00");
    const QString path = pdfPath(QStringLiteral("empty"));
    QVERIFY(PageOutput::writePdf(report, path));
    const QList<Page> pages = pdfWords(path);
    QCOMPARE(pages.size(), 1);
    const Page &p = pages.first();
    for (const char *word : {"RELATÓRIO", "VAZIA", "Bilhete", "Pagou", "Valor", "Comprador",
                             "Total...:", "0,00", "Página:", "Korvante", "2.0"})
        QVERIFY2(has(p, QString::fromUtf8(word)), word);
    const Word *total = find(p, QStringLiteral("Total...:")).first();
    QVERIFY(std::any_of(p.begin(), p.end(),
                        [&](const Word &w) { return w.text == u"0" && qAbs(w.y - total->y) < 2; }));
    QVERIFY(total->y > find(p, QStringLiteral("Comprador")).first()->y);
}

// The whole road: list, filter by seller, print, save the PDF from the preview.
void TestSalesReport::printedFromTheListing() {
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(inst->exec(
        QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (12, 'JOSE SOUZA')")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
    for (int t : {3, 4, 7}) {
        QVERIFY(inst->exec(
            QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                           "DATA_VAL, COD_VENDEDOR, NOMECOMP) VALUES (1, ?, ?, 'Sim', ?, ?, ?)"),
            {t, t == 4 ? 1234.5 : 10.0, QDate(2026, 12, 1), t == 7 ? QVariant() : QVariant(12),
             QStringLiteral("CLIENTE %1").arg(t)}));
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=?"), {t}));
    }
    TForm_Validacao form(inst->context());
    form.setEvento(QStringLiteral("RIFA DO CARRO"));
    form.setValor(10);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto click = [&](const char *name) {
        QTest::mouseClick(form.findChild<QWidget *>(name), Qt::LeftButton);
    };

    click("Btn_ver");
    click("Button3");
    click("Button2");
    QTest::keyClicks(form.findChild<QWidget *>("cmb_PesqValidada"), QStringLiteral("V"));
    QTest::keyClicks(form.findChild<QWidget *>("cmb_vendedor"), QStringLiteral("1"));
    click("BitBtn1");
    QCOMPARE(form.findChild<QLabel *>("Lbl_TotalVend")->text(), QStringLiteral("R$ 1.244,50"));

    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Visualizar"), [](QWidget *preview) {
        WindowWatcher::click(preview, QStringLiteral("BTN_SalvarPDF"));
        WindowWatcher::click(preview, QStringLiteral("BTN_Fechar"));
    });
    const QString filtered = pdfPath(QStringLiteral("filtered"));
    inst->dialogs.expectFileChoice(QStringLiteral("save"), filtered);
    click("img_imprmirValidadas");
    QCOMPARE(watcher.shown(QStringLiteral("TForm_Visualizar")), 1);
    QVERIFY(inst->dialogs.scriptDone());
    QList<Page> pages = pdfWords(filtered);
    QCOMPARE(pages.size(), 1);
    Page p = pages.first();
    for (const char *word : {"RELATÓRIO", "CARRO", "03", "04", "1.234,50", "CLIENTE", "Vendedor:", "12-JOSE",
                             "SOUZA", "R$", "1.244,50", "Página:"})
        QVERIFY2(has(p, QString::fromUtf8(word)), word);
    QVERIFY(!has(p, QStringLiteral("07")));
    const Word *total = find(p, QStringLiteral("Total...:")).first();
    QVERIFY(std::any_of(p.begin(), p.end(),
                        [&](const Word &w) { return w.text == u"2" && qAbs(w.y - total->y) < 2; }));

    // Listed again without a filter: the printout names no filter.
    click("Btn_ver");
    click("Button3");
    const QString all = pdfPath(QStringLiteral("all"));
    inst->dialogs.expectFileChoice(QStringLiteral("save"), all);
    click("img_imprmirValidadas");
    pages = pdfWords(all);
    QCOMPARE(pages.size(), 1);
    p = pages.first();
    QVERIFY(has(p, QStringLiteral("07")));
    QVERIFY(!has(p, QStringLiteral("Vendedor:")));
    QCOMPARE(find(p, QStringLiteral("Bilhete")).size(), 2);
}

KORVANTE_TEST(TestSalesReport)
#include "TestSalesReport.moc"
