#include "data/DatabaseFiles.h"
#include "data/FirebirdClient.h"
#include "data/TDM.h"
#include "platform/EngineErrors.h"
#include "support/ProgramProcesses.h"
#include "support/TestFirebirdServer.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <thread>

// The engine's errors reach a person in Portuguese first, with its own text as a detail after.
class TestEngineErrors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void realConditionsAreExplained_data();
    void realConditionsAreExplained();
    void secondProgramInTheSameFolder();
    void serverRefusesThePassword();
    void twoComputersWriteTheSameRow();
    void conditionsKnownByTheirCode_data();
    void conditionsKnownByTheirCode();
    void messagesKeepTheirOwnPrefix();

private:
    static QString meaningOf(quint32 code, const char *phrase);
    std::unique_ptr<TestInstallation> inst;
};

QString TestEngineErrors::meaningOf(quint32 code, const char *phrase) {
    for (const EngineErrors::Known &k : EngineErrors::table())
        if (k.code == code && QByteArray(k.phrase) == phrase) return QString::fromUtf8(k.meaning);
    return {};
}

void TestEngineErrors::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
}

void TestEngineErrors::realConditionsAreExplained_data() {
    QTest::addColumn<QVariant>("name"); // bound as it stands, past the program's own conversion
    QTest::addColumn<QString>("told");
    QTest::newRow("longer than the column") << QVariant(QString(36, u'A')) << "Um texto é mais longo";
    QTest::newRow("a character the code page lacks")
        << QVariant(QStringLiteral("RIFA \U0001F600")) << "Um texto tem caracteres que o banco de dados não aceita";
}

void TestEngineErrors::realConditionsAreExplained() {
    QFETCH(QVariant, name);
    QFETCH(QString, told);
    QSqlQuery q(inst->tdm->CONEX_R());
    q.prepare(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA=? WHERE CODRIFA=1"));
    q.addBindValue(name);
    QVERIFY(!q.exec());
    const QString engine = q.lastError().text();
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    inst->dialogs.error(QStringLiteral("Erro ao gravar os dados da Rifa. Detalhe do Erro: ") + engine);
    const QString shown = inst->dialogs.shown.last().text;
    QVERIFY2(shown.startsWith(QStringLiteral("Erro ao gravar os dados da Rifa. Detalhe do Erro: ") + told),
             qPrintable(shown));
    QVERIFY2(shown.endsWith(QStringLiteral("\n\nDetalhe técnico: ") + engine), qPrintable(shown));
    inst->dialogs.clear();
}

void TestEngineErrors::secondProgramInTheSameFolder() {
    TestInstallation folder(false);
    QProcess tool;
    tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("criar"), folder.folder()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QString korvante = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), folder.folder());
    QProcess first;
    first.start(korvante, {});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        ProgramProcesses::openFiles(first.processId()).contains(folder.file(QStringLiteral("CRF.XML"))), 30000);
    // This process is the second program on the same folder.
    QString error;
    const bool opened = TDM::openConnection(QStringLiteral("SECOND"), folder.file(QStringLiteral("CRF.XML")), &error);
    QSqlDatabase::removeDatabase(QStringLiteral("SECOND"));
    first.terminate();
    QVERIFY(first.waitForFinished(30000));
    QVERIFY(!opened);
    const QString shown = EngineErrors::forPerson(error);
    QVERIFY2(shown.startsWith(QStringLiteral("O KORVANTE já está aberto nesta pasta")), qPrintable(shown));
    QVERIFY2(shown.endsWith(error), qPrintable(shown));
}

void TestEngineErrors::serverRefusesThePassword() {
    TestFirebirdServer server;
    QString error;
    QVERIFY2(DatabaseFiles::createInFolder(server.dataFolder(), &error), qPrintable(error));
    QVERIFY2(server.start(&error), qPrintable(error));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("WRONG"));
        db.setDatabaseName(server.connectionHost() + u':' + server.dataFolder() + QStringLiteral("/CRF.XML"));
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setPassword(QStringLiteral("outra-senha"));
        QVERIFY(!db.open());
        error = db.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("WRONG"));
    const QString shown = EngineErrors::forPerson(error);
    QVERIFY2(shown.startsWith(QStringLiteral("O servidor de banco de dados recusou o usuário e a senha")),
             qPrintable(shown));
}

void TestEngineErrors::twoComputersWriteTheSameRow() {
    // This computer holds the raffle's row in a transaction; another one writes the same row meanwhile
    // and meets the lock when this one commits.
    QSqlDatabase here = inst->tdm->CONEX_R();
    QVERIFY(here.transaction());
    QSqlQuery mine(here);
    QVERIFY(mine.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DAQUI' WHERE CODRIFA=1")));
    QString error;
    bool written = true;
    std::thread elsewhere([&] {
        {
            QString openError;
            if (!TDM::openConnection(QStringLiteral("ELSEWHERE"), inst->file(QStringLiteral("CRF.XML")), &openError)) {
                error = openError;
                return;
            }
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("ELSEWHERE"));
            db.transaction();
            QSqlQuery q(db);
            written = q.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DE LA' WHERE CODRIFA=1"));
            if (!written) error = q.lastError().text();
            db.rollback();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("ELSEWHERE"));
    });
    QTest::qWait(1500); // the other write waits for the row
    QVERIFY(here.commit());
    elsewhere.join();
    QVERIFY2(!written, "the second write went through");
    QVERIFY2(error.contains(QStringLiteral("conflict")), qPrintable(error));
    const QString prefix = QStringLiteral("Erro ao Validar. Detalhe do Erro: ");
    const QString shown = EngineErrors::forPerson(prefix + error);
    QVERIFY2(shown.startsWith(prefix + QStringLiteral("Outro computador")), qPrintable(shown));
    QVERIFY2(shown.endsWith(QStringLiteral("\n\nDetalhe técnico: ") + error), qPrintable(shown));
}

void TestEngineErrors::conditionsKnownByTheirCode_data() {
    // Conditions this machine cannot make for a test (CI runs as root): the engine's own texts.
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("full disk") << "I/O error during \"write\" operation for file \"/media/pen/CRF.XML\" - Error "
                                  "while trying to write to file - No space left on device"
                               << meaningOf(335544344, "No space left on device");
    QTest::newRow("read-only folder") << "I/O error during \"open\" operation for file \"/dados/CRF.XML\" - Error "
                                         "while trying to open file - Permission denied"
                                      << meaningOf(335544344, "Permission denied");
    QTest::newRow("read-only database") << "attempted update on read-only database"
                                        << meaningOf(335544765, "attempted update on read-only database");
    QTest::newRow("lock conflict") << "lock conflict on no wait transaction - deadlock - update conflicts with "
                                      "concurrent update - concurrent transaction number is 812"
                                   << meaningOf(335544345, "lock conflict on no wait transaction");
    QTest::newRow("server not reachable")
        << "Unable to complete network request to host \"servidor\". - Failed to establish a connection."
        << meaningOf(335544721, "Unable to complete network request to host");
}

void TestEngineErrors::conditionsKnownByTheirCode() {
    QFETCH(QString, engine);
    QFETCH(QString, meaning);
    QVERIFY(!meaning.isEmpty());
    QCOMPARE(EngineErrors::forPerson(engine), meaning + QStringLiteral("\n\nDetalhe técnico: ") + engine);
}

void TestEngineErrors::messagesKeepTheirOwnPrefix() {
    // A message of the program's own, with no engine error inside, is shown as it is.
    const QString own = QStringLiteral("Erro ao Validar. Detalhe do Erro: O Bilhete [33] não existe na tabela BS2_100G.");
    QCOMPARE(EngineErrors::forPerson(own), own);
    // Explained once only, however many times it passes.
    const QString once = EngineErrors::forPerson(QStringLiteral("Erro ao Validar. Detalhe do Erro: deadlock"));
    QCOMPARE(EngineErrors::forPerson(once), once);
}

KORVANTE_TEST(TestEngineErrors)
#include "TestEngineErrors.moc"
