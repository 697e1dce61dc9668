#include "SalesFixture.h"
#include "data/TDM.h"
#include "data/UnitOfWork.h"
#include "sales/ReserveBlock.h"
#include "sales/SaleValidator.h"
#include "sales/SalesClosing.h"
#include "sales/SalesService.h"
#include "sales/TForm_Validacao.h"
#include "sales/ValidationFile.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSqlError>
#include <QThread>

namespace {

const QString kEncerrar = QStringLiteral(
    "Deseja ENCERRAR as Vendas desta Rifa? Depois do encerramento nenhuma venda, retirada de validação, "
    "reserva ou importação poderá ser feita até que as vendas sejam reabertas.");
// 13:00 UTC is 10:00 in Brasília.
const QString kClosedAt = QStringLiteral("10/12/2026 às 10:00:00 (horário de Brasília)");
const QString kRefused = QStringLiteral("As vendas desta Rifa foram encerradas em ") + kClosedAt +
                         QStringLiteral(". Depois do encerramento nenhuma venda, retirada de validação ou reserva "
                                        "pode ser feita; para alterar, reabra as vendas.");

// SHA-256 of the bytes by the system's own sha256sum, as anyone outside the program would compute it.
QString sha256sum(const QByteArray &bytes) {
    QProcess p;
    p.start(QStringLiteral("sha256sum"), {QStringLiteral("-")});
    p.waitForStarted();
    p.write(bytes);
    p.closeWriteChannel();
    p.waitForFinished();
    return QString::fromLatin1(p.readAllStandardOutput()).section(u' ', 0, 0);
}

} // namespace

// "Encerrar Vendas": the fingerprint of the sold list, the refusal of every later change of the sales,
// the reopening and the reset that end a closing, and a sale and a closing on two connections.
class TestSalesClosing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void closingKeepsTheFingerprintsOfSalesAndDealing();
    void answeringNoLeavesTheSalesOpen();
    void everyChangeAfterTheClosingIsRefused();
    void reopeningIsAskedAndRecorded();
    void resetAfterAClosingAsksAndEndsIt();
    void brokenSaleStopsTheClosing_data();
    void brokenSaleStopsTheClosing();
    void saleInFlightElsewhereIsInTheClosing();
    void saleBegunBeforeTheClosingCannotCommit();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void click(const char *name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    void sell(int ticket, const QDate &date) {
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                          "AUT_DIGITAL_VAL, DATA_VAL, NOMECOMP, FONECOMP) VALUES (1, ?, 10, 'Sim', "
                                          "'ABC123XYZ', ?, 'MARIA', '11999998888')"),
                           {ticket, date}));
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=?"), {ticket}));
    }
    void openList() {
        click("Btn_ver");
        click("RB_Todas");
        click("Button3");
    }
    void closeSales() {
        inst->dialogs.expectQuestion(kEncerrar, true);
        inst->dialogs.expectMessage(QString(), BoxIcon::Information);
        click("BTN_EncerrarVendas");
    }
    QVariant closing(const char *column) {
        return inst->scalar(QStringLiteral("SELECT %1 FROM VENDAS_ENCERRAMENTO WHERE CODRIFA=1").arg(QLatin1String(column)));
    }
    QStringList events() {
        QStringList e;
        QSqlQuery q(inst->tdm->CONEX_R());
        q.exec(QStringLiteral("SELECT EVENTO FROM VENDAS_EVENTOS WHERE CODRIFA=1 ORDER BY ID"));
        while (q.next())
            e << q.value(0).toString().trimmed();
        return e;
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Validacao> form;
};

void TestSalesClosing::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
}

void TestSalesClosing::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE VENDAS_ENCERRAMENTO SET ENCERRADO_EM=NULL")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM VENDAS_EVENTOS")));
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM HASH_TABELAS")));
    inst->clock.set(QDateTime(QDate(2026, 12, 10), QTime(13, 0), Qt::UTC));
    inst->dialogs.clear();
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->setEvento(QStringLiteral("RIFA DO CARRO"));
    form->setValor(10);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestSalesClosing::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

void TestSalesClosing::closingKeepsTheFingerprintsOfSalesAndDealing() {
    sell(10, QDate(2026, 12, 9));
    sell(3, QDate(2026, 11, 30));
    openList();
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(), QStringLiteral("Vendas abertas"));
    QVERIFY(!w("BTN_SalvarVendidos")->isEnabled());
    closeSales();

    // Written here as the format says: control number, numbers, sale date; ticket t holds 2t-2 and 2t-1.
    const QByteArray sold = "03;04;05;2026-11-30\n10;18;19;2026-12-09\n";
    QByteArray dealing;
    for (int t = 1; t <= 50; ++t)
        dealing += QStringLiteral("%1;%2;%3\n")
                       .arg(t, 2, 10, QChar(u'0'))
                       .arg(2 * t - 2, 2, 10, QChar(u'0'))
                       .arg(2 * t - 1, 2, 10, QChar(u'0'))
                       .toLatin1();
    const QString soldHash = sha256sum(sold), dealingHash = sha256sum(dealing);
    QCOMPARE(closing("QT_VENDIDOS").toInt(), 2);
    QCOMPARE(closing("HASH_VENDAS").toString(), soldHash);
    QCOMPARE(closing("HASH_TABELA").toString(), dealingHash);
    QCOMPARE(closing("HASH_TABELA_ORIGEM").toString(), QStringLiteral("encerramento"));
    QCOMPARE(closing("ENCERRADO_EM").toDateTime(), QDateTime(QDate(2026, 12, 10), QTime(13, 0)));
    const QString shown = inst->dialogs.shown.last().text;
    QVERIFY2(shown.contains(kClosedAt) && shown.contains(soldHash) && shown.contains(dealingHash) &&
                 shown.contains(QStringLiteral("Bilhetes vendidos: 2")),
             qPrintable(shown));
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(), QStringLiteral("Vendas ENCERRADAS em ") + kClosedAt);
    QVERIFY(!w("BTN_EncerrarVendas")->isEnabled());

    // The list saved to a file of the organiser's choice is exactly those lines.
    const QString path = inst->file(QStringLiteral("vendidos.txt"));
    inst->dialogs.expectFileChoice(QStringLiteral("save"), path);
    inst->dialogs.expectMessage(QString(), BoxIcon::Information);
    click("BTN_SalvarVendidos");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), sold);
    QCOMPARE(events(), QStringList{QStringLiteral("ENCERRADO")});
}

void TestSalesClosing::answeringNoLeavesTheSalesOpen() {
    sell(3, QDate(2026, 11, 30));
    openList();
    inst->dialogs.expectQuestion(kEncerrar, false);
    click("BTN_EncerrarVendas");
    QVERIFY(closing("ENCERRADO_EM").isNull());
    QVERIFY(events().isEmpty());
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(), QStringLiteral("Vendas abertas"));
    QVERIFY(w("BTN_EncerrarVendas")->isEnabled());
    QVERIFY(!w("BTN_SalvarVendidos")->isEnabled());
    QString error;
    const auto state = SalesClosing::stateOf(inst->tdm->CONEX_R(), 1, &error);
    QVERIFY2(state && !state->closed(), qPrintable(error));
}

void TestSalesClosing::everyChangeAfterTheClosingIsRefused() {
    sell(3, QDate(2026, 11, 30));
    openList();
    closeSales();
    const QString hash = closing("HASH_VENDAS").toString();

    // A sale typed in the window.
    inst->dialogs.expectMessage(kRefused, BoxIcon::Error);
    w("ED_NUM_BILHETE")->setFocus();
    QTest::keyClicks(w("ED_NUM_BILHETE"), QStringLiteral("11"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    // A withdrawal by F7.
    inst->dialogs.expectInput(QStringLiteral("3"));
    inst->dialogs.expectMessage(kRefused, BoxIcon::Error);
    w<QLineEdit>("ED_NUM_BILHETE")->clear();
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_F7);
    // A reserve.
    QString error;
    QVERIFY(!ReserveBlock(inst->context()).define(20, 25, &error));
    QCOMPARE(error, kRefused);
    // An import, refused before its file is read.
    SalesService sales(inst->context());
    ValidationImport import(inst->context(), sales);
    bool importing = false;
    inst->dialogs.expectMessage(QStringLiteral("As vendas desta Rifa foram encerradas em ") + kClosedAt +
                                    QStringLiteral(". Reabra as vendas antes de importar validações."),
                                BoxIcon::Error);
    import.run(inst->file(QStringLiteral("R1.dat")), importing);

    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);
    QCOMPARE(SalesFixture::mark(*inst, 3), QStringLiteral("S"));
    QCOMPARE(SalesFixture::mark(*inst, 11), QString());
    QCOMPARE(SalesFixture::mark(*inst, 20), QString());
    QCOMPARE(closing("HASH_VENDAS").toString(), hash);
}

void TestSalesClosing::reopeningIsAskedAndRecorded() {
    sell(3, QDate(2026, 11, 30));
    openList();
    closeSales();
    inst->clock.set(QDateTime(QDate(2026, 12, 11), QTime(12, 30), Qt::UTC));
    const QString question = QStringLiteral("As vendas desta Rifa foram encerradas em ") + kClosedAt +
                             QStringLiteral(". Deseja REABRIR as Vendas? A reabertura fica registrada e aparece "
                                            "na Ata de qualquer sorteio posterior.");
    inst->dialogs.expectQuestion(question, false);
    click("BTN_ReabrirVendas");
    QVERIFY(closing("ENCERRADO_EM").isValid() && !closing("ENCERRADO_EM").isNull());
    inst->dialogs.expectQuestion(question, true);
    inst->dialogs.expectMessage(
        QStringLiteral("Vendas reabertas em 11/12/2026 às 09:30:00 (horário de Brasília)."), BoxIcon::Information);
    click("BTN_ReabrirVendas");
    QVERIFY(closing("ENCERRADO_EM").isNull());
    QCOMPARE(events(), (QStringList{QStringLiteral("ENCERRADO"), QStringLiteral("REABERTO")}));
    QVERIFY(!inst->dialogs.shown[inst->dialogs.shown.size() - 2].defaultYes);

    // Open again: a sale goes through.
    w("ED_NUM_BILHETE")->setFocus();
    QTest::keyClicks(w("ED_NUM_BILHETE"), QStringLiteral("11"));
    QTest::keyClick(w("ED_NUM_BILHETE"), Qt::Key_Return);
    QCOMPARE(SalesFixture::mark(*inst, 11), QStringLiteral("S"));
}

void TestSalesClosing::resetAfterAClosingAsksAndEndsIt() {
    sell(3, QDate(2026, 11, 30));
    openList();
    closeSales();
    const QString question = QStringLiteral("As vendas desta Rifa foram encerradas em ") + kClosedAt +
                             QStringLiteral(". ZERAR as validações termina esse encerramento (fica registrado e "
                                            "aparece na Ata de um sorteio posterior). Deseja continuar?");
    inst->dialogs.expectQuestion(question, false);
    click("Button1");
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 1);

    inst->dialogs.expectQuestion(question, true);
    inst->dialogs.expectQuestion(QStringLiteral("Deseja REALMENTE ZERAR todas as validações da Rifa?"), true);
    inst->dialogs.expectQuestion(QStringLiteral("Confirma ZERAR as Validações?"), true);
    inst->dialogs.expectMessage(QStringLiteral("Validações Zeradas com Sucesso!"), BoxIcon::Information);
    click("Button1");
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
    QCOMPARE(SalesFixture::mark(*inst, 3), QString());
    QVERIFY(closing("ENCERRADO_EM").isNull());
    QCOMPARE(events(), (QStringList{QStringLiteral("ENCERRADO"), QStringLiteral("ZERADO")}));
    QCOMPARE(w<QLabel>("LBL_Encerramento")->text(), QStringLiteral("Vendas abertas"));
}

void TestSalesClosing::brokenSaleStopsTheClosing_data() {
    QTest::addColumn<QString>("breakIt");
    QTest::addColumn<QString>("message");
    QTest::newRow("buyer row without its mark")
        << QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL WHERE NUMBILHETE=7")
        << QStringLiteral("As vendas não foram encerradas: o Bilhete C-07 tem registro de venda, mas não está "
                          "marcado como vendido na tabela de bilhetes. Confira esse Bilhete antes de encerrar.");
    QTest::newRow("mark without its buyer row")
        << QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=9")
        << QStringLiteral("As vendas não foram encerradas: o Bilhete C-09 está marcado como vendido, mas não tem "
                          "registro de venda. Confira esse Bilhete antes de encerrar.");
}

void TestSalesClosing::brokenSaleStopsTheClosing() {
    QFETCH(QString, breakIt);
    QFETCH(QString, message);
    sell(3, QDate(2026, 11, 30));
    sell(7, QDate(2026, 11, 30));
    QVERIFY(inst->exec(breakIt));
    openList();
    inst->dialogs.expectQuestion(kEncerrar, true);
    inst->dialogs.expectMessage(message, BoxIcon::Error);
    click("BTN_EncerrarVendas");
    QVERIFY(closing("ENCERRADO_EM").isNull());
    QVERIFY(events().isEmpty());
}

void TestSalesClosing::saleInFlightElsewhereIsInTheClosing() {
    // Another computer has written a sale of ticket 20 and not committed it yet when the closing starts.
    QSemaphore written;
    QString otherError;
    const QString path = inst->file(QStringLiteral("CRF.XML"));
    std::unique_ptr<QThread> other(QThread::create([&] {
        {
            QString error;
            if (!TDM::openConnection(QStringLiteral("other-computer"), path, &error)) {
                otherError = error;
                written.release();
                return;
            }
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("other-computer"));
            db.transaction();
            QSqlError e;
            if (!SalesClosing::claim(db, 1, &e, 20)) otherError = e.text();
            QSqlQuery q(db);
            q.exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, DATA_VAL) "
                                  "VALUES (1, 20, 10, 'Sim', '2026-12-10')"));
            q.exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1='S' WHERE NUMBILHETE=20"));
            q.finish();
            written.release();
            // The closing waits on the sale's claim of the raffle.
            if (!SalesFixture::waitForAWaitingStatement(path)) otherError = QStringLiteral("nobody waited");
            if (!db.commit()) otherError = db.lastError().text();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-computer"));
    }));
    other->start();
    written.acquire();
    QVERIFY2(otherError.isEmpty(), qPrintable(otherError));
    openList();
    closeSales(); // waits for the other computer, then sees its sale
    QVERIFY(other->wait(10000));
    QVERIFY2(otherError.isEmpty(), qPrintable(otherError));
    QCOMPARE(closing("QT_VENDIDOS").toInt(), 1);
    QCOMPARE(closing("HASH_VENDAS").toString(), sha256sum("20;38;39;2026-12-10\n"));
}

void TestSalesClosing::saleBegunBeforeTheClosingCannotCommit() {
    // Another computer's unit of work for a sale has begun; the closing commits before the sale writes.
    QSemaphore begun, closed;
    QSqlError otherError;
    UnitOfWork::Result otherResult = UnitOfWork::Result::Done;
    int tries = 0;
    const QString path = inst->file(QStringLiteral("CRF.XML"));
    std::unique_ptr<QThread> other(QThread::create([&] {
        {
            QString error;
            if (!TDM::openConnection(QStringLiteral("other-computer"), path, &error)) {
                otherError = UnitOfWork::refusal(error);
                begun.release();
                return;
            }
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("other-computer"));
            UnitOfWork unit(db, {3, [](int) { QThread::msleep(20); }});
            otherResult = unit.run([&](QSqlError *why) {
                if (++tries == 1) {
                    begun.release();
                    closed.acquire();
                }
                if (!SalesClosing::claim(db, 1, why, 20)) return false;
                QSqlQuery q(db);
                if (!q.exec(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, "
                                           "DATA_VAL) VALUES (1, 20, 10, 'Sim', '2026-12-10')"))) {
                    *why = q.lastError();
                    return false;
                }
                return true;
            });
            otherError = unit.error();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-computer"));
    }));
    other->start();
    begun.acquire();
    openList();
    closeSales();
    closed.release();
    QVERIFY(other->wait(10000));
    QCOMPARE(int(otherResult), int(UnitOfWork::Result::Failed));
    QVERIFY2(SalesClosing::isClosedRefusal(otherError), qPrintable(otherError.text()));
    QCOMPARE(tries, 2); // met the closing's row, then saw it closed
    QCOMPARE(inst->count(QStringLiteral("DADOSCOMPRADOR_1")), 0);
    QCOMPARE(closing("QT_VENDIDOS").toInt(), 0);
}

KORVANTE_TEST(TestSalesClosing)
#include "TestSalesClosing.moc"
