#include "data/TDM.h"
#include "layout/TForm_pos.h"
#include "sales/TForm_Validacao.h"
#include "salespage/OrderMessage.h"
#include "salespage/SalesPageFixture.h"
#include "support/DesignerElements.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"
#include "whatsapp/TForm_Whats.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace DesignerElements;

namespace {

void drag(QWidget *w, QPoint delta) {
    const QPointF local(3, 3);
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

void typeInto(QWidget *edit, const QString &text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Picks an item of a list with the arrow keys, as a person does with the keyboard.
void pick(QComboBox *box, const QString &item) {
    box->setFocus(Qt::TabFocusReason);
    const int target = box->findText(item);
    QVERIFY2(target >= 0, qPrintable(item));
    while (box->currentIndex() != target) {
        const int was = box->currentIndex();
        QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(box->currentIndex() != was);
    }
}

const QString kAuthNotice = QStringLiteral(
    "Posicione o código de autenticação (está na cor rosa) em uma área do Bilhete, mas lembrando, "
    "ele não sairá na impressão, será mostrado apenas em Bilhetes que forem VALIDADOS(pagos) e "
    "gerado como Imagens para Enviar por Whatsapp");

// The lines of text in a picture: for each band of rows holding ink, its top and where its ink ends.
QList<QPoint> inkLines(const QImage &img) {
    QList<QPoint> lines;
    bool inLine = false;
    for (int y = 0; y < img.height(); ++y) {
        int right = -1;
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (qMin(c.red(), qMin(c.green(), c.blue())) < 140) right = x;
        }
        if (right >= 0 && !inLine) lines.append(QPoint(right, y));
        if (right >= 0) lines.last().setX(qMax(lines.last().x(), right));
        inLine = right >= 0;
    }
    return lines;
}

QString missingFreeImage(int i, const QString &path) {
    return QStringLiteral("ATENÇÃO...Não foi mais possível localizar o arquivo de Imagem Livre %1 no caminho "
                          "Definido: ")
               .arg(i) +
           path + QStringLiteral("\r\rFavor exclua essa Definição de Imagem e coloque outra ou deixe Vazio!");
}

} // namespace

// What the designer shows is what the raffle row keeps and what the print run and the ticket pictures
// draw: walked through the designer as a person works it, and through the validation window's hidden
// designer.
class TestShownIsStored : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void designerStoresPrintsAndPicturesWhatItShows();
    void validationPicturesDrawTheElementsWhereTheDesignerShowsThem();
    void textBoxesBreakLinesAsPrinted_data();
    void textBoxesBreakLinesAsPrinted();

private:
    void openDesigner();
    template <class T> T *child(const char *name) {
        T *w = form->findChild<T *>(QLatin1String(name));
        if (!w) qWarning() << "no control" << name;
        return w;
    }
    QHash<QString, QPoint> shownPlaces(QWidget *designer, const QList<Element> &elements);
    QVariant column(const QString &name) {
        return inst->scalar(QStringLiteral("SELECT %1 FROM CADASTRO WHERE CODRIFA=1").arg(name));
    }
    QImage printPage();
    QImage ticketPicture(int ticket);

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_pos> form;
    QString m_missing;
};

void TestShownIsStored::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    SalesPageFixture::Raffle raffle;
    raffle.tickets = 60;
    QVERIFY(SalesPageFixture::chooseRaffle(*inst, raffle));
    m_missing = inst->file(QStringLiteral("sumiu/selo.jpg"));
}

void TestShownIsStored::init() {
    inst->dialogs.clear();
    QStringList nulls;
    QSqlQuery cols(inst->tdm->CONEX_R());
    cols.exec(QStringLiteral(
        "SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME='CADASTRO' "
        "AND (RDB$FIELD_NAME STARTING WITH 'POS_' OR RDB$FIELD_NAME STARTING WITH 'USAR_' OR "
        "RDB$FIELD_NAME STARTING WITH 'DIM_' OR RDB$FIELD_NAME STARTING WITH 'IMG_' OR "
        "RDB$FIELD_NAME STARTING WITH 'COR_' OR RDB$FIELD_NAME STARTING WITH 'TAM_' OR "
        "RDB$FIELD_NAME STARTING WITH 'TEXTO_') AND RDB$FIELD_NAME<>'USAR_QT_NUM'"));
    while (cols.next())
        nulls << cols.value(0).toString() + QStringLiteral("=NULL");
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET %1 WHERE CODRIFA=1").arg(nulls.join(u','))));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS4_D SET VALID_R1=NULL")));
    inst->raffle.QtBilhetesEnvio = 0;
}

void TestShownIsStored::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

void TestShownIsStored::openDesigner() {
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(1, &error), qPrintable(error));
    form = std::make_unique<TForm_pos>(inst->context());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

QHash<QString, QPoint> TestShownIsStored::shownPlaces(QWidget *designer, const QList<Element> &elements) {
    QHash<QString, QPoint> shown;
    for (const Element &e : elements) {
        auto *w = designer->findChild<QWidget *>(QLatin1String(e.control));
        if (w && w->isVisible()) shown.insert(QLatin1String(e.control), w->pos());
    }
    return shown;
}

QImage TestShownIsStored::printPage() {
    QImage page;
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Visualizar"), [&](QWidget *preview) {
        page = preview->findChild<QLabel *>(QStringLiteral("IMG_Pagina"))->pixmap().toImage();
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("BTN_Fechar")), Qt::LeftButton);
    });
    QTest::mouseClick(child<QToolButton>("BOTAO_IMPRIMIR"), Qt::LeftButton);
    typeInto(form->Edit_DE, QStringLiteral("1"));
    typeInto(form->Edit_ATE, QStringLiteral("1"));
    QTest::mouseClick(child<QToolButton>("Img_botaoImprimir"), Qt::LeftButton);
    return page.convertToFormat(QImage::Format_RGB32);
}

QImage TestShownIsStored::ticketPicture(int ticket) {
    bool sent = false;
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Whats"), [&](QWidget *w) {
        sent = true;
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
        w->close();
    });
    QTest::mouseClick(child<QToolButton>("BOTAO_IMPRIMIR"), Qt::LeftButton);
    typeInto(form->Edit_DE, QString::number(ticket));
    typeInto(form->Edit_ATE, QString::number(ticket));
    QTest::mouseClick(child<QToolButton>("img_whats"), Qt::LeftButton);
    if (!sent) qWarning() << "no sending window";
    return QImage(inst->file(QStringLiteral("RifaWhatsApp/Bilhete_%1.jpg").arg(ticket, 4, 10, QChar(u'0'))))
        .convertToFormat(QImage::Format_RGB32);
}

void TestShownIsStored::designerStoresPrintsAndPicturesWhatItShows() {
    // Free image 1 is at hand; free image 2 was stored at 200,120 and its file went missing since.
    const QString selo = inst->file(QStringLiteral("selo.jpg"));
    {
        QImage img(32, 24, QImage::Format_RGB32);
        img.fill(QColor(0, 170, 0));
        QVERIFY(img.save(selo, "JPG", 95));
    }
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET IMG_LIVRE1=?, IMG_LIVRE1_L=160, IMG_LIVRE1_T=130, "
                                      "IMG_LIVRE2=?, IMG_LIVRE2_L=200, IMG_LIVRE2_T=120 WHERE CODRIFA=1"),
                       {selo, m_missing}));
    QVERIFY(
        inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                  "AUT_DIGITAL_VAL, DATA_VAL) VALUES (1, 1, 2.5, 'Sim', 'WQK7M2ZP4', ?)"),
                   {QDate(2026, 12, 10)}));
    inst->dialogs.expectMessage(missingFreeImage(2, m_missing), BoxIcon::Warning);
    openDesigner();

    // The person lays the ticket out: an 80 x 115 mm ticket, control number "1", two barcodes, the
    // authentication code, red control number and blue numbers, a text on the ticket and on the stub.
    typeInto(child<QLineEdit>("DBEdit5"), QStringLiteral("80"));
    typeInto(child<QLineEdit>("DBEdit6"), QStringLiteral("115"));
    QTest::mouseClick(child<QPushButton>("Button3"), Qt::LeftButton);
    pick(child<QComboBox>("DBComboBox2"), QStringLiteral("1"));
    pick(child<QComboBox>("DBComboBox1"), QStringLiteral("2"));
    inst->dialogs.expectMessage(kAuthNotice, BoxIcon::Warning);
    pick(child<QComboBox>("DBComboBox3"), QStringLiteral("S"));
    pick(child<QComboBox>("CMB_COR_ID_BIL"), QStringLiteral("Red"));
    pick(child<QComboBox>("CMB_COR_NUM"), QStringLiteral("Blue"));
    QTest::mouseClick(child<QCheckBox>("DBCheckBox1"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(child<QWidget>("DBR_TextoBasico")->isVisible());
    QTest::mouseClick(child<QPushButton>("Button5"), Qt::LeftButton);
    typeInto(child<QLineEdit>("DBEdit_TxtAlt"), QStringLiteral("20"));
    typeInto(child<QLineEdit>("DBEdit_TxtComp"), QStringLiteral("40"));
    QTest::mouseClick(child<QPushButton>("BTN_SALVAR_BARRA"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("DBC_USAR_CANHOTO"), Qt::LeftButton, {}, QPoint(6, 8));
    typeInto(child<QLineEdit>("DBEdit_TxtCAlt"), QStringLiteral("40"));
    typeInto(child<QLineEdit>("DBEdit_TxtCComp"), QStringLiteral("25"));
    QTest::mouseClick(child<QPushButton>("BTN_SALVAR_BARRA_C"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("PANEL_TEXTOBASICO_Fechar"), Qt::LeftButton);
    auto *ticketBox = child<QTextEdit>("DBR_TextoBasico");
    auto *stubBox = child<QTextEdit>("DBR_TextoBasico_C");
    QTest::mouseClick(ticketBox->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClicks(ticketBox, QStringLiteral("TEXTO"));
    QTest::mouseClick(stubBox->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClicks(stubBox, QStringLiteral("CANHOTO"));
    QTest::mouseClick(child<QWidget>("DBEdit1"), Qt::LeftButton);
    // Some elements are dragged; the rest stay where the designer put them.
    // "Mover" from the box's own menu, opened with the right button.
    auto *pop = child<QMenu>("PopTexto");
    QTest::mouseClick(ticketBox->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    // The window system follows a right click with the context-menu event.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 ticketBox->viewport()->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(ticketBox->viewport(), &rightClick);
    QTRY_VERIFY(pop->isVisible());
    QCOMPARE(pop->actions().first()->text(), QStringLiteral("Mover"));
    QTest::mouseClick(pop, Qt::LeftButton, {}, pop->actionGeometry(pop->actions().first()).center());
    QTRY_VERIFY(!pop->isVisible());
    drag(ticketBox->viewport(), QPoint(100, 0));
    drag(child<QWidget>("NumB2"), QPoint(12, -7));
    drag(child<QWidget>("IMG_CODBARRA2"), QPoint(-8, -40));
    // Dragged to the left edge: a left below 1 would read back as "never placed".
    drag(child<QWidget>("NumB4"), QPoint(-500, 0));
    QCOMPARE(child<QWidget>("NumB4")->x(), 1);
    drag(child<QWidget>("NumB4"), QPoint(300, 0));

    const QList<Element> shownElements = {controlNumber(),
                                          number(1),
                                          number(2),
                                          number(3),
                                          number(4),
                                          barcode1(),
                                          barcode2(),
                                          authCode(),
                                          ticketText(),
                                          stubText(),
                                          freeImage(1, Ink::green)};
    const QHash<QString, QPoint> shown = shownPlaces(form.get(), shownElements);
    QCOMPARE(shown.size(), shownElements.size());
    QCOMPARE(shown.value(QStringLiteral("BilheteNum1")), TicketLayout::DefaultTicketId);
    QCOMPARE(shown.value(QStringLiteral("Num_Autentic")), TicketLayout::DefaultAuthCode);
    QCOMPARE(shown.value(QStringLiteral("Img_LIVRE1")), QPoint(160, 130));

    // Saved: every shown element is stored where it is shown; the missing picture keeps its place.
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QVERIFY(!form->hasUnsavedChanges());
    for (const Element &e : shownElements) {
        const QPoint stored(column(QLatin1String(e.columns) + QStringLiteral("_L")).toInt(),
                            column(QLatin1String(e.columns) + QStringLiteral("_T")).toInt());
        QVERIFY2(stored.x() >= 1, e.columns);
        QCOMPARE(stored, shown.value(QLatin1String(e.control)));
    }
    QCOMPARE(column(QStringLiteral("IMG_LIVRE2_L")).toInt(), 200);
    QCOMPARE(column(QStringLiteral("IMG_LIVRE2_T")).toInt(), 120);

    // Closed and opened again: everything where it was.
    QTest::mouseClick(child<QToolButton>("img_fecharPOS"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    form.reset();
    inst->dialogs.expectMessage(missingFreeImage(2, m_missing), BoxIcon::Warning);
    openDesigner();
    QCOMPARE(shownPlaces(form.get(), shownElements), shown);
    QVERIFY(!form->hasUnsavedChanges());

    // Printed where shown (the authentication code prints only on the pictures).
    QList<Element> printed = shownElements;
    printed.removeAt(7);
    comparePrinted(printPage(), printed, shown, QStringLiteral("página"));
    comparePrinted(ticketPicture(1), shownElements, shown, QStringLiteral("imagem"));
    // Printing saved again: still nothing changed.
    QCOMPARE(column(QStringLiteral("IMG_LIVRE2_L")).toInt(), 200);
    QCOMPARE(column(QStringLiteral("POS_NUMBILHETE_L")).toInt(), TicketLayout::DefaultTicketId.x());
}

void TestShownIsStored::validationPicturesDrawTheElementsWhereTheDesignerShowsThem() {
    // A layout saved with the options only: nothing was ever dragged or stored, and free image 1's
    // file is gone.
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET DIM_BILHETE_ALT=80, DIM_BILHETE_COMP=115, "
                                      "USAR_NUM_ID_BILHETE=1, USAR_AUTENTIC='S', USAR_CBARRA=1, "
                                      "COR_FONTE_ID_BILH=255, COR_FONTE_POS_N=16711680, IMG_LIVRE1=?, "
                                      "IMG_LIVRE1_L=110, IMG_LIVRE1_T=80 WHERE CODRIFA=1"),
                       {m_missing}));
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(1, &error), qPrintable(error));
    TForm_Validacao validacao(inst->context());
    validacao.setEvento(QStringLiteral("RIFA DA MOTO"));
    validacao.setValor(2.5);
    validacao.show();
    QVERIFY(QTest::qWaitForWindowExposed(&validacao));

    const QList<Element> elements = {controlNumber(), number(1),  number(2), number(3),
                                     number(4),       barcode1(), authCode()};
    QHash<QString, QPoint> shown;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *whats = qobject_cast<TForm_Whats *>(QApplication::activeModalWidget());
        if (!whats) return;
        poll.stop();
        // The hidden designer that drew the pictures, as it stands.
        for (QWidget *w : QApplication::allWidgets())
            if (w->objectName() == QStringLiteral("TForm_pos")) {
                for (const Element &e : elements) {
                    auto *c = w->findChild<QWidget *>(QLatin1String(e.control));
                    if (c && !c->isHidden()) shown.insert(QLatin1String(e.control), c->pos());
                }
            }
        QTest::mouseClick(whats->findChild<QPushButton *>(QStringLiteral("BTN_CopiarNum")), Qt::LeftButton);
        whats->close();
    });
    poll.start();
    inst->dialogs.expectMessage(missingFreeImage(1, m_missing), BoxIcon::Warning);
    auto *label = validacao.findChild<QLabel *>(QStringLiteral("IMM_ValidaMaisZap"));
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    OrderMessage order{{QStringLiteral("C-0007")},
                       QStringLiteral("MARIA DA SILVA"),
                       QStringLiteral("Rua das Flores, 10 "),
                       QStringLiteral("Campinas"),
                       QStringLiteral("SP"),
                       QStringLiteral("(11) 98765-4321"),
                       QStringLiteral("R$ 2,50"),
                       QStringLiteral("Nao Informar"),
                       QStringLiteral("1 ao 60")};
    QGuiApplication::clipboard()->setText(order.text().remove(u'*'));
    QTest::mouseClick(validacao.findChild<QPushButton *>(QStringLiteral("BTN_Colar")), Qt::LeftButton);
    QTest::mouseClick(validacao.findChild<QPushButton *>(QStringLiteral("BTN_ValidarDadosW")),
                      Qt::LeftButton);
    poll.stop();
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE=7")).toInt(),
             1);

    // Never placed: each shown at its default, and drawn there on the picture.
    QCOMPARE(shown.size(), elements.size());
    QCOMPARE(shown.value(QStringLiteral("BilheteNum1")), TicketLayout::DefaultTicketId);
    QCOMPARE(shown.value(QStringLiteral("Num_Autentic")), TicketLayout::DefaultAuthCode);
    QCOMPARE(shown.value(QStringLiteral("IMG_CODBARRA1")), TicketLayout::DefaultBarcode1);
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(shown.value(QLatin1String(number(k).control)), TicketLayout::defaultNumberPos(k));
    comparePrinted(QImage(inst->file(QStringLiteral("RifaWhatsApp/Bilhete_0007.jpg")))
                       .convertToFormat(QImage::Format_RGB32),
                   elements, shown, QStringLiteral("imagem da validação"));
    // The missing picture's place is untouched.
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1_L")).toInt(), 110);
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1_T")).toInt(), 80);
}

void TestShownIsStored::textBoxesBreakLinesAsPrinted_data() {
    QTest::addColumn<bool>("stub");
    QTest::addColumn<int>("widthMm");
    QTest::addColumn<QString>("text");
    for (int mm : {18, 19, 20, 22})
        QTest::addRow("stub, Canhoto nº, %d mm", mm) << true << mm << QStringLiteral("Canhoto nº");
    for (int mm : {34, 36, 38, 40})
        QTest::addRow("ticket, São José, %d mm", mm)
            << false << mm << QStringLiteral("Rifa da Festa de Ação São José");
}

// The text boxes break their lines in the designer where the printed page breaks them.
void TestShownIsStored::textBoxesBreakLinesAsPrinted() {
    QFETCH(bool, stub);
    QFETCH(int, widthMm);
    QFETCH(QString, text);
    openDesigner();
    typeInto(child<QLineEdit>("DBEdit5"), QStringLiteral("80"));
    typeInto(child<QLineEdit>("DBEdit6"), QStringLiteral("115"));
    QTest::mouseClick(child<QPushButton>("Button3"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("DBCheckBox1"), Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(child<QPushButton>("Button5"), Qt::LeftButton);
    typeInto(child<QLineEdit>("DBEdit_TxtAlt"), QStringLiteral("20"));
    typeInto(child<QLineEdit>("DBEdit_TxtComp"), QString::number(stub ? 40 : widthMm));
    QTest::mouseClick(child<QPushButton>("BTN_SALVAR_BARRA"), Qt::LeftButton);
    if (stub) {
        QTest::mouseClick(child<QCheckBox>("DBC_USAR_CANHOTO"), Qt::LeftButton, {}, QPoint(6, 8));
        typeInto(child<QLineEdit>("DBEdit_TxtCAlt"), QStringLiteral("20"));
        typeInto(child<QLineEdit>("DBEdit_TxtCComp"), QString::number(widthMm));
        QTest::mouseClick(child<QPushButton>("BTN_SALVAR_BARRA_C"), Qt::LeftButton);
    }
    QTest::mouseClick(child<QWidget>("PANEL_TEXTOBASICO_Fechar"), Qt::LeftButton);
    auto *box = child<QTextEdit>(stub ? "DBR_TextoBasico_C" : "DBR_TextoBasico");
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    // Typed key by key; accented letters arrive as the keyboard sends their text.
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, box, ch == u' ' ? Qt::Key_Space : Qt::Key_unknown, QString(ch), {});
    QTest::mouseClick(child<QWidget>("DBEdit1"), Qt::LeftButton);
    QApplication::processEvents();
    const QList<QPoint> shown = inkLines(box->viewport()->grab().toImage());

    const QImage page = printPage();
    const int side = qRound(widthMm * 96.0 / 25.4), height = qRound(20 * 96.0 / 25.4);
    const QRect printedBox(kBand + box->pos() + QPoint(-21, -19), QSize(side, height));
    const QList<QPoint> printed = inkLines(page.copy(printedBox));
    const auto describe = [](const QList<QPoint> &lines) {
        QStringList out;
        for (const QPoint &l : lines)
            out << QStringLiteral("line at %1 ends at %2").arg(l.y()).arg(l.x());
        return out.join(QStringLiteral(", "));
    };
    const QString both = QStringLiteral("designer: %1; page: %2").arg(describe(shown), describe(printed));
    QVERIFY2(!shown.isEmpty(), qPrintable(both));
    QVERIFY2(shown.size() == printed.size(), qPrintable(both));
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(qAbs(shown[i].x() - printed[i].x()) <= 2, qPrintable(both));
}

KORVANTE_TEST(TestShownIsStored)
#include "TestShownIsStored.moc"
