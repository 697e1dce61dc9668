#include "salespage/SalesPageFixture.h"
#include "support/TestRegistry.h"

using namespace SalesPageFixture;

// The order phone, PIX key type and key kept in config.ini. Each case has a program folder of its
// own: the settings-changed mark lasts as long as the program runs.
class TestSalesPageSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void untouchedCloseKeepsTheFileAndAChoiceWritesAllKeys();
    void withoutConfigNoPhoneIsChosen();
    void pixRecipientIsKept();

private:
    QString config() const { return inst->file(QStringLiteral("config.ini")); }
    void closeWithEsc(Window &w) {
        QTest::keyClick(&w.form, Qt::Key_Escape);
        QVERIFY(!w.form.isVisible());
    }
    std::unique_ptr<TestInstallation> inst;
};

void TestSalesPageSettings::init() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    Raffle r;
    r.tickets = 20;
    QVERIFY(chooseRaffle(*inst, r));
    QVERIFY(addPhone(*inst, QStringLiteral("11"), QStringLiteral("987654321")));
    QVERIFY(addPhone(*inst, QStringLiteral("21"), QStringLiteral("33334444")));
}

void TestSalesPageSettings::cleanup() {
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
    inst.reset();
}

void TestSalesPageSettings::untouchedCloseKeepsTheFileAndAChoiceWritesAllKeys() {
    const QByteArray before = readFile(config());
    QVERIFY(!before.isEmpty());
    {
        Window w(*inst);
        w.list(2, QStringLiteral("1"), QStringLiteral("5")); // listing is no setting
        w.typeInto("Entre_1", QStringLiteral("2"));
        closeWithEsc(w);
    }
    QCOMPARE(readFile(config()), before);
    {
        Window w(*inst);
        QCOMPARE(w.child<QComboBox>("CMB_TELEFONE")->currentIndex(), 0);
        inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
        w.pickWithKeys("CMB_TIPO_PIX", 1); // CPF -> Celular
        closeWithEsc(w);
    }
    QByteArray after = readFile(config());
    QVERIFY2(after.startsWith(before), after.constData()); // the database lines stay as they were
    QVERIFY2(after.contains("[EXTRA]\r\nFONE_GER_HTML=0\r\nTIPO_PIX=1\r\nPIX=\r\n") ||
                 after.contains("[EXTRA]\nFONE_GER_HTML=0\nTIPO_PIX=1\nPIX=\n"),
             after.constData());
    // The mark lasts: a later window closed untouched still writes what it shows (the key type
    // out of the list shows nothing chosen: -1).
    QFile file(config());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(after)
                   .replace("TIPO_PIX=1", "TIPO_PIX=7")
                   .replace("PIX=\r\n", "PIX=12345678909\r\n")
                   .replace("PIX=\n", "PIX=12345678909\n"));
    file.close();
    {
        Window w(*inst);
        QCOMPARE(w.child<QComboBox>("CMB_TIPO_PIX")->currentIndex(), -1);
        QCOMPARE(w.child<QLineEdit>("ED_PIX")->text(), QStringLiteral("12345678909"));
        w.pickWithKeys("CMB_TELEFONE", 1);
        QCOMPARE(w.child<QComboBox>("CMB_TELEFONE")->currentIndex(), 1);
        closeWithEsc(w);
    }
    after = readFile(config());
    QVERIFY2(after.contains("FONE_GER_HTML=1") && after.contains("TIPO_PIX=-1") &&
                 after.contains("PIX=12345678909"),
             after.constData());
    {
        Window w(*inst);
        QCOMPARE(w.child<QComboBox>("CMB_TELEFONE")->currentIndex(), 1);
        w.typeInto("ED_PIX", QStringLiteral("98765432100"));
        closeWithEsc(w);
    }
    QVERIFY(readFile(config()).contains("PIX=98765432100"));
}

void TestSalesPageSettings::withoutConfigNoPhoneIsChosen() {
    QVERIFY(QFile::remove(config()));
    Window w(*inst);
    QComboBox *phones = w.child<QComboBox>("CMB_TELEFONE");
    QCOMPARE(phones->count(), 2);
    QCOMPARE(phones->currentIndex(), -1);
    QCOMPARE(w.child<QComboBox>("CMB_TIPO_PIX")->currentText(), QStringLiteral("Celular"));
    closeWithEsc(w);
    QVERIFY(!QFile::exists(config()));
}

void TestSalesPageSettings::pixRecipientIsKept() {
    const QByteArray before = readFile(config());
    {
        Window w(*inst);
        QCOMPARE(w.child<QLineEdit>("ED_NomeRecebedor")->text(), QString());
        w.typeInto("ED_NomeRecebedor", QStringLiteral("Associação da Rifa"));
        w.typeInto("ED_CidadeRecebedor", QStringLiteral("São Paulo"));
        closeWithEsc(w);
    }
    const QByteArray after = readFile(config());
    QVERIFY(after.startsWith(before));
    // Windows-1252 in the file, as every value of config.ini.
    QVERIFY2(after.contains("PIX_NOME=Associa\xE7\xE3o da Rifa") && after.contains("PIX_CIDADE=S\xE3o Paulo"),
             after.constData());
    Window w(*inst);
    QCOMPARE(w.child<QLineEdit>("ED_NomeRecebedor")->text(), QStringLiteral("Associação da Rifa"));
    QCOMPARE(w.child<QLineEdit>("ED_CidadeRecebedor")->text(), QStringLiteral("São Paulo"));
}

KORVANTE_TEST(TestSalesPageSettings)
#include "TestSalesPageSettings.moc"
