#include "sales/SaleValidator.h"
#include "sales/TForm_Reserva.h"
#include "sales/TForm_Validacao.h"
#include "salespage/SalesPageFixture.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

// "KORVANTE - Reserva de Bilhetes": the reserve block defined and removed as the organiser does it.
class TestReserveWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void defineListsTheRangeOnce();
    void soldTicketsStaySold();
    void validatedReservedTicketLeavesTheList();
    void removingAsksAndClearsOnlyReservations_data();
    void removingAsksAndClearsOnlyReservations();
    void rangeThatIsNotNumbersIsRefused_data();
    void rangeThatIsNotNumbersIsRefused();
    void opensFromTheValidationMenu();

private:
    template <typename T = QWidget> T *w(const char *name) { return form->findChild<T *>(QLatin1String(name)); }
    void typeOver(const char *field, const QString &text) {
        auto *e = w<QLineEdit>(field);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    void define(const QString &from, const QString &to) {
        typeOver("ED_INICIO", from);
        typeOver("ED_FIM", to);
        QTest::mouseClick(w<QPushButton>("Button1"), Qt::LeftButton);
    }
    void reopen() {
        form = std::make_unique<TForm_Reserva>(inst->context());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QString total() { return w<QLabel>("LBL_TotalReservas")->text(); }
    QStringList listed() {
        QStringList rows;
        auto *grid = w<QTableWidget>("DBGrid1");
        for (int r = 0; r < grid->rowCount(); ++r)
            rows << grid->item(r, 0)->text();
        return rows;
    }
    QString mark(int ticket) {
        return inst->scalar(QStringLiteral("SELECT VALID_R1 FROM BS4_D WHERE NUMBILHETE=?"), {ticket})
            .toString()
            .trimmed();
    }
    int marked(const QString &m) {
        return inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS4_D WHERE VALID_R1=?"), {m}).toInt();
    }
    bool validate(int ticket) {
        SaleValidator v(inst->context());
        SaleRequest in;
        in.ticketText = QString::number(ticket);
        in.price = 2.5;
        return v.validate(in).ok();
    }
    const QString defined = QStringLiteral(
        "Definições concluídas com Sucesso. Verifique a Lista se está mostrar os Bilhetes Reservados!");

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Reserva> form;
};

void TestReserveWindow::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesPageFixture::chooseRaffle(*inst, SalesPageFixture::Raffle{}));
}

void TestReserveWindow::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS4_D SET VALID_R1=NULL, VALID_R2=NULL")));
    inst->dialogs.clear();
    reopen();
}

void TestReserveWindow::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestReserveWindow::defineListsTheRangeOnce() {
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE - Reserva de Bilhetes"));
    QCOMPARE(w<QLineEdit>("ED_INICIO")->text(), QStringLiteral("0"));
    QCOMPARE(total(), QStringLiteral("0"));
    inst->dialogs.expectMessage(defined, BoxIcon::Information);
    define(QStringLiteral("101"), QStringLiteral("150"));
    QCOMPARE(total(), QStringLiteral("50"));
    QCOMPARE(listed().size(), 50);
    QCOMPARE(listed().first(), QStringLiteral("0101"));
    QCOMPARE(listed().last(), QStringLiteral("0150"));
    QCOMPARE(w<QTableWidget>("DBGrid1")->horizontalHeaderItem(1)->text(), QStringLiteral("STATUS"));
    QCOMPARE(w<QTableWidget>("DBGrid1")->item(0, 1)->text(), QStringLiteral("R"));
    QCOMPARE(marked(QStringLiteral("R")), 50);
    QCOMPARE(mark(100), QString());
    QCOMPARE(mark(151), QString());

    inst->dialogs.expectMessage(
        QStringLiteral("Para gerar uma nova Lista de C. Bilhetes Reservas, deverá Retirar as Deninições Anteriores!"),
        BoxIcon::Error);
    define(QStringLiteral("200"), QStringLiteral("210"));
    QCOMPARE(marked(QStringLiteral("R")), 50);
    // Another raffle of the same ticket table keeps its own column.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS4_D WHERE VALID_R2 IS NOT NULL")).toInt(), 0);
}

void TestReserveWindow::soldTicketsStaySold() {
    QVERIFY(validate(105));
    QVERIFY(validate(110));
    inst->dialogs.expectMessage(defined, BoxIcon::Information);
    define(QStringLiteral("101"), QStringLiteral("150"));
    QCOMPARE(total(), QStringLiteral("48"));
    QVERIFY(!listed().contains(QStringLiteral("0105")));
    QCOMPARE(mark(105), QStringLiteral("S"));
    QCOMPARE(mark(110), QStringLiteral("S"));
}

void TestReserveWindow::validatedReservedTicketLeavesTheList() {
    inst->dialogs.expectMessage(defined, BoxIcon::Information);
    define(QStringLiteral("101"), QStringLiteral("110"));
    QVERIFY(validate(103));
    QCOMPARE(mark(103), QStringLiteral("S"));
    reopen();
    QCOMPARE(total(), QStringLiteral("9"));
    QVERIFY(!listed().contains(QStringLiteral("0103")));
}

void TestReserveWindow::removingAsksAndClearsOnlyReservations_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No changes nothing") << false;
    QTest::newRow("Yes frees the reserved tickets") << true;
}

void TestReserveWindow::removingAsksAndClearsOnlyReservations() {
    QFETCH(bool, yes);
    QVERIFY(validate(120));
    inst->dialogs.expectMessage(defined, BoxIcon::Information);
    define(QStringLiteral("101"), QStringLiteral("150"));
    inst->dialogs.expectQuestion(QStringLiteral("Deseja realmente Zerar esse bloco de C.Bilhete reservas?"), yes);
    QTest::mouseClick(w<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(inst->dialogs.shown.last().defaultYes, false);
    QCOMPARE(mark(120), QStringLiteral("S"));
    QCOMPARE(marked(QStringLiteral("R")), yes ? 0 : 49);
    QCOMPARE(total(), yes ? QStringLiteral("0") : QStringLiteral("49"));
    if (yes) QCOMPARE(mark(101), QString());
}

void TestReserveWindow::rangeThatIsNotNumbersIsRefused_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("letters") << "abc" << "150";
    QTest::newRow("quote") << "101" << "150' or 1=1 --";
    QTest::newRow("empty") << "" << "150";
}

void TestReserveWindow::rangeThatIsNotNumbersIsRefused() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    inst->dialogs.expectMessage(TForm_Reserva::invalidRangeMessage(), BoxIcon::Error);
    define(from, to);
    QCOMPARE(marked(QStringLiteral("R")), 0);
    QCOMPARE(total(), QStringLiteral("0"));
    QCOMPARE(w<QLineEdit>("ED_FIM")->text(), to); // left as typed
}

void TestReserveWindow::opensFromTheValidationMenu() {
    form.reset();
    TForm_Validacao validacao(inst->context());
    validacao.show();
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *r = QApplication::activeModalWidget()) {
            title = r->windowTitle();
            r->close();
        }
    });
    validacao.findChild<QMenu *>(QStringLiteral("Pop_Opcoes"))
        ->findChild<QAction *>(QStringLiteral("MarcarBlocos1"))
        ->trigger();
    QCOMPARE(title, QStringLiteral("KORVANTE - Reserva de Bilhetes"));
}

KORVANTE_TEST(TestReserveWindow)
#include "TestReserveWindow.moc"
