#include "data/TDM.h"
#include "layout/TForm_pos.h"
#include "layout/TicketPictures.h"
#include "mainwindow/TForm_RIFA.h"
#include "support/LayoutCheck.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"
#include "whatsapp/TForm_Whats.h"
#include "whatsapp/TicketPictureName.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrlQuery>

namespace {

// Receives what the program asks the desktop to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

double meanDifference(const QImage &a, const QImage &b) {
    if (a.size() != b.size()) return 255;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (3.0 * a.width() * a.height());
}

QByteArray jpegOf(const QImage &img) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpg").write(img);
    return bytes;
}

} // namespace

// Ticket pictures made from the designer and the window that hands them to WhatsApp Web.
class TestWhatsApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    void init();
    void cleanup();
    void oneTicketPictureBesideTheSalesPages();
    void rangeMustBeOneTicketAsTyped();
    void groupGivesOnePicturePerTicket();
    void secondStepRemovesTheFirstPictures();
    void codeOnlyWhereTheLayoutUsesIt_data();
    void codeOnlyWhereTheLayoutUsesIt();
    void tenNumbersMakeTwoLines();
    void phoneSplit_data();
    void phoneSplit();
    void copyingMarksTheEntryAndPutsTheFileOnTheClipboard();
    void numbersText_data();
    void numbersText();
    void chatAddressAndItsRefusals();
    void closingAsksUnlessSomethingWasDone_data();
    void closingAsksUnlessSomethingWasDone();
    void designerAndMenuComeBackAfterSending_data();
    void designerAndMenuComeBackAfterSending();
    void phoneIsTheBuyersOwn_data();
    void phoneIsTheBuyersOwn();
    void everyControlShowsWhole_data();
    void everyControlShowsWhole();
    void previewShowsTheWholePicture();

private:
    QString folder() const { return inst->file(QStringLiteral("RifaWhatsApp")); }
    QStringList pictures() const {
        return QDir(folder()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }
    void validate(int ticket, const QString &code, const QString &phone = {});
    void setUpLayout(const QString &usarAutentic = QStringLiteral("S"));
    void openDesigner(const QString &usarAutentic = QStringLiteral("S"));
    // Types DE and ATÉ, clicks the WhatsApp button and runs what the sending window then shows.
    void sendFromDesigner(const QString &de, const QString &ate,
                          const std::function<void(TForm_Whats *)> &inWindow);
    std::unique_ptr<TForm_Whats> openWindow(QList<int> tickets, const QStringList &lines = {});
    void typeInto(QLineEdit *edit, const QString &text);

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_pos> designer;
    OpenedUrls opened;
};

void TestWhatsApp::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    for (int t = 1; t <= 20; ++t)
        QVERIFY(inst->exec(
            QStringLiteral("INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (?, ?, ?, ?, ?)"),
            {t, t * 4 - 4, t * 4 - 3, 5000 + t, 9999 - t}));
    for (int t = 1; t <= 3; ++t) {
        QVariantList v{t};
        for (int i = 1; i <= 10; ++i)
            v << t * 100 + i;
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO BS10_M (NUMBILHETE,N1,N2,N3,N4,N5,N6,N7,N8,N9,N10) "
                                          "VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                           v));
    }
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &opened, "open");
}

void TestWhatsApp::init() {
    inst->dialogs.clear();
    opened.urls.clear();
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    inst->raffle = WorkingRaffle{};
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.MaiorNumero = 9999;
    inst->raffle.QtNumBilhete = 4;
    inst->raffle.TabelaBaseUsar = QStringLiteral("BS4_D");
    inst->raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    inst->raffle.LinkSorteio = QStringLiteral("https://instagram.com/rifa");
    QGuiApplication::clipboard()->clear();
}

void TestWhatsApp::cleanup() {
    designer.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

void TestWhatsApp::validate(int ticket, const QString &code, const QString &phone) {
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                  "AUT_DIGITAL_VAL, DATA_VAL, FONECOMP) VALUES (1, ?, 10, 'Sim', ?, ?, ?)"),
                   {ticket, code, QDate(2026, 12, 10), phone.isEmpty() ? QVariant() : QVariant(phone)}));
}

void TestWhatsApp::setUpLayout(const QString &usarAutentic) {
    // A 100 x 50 mm ticket: an outline of 378 x 189 pixels.
    QVERIFY(inst->exec(
        QStringLiteral("UPDATE CADASTRO SET MODALIDADE=?, USAR_QT_NUM=?, DIM_BILHETE_COMP=100, "
                       "DIM_BILHETE_ALT=50, USAR_NUM_ID_BILHETE=1, USAR_AUTENTIC=?, "
                       "POS_COD_AUTENTIC_L=60, POS_COD_AUTENTIC_T=60 WHERE CODRIFA=1"),
        {inst->raffle.MaiorNumero == 999 ? QStringLiteral("000 - 999") : QStringLiteral("0000 - 9999"),
         QStringLiteral("%1 Números").arg(inst->raffle.QtNumBilhete), usarAutentic}));
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(1, &error), qPrintable(error));
}

void TestWhatsApp::openDesigner(const QString &usarAutentic) {
    setUpLayout(usarAutentic);
    designer = std::make_unique<TForm_pos>(inst->context());
    designer->show();
    QVERIFY(QTest::qWaitForWindowExposed(designer.get()));
    designer->findChild<QToolButton *>(QStringLiteral("BOTAO_IMPRIMIR"))->click();
}

void TestWhatsApp::typeInto(QLineEdit *edit, const QString &text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_End);
    while (!edit->text().isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void TestWhatsApp::sendFromDesigner(const QString &de, const QString &ate,
                                    const std::function<void(TForm_Whats *)> &inWindow) {
    typeInto(designer->Edit_DE, de);
    typeInto(designer->Edit_ATE, ate);
    bool shown = false;
    // The window is caught when it shows: the progress of the queueing runs events before that.
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Whats"), [&](QWidget *w) {
        auto *whats = qobject_cast<TForm_Whats *>(w);
        shown = true;
        inWindow(whats);
        // Leaves without asking: something was done.
        QTest::mouseClick(whats->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
        whats->close();
    });
    QTest::mouseClick(designer->findChild<QToolButton *>(QStringLiteral("img_whats")), Qt::LeftButton);
    QVERIFY(shown);
}

std::unique_ptr<TForm_Whats> TestWhatsApp::openWindow(QList<int> tickets, const QStringList &lines) {
    QString error;
    TicketPictures::clearFolder(folder(), &error);
    for (int n : tickets) {
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::green);
        img.save(QDir(folder()).filePath(TicketPictureName::fileName(n, 4)));
    }
    auto w = std::make_unique<TForm_Whats>(inst->context(), tickets, 4);
    w->setNumberLines(lines, lines);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning() << "window not active";
    return w;
}

void TestWhatsApp::oneTicketPictureBesideTheSalesPages() {
    QDir().mkpath(folder() + QStringLiteral("/HTML"));
    for (const QString &name :
         {QStringLiteral("RifaWhatsApp/velho.jpg"), QStringLiteral("RifaWhatsApp/notas.txt"),
          QStringLiteral("RifaWhatsApp/HTML/vendorifas.html")}) {
        QFile f(inst->file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    validate(5, QStringLiteral("AB3$K9xZq"));
    openDesigner();
    QStringList lines1, lines2;
    sendFromDesigner(QStringLiteral("5"), QStringLiteral("5"), [&](TForm_Whats *w) {
        lines1 =
            w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_NumBilhete1"))->toPlainText().split(u'\n');
        lines2 =
            w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_NumBilhete2"))->toPlainText().split(u'\n');
        QCOMPARE(w->findChild<QListWidget *>(QStringLiteral("List_IMG"))->item(0)->text(),
                 QStringLiteral("Bilhete_0005"));
    });
    QCOMPARE(pictures(), QStringList{QStringLiteral("Bilhete_0005.jpg")});
    QVERIFY(!QFile::exists(inst->file(QStringLiteral("RifaWhatsApp/notas.txt"))));
    QVERIFY(QFile::exists(inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"))));
    QCOMPARE(lines1, QStringList({QStringLiteral("*C-0005*"), QStringLiteral("0016-0017-5005-9994")}));
    QCOMPARE(lines2, QStringList({QStringLiteral("*C-0005* [ Aut. AB3$K9xZq ]"),
                                  QStringLiteral("0016-0017-5005-9994")}));
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0); // back to 0 once the window closed
    QVERIFY(designer->isVisible());                 // shown again

    // The picture: the printed sheet's top-left region, 431 x 242 for a 378 x 189 ticket.
    const QImage picture(QDir(folder()).filePath(QStringLiteral("Bilhete_0005.jpg")));
    QCOMPARE(picture.size(), QSize(431, 242));
    TicketLayout layout;
    layout.load(inst->tdm->CDS_RIfaUSar.record(0), inst->raffle.QtNumBilhete);
    TicketSheet sheet(layout, 4, true);
    QueuedTicket t{5, {16, 17, 5005, 9994}, QStringLiteral("AB3$K9xZq")};
    sheet.setTickets({t});
    const QImage printed = sheet.pageImage(0).copy(QRect(QPoint(0, 0), picture.size()));
    QVERIFY2(
        meanDifference(picture.convertToFormat(QImage::Format_RGB32), printed) < 3.0,
        qPrintable(QString::number(meanDifference(picture.convertToFormat(QImage::Format_RGB32), printed))));
}

void TestWhatsApp::rangeMustBeOneTicketAsTyped() {
    openDesigner();
    inst->dialogs.expectMessage(
        QStringLiteral(
            "Só é permitido enviar 1 Bilhete por vez fazendo dessa forma. Para enviar mais que um, vá na "
            "Guia VALIDAÇÃO e na Lista de Validadas, agrupe os Bilhetes(botão direito neles ) e Envie por "
            "lá!"),
        BoxIcon::Warning, QStringLiteral("Korvante"));
    typeInto(designer->Edit_DE, QStringLiteral("5"));
    typeInto(designer->Edit_ATE, QStringLiteral("05"));
    QString error;
    TicketPictures::clearFolder(folder(), &error);
    QTest::mouseClick(designer->findChild<QToolButton *>(QStringLiteral("img_whats")), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(QApplication::focusWidget(), designer->Edit_DE);
    QVERIFY(pictures().isEmpty());
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0);
}

void TestWhatsApp::groupGivesOnePicturePerTicket() {
    for (int t : {3, 7, 9})
        validate(t, QStringLiteral("CODE%1XXXX").arg(t));
    openDesigner();
    inst->raffle.QtBilhetesEnvio = 3;
    designer->setSendList({QStringLiteral("9"), QStringLiteral("3"), QStringLiteral("7")});
    QStringList entries, lines;
    sendFromDesigner(QStringLiteral("1"), QStringLiteral("1"), [&](TForm_Whats *w) {
        auto *list = w->findChild<QListWidget *>(QStringLiteral("List_IMG"));
        for (int i = 0; i < list->count(); ++i)
            entries << list->item(i)->text();
        lines =
            w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_NumBilhete2"))->toPlainText().split(u'\n');
    });
    QCOMPARE(entries, QStringList({"Bilhete_0003", "Bilhete_0007", "Bilhete_0009"}));
    QCOMPARE(pictures(), QStringList({"Bilhete_0003.jpg", "Bilhete_0007.jpg", "Bilhete_0009.jpg"}));
    // The lines follow the send list.
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("*C-0009* [ Aut. CODE9XXXX ]"));
    QCOMPARE(lines[2], QStringLiteral("*C-0003* [ Aut. CODE3XXXX ]"));
    QCOMPARE(lines[4], QStringLiteral("*C-0007* [ Aut. CODE7XXXX ]"));
    // Each picture shows its own ticket only.
    TicketLayout layout;
    layout.load(inst->tdm->CDS_RIfaUSar.record(0), inst->raffle.QtNumBilhete);
    for (int t : {3, 7, 9}) {
        QueuedTicket ticket{
            t, {t * 4 - 4, t * 4 - 3, 5000 + t, 9999 - t}, QStringLiteral("CODE%1XXXX").arg(t)};
        const QImage expected = TicketPictures::picture(layout, 4, ticket);
        const QImage written = QImage(QDir(folder()).filePath(TicketPictureName::fileName(t, 4)))
                                   .convertToFormat(QImage::Format_RGB32);
        QVERIFY(meanDifference(written, expected) < 3.0);
    }
}

void TestWhatsApp::secondStepRemovesTheFirstPictures() {
    openDesigner();
    sendFromDesigner(QStringLiteral("5"), QStringLiteral("5"), [](TForm_Whats *) {});
    QCOMPARE(pictures(), QStringList{QStringLiteral("Bilhete_0005.jpg")});
    sendFromDesigner(QStringLiteral("6"), QStringLiteral("6"), [](TForm_Whats *) {});
    QCOMPARE(pictures(), QStringList{QStringLiteral("Bilhete_0006.jpg")});
}

void TestWhatsApp::codeOnlyWhereTheLayoutUsesIt_data() {
    QTest::addColumn<QString>("usarAutentic");
    QTest::addColumn<bool>("validated");
    QTest::addColumn<bool>("codeDrawn");
    QTest::newRow("used") << "S" << true << true;
    QTest::newRow("not used") << "N" << true << false;
    QTest::newRow("ticket not validated") << "S" << false << false;
}

void TestWhatsApp::codeOnlyWhereTheLayoutUsesIt() {
    QFETCH(QString, usarAutentic);
    QFETCH(bool, validated);
    QFETCH(bool, codeDrawn);
    if (validated) validate(8, QStringLiteral("QWERTYUIO"));
    openDesigner(usarAutentic);
    QString line;
    sendFromDesigner(QStringLiteral("8"), QStringLiteral("8"), [&](TForm_Whats *w) {
        line = w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_NumBilhete2"))
                   ->toPlainText()
                   .section(u'\n', 0, 0);
    });
    QCOMPARE(line, validated ? QStringLiteral("*C-0008* [ Aut. QWERTYUIO ]")
                             : QStringLiteral("*C-0008* [ Aut.  ]"));
    TicketLayout layout;
    layout.load(inst->tdm->CDS_RIfaUSar.record(0), inst->raffle.QtNumBilhete);
    const QueuedTicket noCode{8, {28, 29, 5008, 9991}, QString()};
    QByteArray file;
    {
        QFile f(QDir(folder()).filePath(QStringLiteral("Bilhete_0008.jpg")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        file = f.readAll();
    }
    // Without the code the file is exactly the picture of the ticket with no code.
    QCOMPARE(file == jpegOf(TicketPictures::picture(layout, 4, noCode)), !codeDrawn);
}

void TestWhatsApp::tenNumbersMakeTwoLines() {
    const QueuedTicket t{2, {201, 202, 203, 204, 205, 206, 207, 208, 209, 210}, QStringLiteral("X")};
    const auto lines = TicketPictures::MostrarNumMemo({t}, 3, 10);
    QCOMPARE(lines.withoutCode, QStringList({"*C-002*", "201-202-203-204-205", "206-207-208-209-210"}));
    QCOMPARE(lines.withCode.first(), QStringLiteral("*C-002* [ Aut. X ]"));
}

void TestWhatsApp::phoneSplit_data() {
    QTest::addColumn<QString>("fone");
    QTest::addColumn<QString>("ddd");
    QTest::addColumn<QString>("phone");
    QTest::newRow("DDD and mobile") << "11987654321"
                                    << "11"
                                    << "987654321";
    QTest::newRow("nine characters") << "987654321"
                                     << ""
                                     << "987654321";
}

void TestWhatsApp::phoneSplit() {
    QFETCH(QString, fone);
    QFETCH(QString, ddd);
    QFETCH(QString, phone);
    inst->raffle.FoneEnvio = fone;
    auto w = openWindow({5});
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("Ed_DDD"))->text(), ddd);
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("Ed_telefone"))->text(), phone);
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("ED_LINK"))->text(),
             QStringLiteral("https://instagram.com/rifa"));
    QCOMPARE(w->width(), 720);
    inst->dialogs.setLenient(true);
    inst->dialogs.expectQuestion(QString(), true);
    w->close();
}

void TestWhatsApp::copyingMarksTheEntryAndPutsTheFileOnTheClipboard() {
    auto w = openWindow({12, 3, 7});
    auto *list = w->findChild<QListWidget *>(QStringLiteral("List_IMG"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("Bilhete_0003"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    auto *copy = w->findChild<QPushButton *>(QStringLiteral("Button1"));
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(copy, Qt::LeftButton);
        QStringList texts;
        for (int r = 0; r < list->count(); ++r)
            texts << list->item(r)->text();
        QCOMPARE(texts, QStringList({"Bilhete_0003", "Bilhete_0007-OK", "Bilhete_0012"}));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        const QUrl file =
            QUrl::fromLocalFile(QDir(folder()).absoluteFilePath(QStringLiteral("Bilhete_0007.jpg")));
        QCOMPARE(data->urls(), QList<QUrl>{file});
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")), "copy\n" + file.toEncoded());
    }
    w->close(); // a copy was made: no question
    QVERIFY(!w->isVisible());
}

void TestWhatsApp::numbersText_data() {
    QTest::addColumn<bool>("withCode");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("text");
    QTest::newRow("numbers and link")
        << false << "https://instagram.com/rifa"
        << "`BILHETES CONFIRMADOS`\r\n*C-0005*\r\n0016-0017-5005-9994\r\n \r\n*Resultado/Transmissao:*\r\n"
           "https://instagram.com/rifa";
    QTest::newRow("with codes, no link")
        << true << ""
        << "`BILHETES CONFIRMADOS`\r\n*C-0005* [ Aut. ABC ]\r\n0016-0017-5005-9994";
}

void TestWhatsApp::numbersText() {
    QFETCH(bool, withCode);
    QFETCH(QString, link);
    QFETCH(QString, text);
    inst->raffle.LinkSorteio = link;
    auto w = openWindow({5});
    w->setNumberLines({"*C-0005*", "0016-0017-5005-9994"}, {"*C-0005* [ Aut. ABC ]", "0016-0017-5005-9994"});
    if (withCode)
        QTest::mouseClick(w->findChild<QCheckBox *>(QStringLiteral("Check_autentica")), Qt::LeftButton);
    QCOMPARE(w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_NumBilhete2"))->isVisible(), withCode);
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
    QTRY_VERIFY(w->findChild<QWidget *>(QStringLiteral("LBL_AvisoCopiar"))->isVisible());
    w->close();
    QVERIFY(!w->isVisible());
}

void TestWhatsApp::chatAddressAndItsRefusals() {
    auto w = openWindow({5});
    auto *ddd = w->findChild<QLineEdit *>(QStringLiteral("Ed_DDD"));
    auto *phone = w->findChild<QLineEdit *>(QStringLiteral("Ed_telefone"));
    auto *chat = w->findChild<QToolButton *>(QStringLiteral("img_whats"));
    inst->dialogs.expectMessage(QStringLiteral("Favor informe o DDD"), BoxIcon::Warning);
    QTest::mouseClick(chat, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), ddd);
    QTest::keyClicks(ddd, QStringLiteral("1a9"));
    QCOMPARE(ddd->text(), QStringLiteral("19"));
    inst->dialogs.expectMessage(QStringLiteral("Favor informe o Nº do Telefone"), BoxIcon::Warning);
    QTest::mouseClick(chat, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), phone);
    QVERIFY(opened.urls.isEmpty());
    QTest::keyClicks(phone, QStringLiteral("99876-5432"));
    QCOMPARE(phone->text(), QStringLiteral("998765432"));
    QTest::keyClick(phone, Qt::Key_Return); // Enter opens the chat too
    QCOMPARE(opened.urls.size(), 1);
    const QUrl url = opened.urls.first();
    QCOMPARE(url.scheme() + QStringLiteral("://") + url.host() + url.path(),
             QStringLiteral("https://api.whatsapp.com/send"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("phone")), QStringLiteral("5519998765432"));
    QCOMPARE(query.queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded), TForm_Whats::chatMessage());
    QCOMPARE(TForm_Whats::chatMessage(),
             QStringLiteral("Segue Imagem Autenticada do(s) Bilhete(s) Comprado(s). Desde já muito Grato!"));
    // The one picture is on the clipboard, ready for Ctrl+V in the chat.
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->urls(),
             QList<QUrl>{
                 QUrl::fromLocalFile(QDir(folder()).absoluteFilePath(QStringLiteral("Bilhete_0005.jpg")))});
    // F10 shows the country code, which then goes first.
    QTest::keyClick(phone, Qt::Key_F10);
    auto *country = w->findChild<QLineEdit *>(QStringLiteral("Ed_CodPais"));
    QVERIFY(country->isVisible());
    country->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(country, Qt::Key_Backspace);
    QTest::keyClick(country, Qt::Key_Backspace);
    QTest::keyClicks(country, QStringLiteral("351"));
    QTest::mouseClick(chat, Qt::LeftButton);
    QCOMPARE(QUrlQuery(opened.urls.last()).queryItemValue(QStringLiteral("phone")),
             QStringLiteral("35119998765432"));
    w->close();
}

void TestWhatsApp::closingAsksUnlessSomethingWasDone_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("asks");
    QTest::newRow("nothing done") << "" << true;
    QTest::newRow("link copied only") << "Button2" << true;
    QTest::newRow("picture copied") << "Button1" << false;
}

void TestWhatsApp::closingAsksUnlessSomethingWasDone() {
    QFETCH(QString, action);
    QFETCH(bool, asks);
    inst->raffle.QtBilhetesEnvio = 1;
    auto w = openWindow({5});
    if (!action.isEmpty()) QTest::mouseClick(w->findChild<QPushButton *>(action), Qt::LeftButton);
    const QString question =
        QStringLiteral("Você não não Tomou alguma Ação nessa Tela, como COPIAR e COLAR no WhatsApp "
                       "do Comprador. Realmente deseja Fechar essa tela?");
    if (asks) {
        inst->dialogs.expectQuestion(question, false);
        w->close();
        QVERIFY(w->isVisible());
        inst->dialogs.expectQuestion(question, true);
    }
    w->close();
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(!w->isVisible());
    QCOMPARE(int(inst->raffle.QtBilhetesEnvio), 0);
    QVERIFY(w->findChild<QLineEdit *>(QStringLiteral("Ed_telefone"))->text().isEmpty());
}

void TestWhatsApp::designerAndMenuComeBackAfterSending_data() {
    QTest::addColumn<bool>("copyFirst");
    QTest::newRow("after COPIAR SÓ NÚMEROS") << true;
    QTest::newRow("answering Sim") << false;
}

// The designer opened from the menu sends one ticket; once the sending window closes, the designer
// and the menu are back and keep answering.
void TestWhatsApp::designerAndMenuComeBackAfterSending() {
    QFETCH(bool, copyFirst);
    validate(5, QStringLiteral("AB3$K9xZq"), QStringLiteral("11987654321"));
    setUpLayout();
    TForm_RIFA menu(inst->services());
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Usar"),
               [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QTRY_COMPARE(watcher.shown(QStringLiteral("TForm_Usar")), 1);
    menu.raffle() = inst->raffle;

    bool asideWhileSending = false, designerStayed = false, sent = false;
    watcher.on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        if (std::exchange(sent, true)) return; // shown again after the sending
        auto *pos = qobject_cast<TForm_pos *>(w);
        QTest::mouseClick(pos->findChild<QToolButton *>(QStringLiteral("BOTAO_IMPRIMIR")), Qt::LeftButton);
        typeInto(pos->Edit_DE, QStringLiteral("5"));
        typeInto(pos->Edit_ATE, QStringLiteral("5"));
        QTest::mouseClick(pos->findChild<QToolButton *>(QStringLiteral("img_whats")), Qt::LeftButton);
        // Still open once its own loop runs again.
        QTimer::singleShot(200, pos, [&, pos] {
            designerStayed = pos->isVisible() && QApplication::activeModalWidget() == pos;
            QTest::keyClick(pos, Qt::Key_Escape);
        });
    });
    watcher.on(QStringLiteral("TForm_Whats"), [&](QWidget *w) {
        asideWhileSending = !menu.isVisible() && QApplication::activeModalWidget() == w;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == u"TForm_pos") asideWhileSending &= !top->isVisible();
        if (copyFirst)
            QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
        else
            inst->dialogs.expectQuestion(
                QStringLiteral("Você não não Tomou alguma Ação nessa Tela, como COPIAR e COLAR no WhatsApp "
                               "do Comprador. Realmente deseja Fechar essa tela?"),
                true);
        w->close();
    });
    auto *person = menu.findChild<QWidget *>(QStringLiteral("Img_Person"));
    QTest::mouseClick(person, Qt::LeftButton, {}, person->rect().center());
    QCOMPARE(watcher.shown(QStringLiteral("TForm_Whats")), 1);
    QVERIFY(asideWhileSending);
    QVERIFY(designerStayed);
    QVERIFY(menu.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    // The menu answers a click: the sellers' window opens and closes.
    watcher.on(QStringLiteral("TForm_vendedor"), [](QWidget *w) { w->close(); });
    auto *sellers = menu.findChild<QWidget *>(QStringLiteral("Img_Vendedor"));
    QTest::mouseClick(sellers, Qt::LeftButton, {}, sellers->rect().center());
    QCOMPARE(watcher.shown(QStringLiteral("TForm_vendedor")), 1);
}

void TestWhatsApp::phoneIsTheBuyersOwn_data() {
    QTest::addColumn<QStringList>("phones"); // of tickets 3, 7 and 9
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("ddd");
    QTest::addColumn<QString>("phone");
    QTest::newRow("one ticket with its phone") << QStringList{"11987654321", "", ""} << QStringList{"3"} << "11"
                                               << "987654321";
    QTest::newRow("one ticket without a phone") << QStringList{"", "", ""} << QStringList{"3"} << ""
                                                << "";
    QTest::newRow("group of one buyer") << QStringList{"21912345678", "21912345678", "21912345678"}
                                        << QStringList{"9", "3", "7"} << "21"
                                        << "912345678";
    QTest::newRow("group of two buyers") << QStringList{"21912345678", "31955554444", "21912345678"}
                                         << QStringList{"9", "3", "7"} << ""
                                         << "";
    QTest::newRow("group with one phone missing") << QStringList{"21912345678", "", "21912345678"}
                                                  << QStringList{"9", "3", "7"} << ""
                                                  << "";
}

// Whatever an earlier sending left, the phone fields show the buyers' own phone or nothing.
void TestWhatsApp::phoneIsTheBuyersOwn() {
    QFETCH(QStringList, phones);
    QFETCH(QStringList, sent);
    QFETCH(QString, ddd);
    QFETCH(QString, phone);
    const QList<int> tickets{3, 7, 9};
    for (int i = 0; i < tickets.size(); ++i)
        validate(tickets[i], QStringLiteral("CODE%1XXXX").arg(tickets[i]), phones[i]);
    openDesigner();
    inst->raffle.FoneEnvio = QStringLiteral("13966665555"); // the buyer of an earlier group
    QString shownDdd, shownPhone;
    auto read = [&](TForm_Whats *w) {
        shownDdd = w->findChild<QLineEdit *>(QStringLiteral("Ed_DDD"))->text();
        shownPhone = w->findChild<QLineEdit *>(QStringLiteral("Ed_telefone"))->text();
    };
    if (sent.size() > 1) {
        inst->raffle.QtBilhetesEnvio = quint8(sent.size());
        designer->setSendList(sent);
        sendFromDesigner(QStringLiteral("1"), QStringLiteral("1"), read);
    } else {
        sendFromDesigner(sent.first(), sent.first(), read);
    }
    QCOMPARE(shownDdd, ddd);
    QCOMPARE(shownPhone, phone);
    QVERIFY(inst->raffle.FoneEnvio.isEmpty()); // nothing left for the next sending
}

void TestWhatsApp::everyControlShowsWhole_data() {
    QTest::addColumn<bool>("instructions");
    QTest::newRow("notices blinking") << false;
    QTest::newRow("instructions open") << true;
}

void TestWhatsApp::everyControlShowsWhole() {
    QFETCH(bool, instructions);
    inst->raffle.FoneEnvio = QStringLiteral("11987654321");
    auto w = openWindow({5}, {"*C-0005*", "0016-0017-5005-9994"});
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    QTRY_VERIFY(w->findChild<QWidget *>(QStringLiteral("LBL_AvisoCopiar"))->isVisible() &&
                w->findChild<QWidget *>(QStringLiteral("LBL_AvisoCopiar_Link"))->isVisible());
    QTest::keyClick(w.get(), Qt::Key_F10); // the country code too
    if (instructions) {
        auto *open = w->findChild<QLabel *>(QStringLiteral("Label16"));
        QTest::mouseClick(open, Qt::LeftButton, {}, open->rect().center());
        QVERIFY(w->findChild<QWidget *>(QStringLiteral("Panel_Instrucoes"))->isVisible());
    }
    const QStringList faults = LayoutCheck::faults(w.get(), {{QStringLiteral("Panel_Instrucoes")}, {}});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    w->close();
}

// A picture larger than the preview is scaled down whole, never cut.
void TestWhatsApp::previewShowsTheWholePicture() {
    auto w = openWindow({5, 6});
    QImage big(489, 298, QImage::Format_RGB32);
    big.fill(Qt::white);
    QPainter(&big).fillRect(QRect(439, 258, 50, 40), Qt::red); // the corner where the code lies
    QVERIFY(big.save(QDir(folder()).filePath(TicketPictureName::fileName(6, 4)), "jpg", 95));
    auto *list = w->findChild<QListWidget *>(QStringLiteral("List_IMG"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    auto *preview = w->findChild<QLabel *>(QStringLiteral("img_zap"));
    const QImage shown = preview->pixmap().toImage();
    QVERIFY(!shown.isNull());
    QVERIFY2(preview->contentsRect().size().boundedTo(shown.size()) == shown.size(),
             qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
    QVERIFY(qAbs(shown.width() * 298 - shown.height() * 489) <= 489); // the picture's own proportions
    const QColor corner = shown.pixelColor(shown.width() - 3, shown.height() - 3);
    QVERIFY2(corner.red() > 200 && corner.green() < 80, qPrintable(corner.name()));
    inst->dialogs.setLenient(true);
    inst->dialogs.expectQuestion(QString(), true);
    w->close();
}

KORVANTE_TEST(TestWhatsApp)
#include "TestWhatsApp.moc"
