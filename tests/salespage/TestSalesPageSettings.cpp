#include "salespage/SalesPageFixture.h"
#include "support/TestRegistry.h"

#include <QFile>

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
    void laterKeyKindsKeepTheirIndex_data();
    void laterKeyKindsKeepTheirIndex();

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

void TestSalesPageSettings::laterKeyKindsKeepTheirIndex_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal"); // at "Gerar Arquivo HTML"; empty: the page is written
    QTest::newRow("CNPJ") << 3 << "CNPJ"
                          << "12.abc/345 01de-35!"
                          << "12ABC34501DE35" << QString();
    QTest::newRow("CNPJ with a wrong check digit")
        << 3 << "CNPJ"
        << "12abc34501de36"
        << "12ABC34501DE36"
        << "A chave PIX informada não é um CNPJ válido: confira os 14 caracteres do CNPJ.";
    QTest::newRow("random key") << 4 << "Chave aleatória"
                                << "123E4567-E89B-12D3-A456-426614174000 xyz"
                                << "123e4567-e89b-12d3-a456-426614174000" << QString();
    QTest::newRow("random key in other groups")
        << 4 << "Chave aleatória"
        << "123e4567e89b-12d3-a456-426614174000-"
        << "123e4567e89b-12d3-a456-426614174000-"
        << "A Chave aleatória deve ter 36 caracteres no formato 8-4-4-4-12: números, letras de a até f e "
           "hífens, como o banco mostra.";
}

// "CNPJ" and "Chave aleatória" follow the first three kinds, so a stored TIPO_PIX keeps its meaning;
// the key field takes only what the kind's keys are made of, written as the bank writes them.
void TestSalesPageSettings::laterKeyKindsKeepTheirIndex() {
    QFETCH(int, index);
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);
    {
        Window w(*inst);
        auto *kinds = w.child<QComboBox>("CMB_TIPO_PIX");
        QCOMPARE(kinds->count(), 5);
        QCOMPARE(kinds->itemText(2), QStringLiteral("E-mail"));
        for (int i = 0; i < index; ++i)
            inst->dialogs.expectMessage(QStringLiteral("selecionou"), BoxIcon::None);
        w.pickWithKeys("CMB_TIPO_PIX", index);
        QCOMPARE(kinds->currentText(), kind);
        w.typeInto("ED_PIX", typed);
        QCOMPARE(w.child<QLineEdit>("ED_PIX")->text(), shown);
        w.list(2, QStringLiteral("1"), QStringLiteral("5"));
        const QString page = inst->file(QStringLiteral("RifaWhatsApp/HTML/vendorifas.html"));
        if (refusal.isEmpty())
            inst->dialogs.expectMessage(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."),
                                        BoxIcon::Information);
        else
            inst->dialogs.expectMessage(refusal, BoxIcon::Error);
        w.click("BTN_Gerar");
        QVERIFY(inst->dialogs.scriptDone());
        QCOMPARE(QFile::exists(page), refusal.isEmpty());
        if (refusal.isEmpty()) {
            // The page names the kind and shows the whole key.
            const QString html = QString::fromLatin1(readFile(page));
            QVERIFY(html.contains(QStringLiteral("<b>%1: </b><textarea id=\"ChavePix\" readonly rows=\"1\" "
                                                 "cols=\"%2\"")
                                      .arg(kind.toHtmlEscaped())
                                      .arg(qMax(20, int(shown.size())))));
            QVERIFY(html.contains(u'>' + shown + QStringLiteral("</textarea>")));
        }
        closeWithEsc(w);
    }
    const QString ini = QString::fromLatin1(readFile(config()));
    QVERIFY2(ini.contains(QStringLiteral("TIPO_PIX=%1\r\n").arg(index)), qPrintable(ini));
    Window again(*inst);
    QCOMPARE(again.child<QComboBox>("CMB_TIPO_PIX")->currentText(), kind);
    QCOMPARE(again.child<QLineEdit>("ED_PIX")->text(), shown);
}

KORVANTE_TEST(TestSalesPageSettings)
#include "TestSalesPageSettings.moc"
