#include "data/CachedTable.h"
#include "data/DatabaseFiles.h"
#include "data/DatabaseLocation.h"
#include "data/TDM.h"
#include "support/TestFirebirdServer.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include "platform/ProfileFile.h"
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// config.ini, the two connections, cached edits and the print-database copy of a raffle.
class TestConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingConfigIsCreatedAndLocalFilesUsed();
    void shareTextAndMessage_data();
    void shareTextAndMessage();
    void namedServerIsReached();
    void unreachableServerFallsBackToLocalFiles();
    void configWithUtf8MarkIsReadAndKeptUtf8();
    void readmeExampleWorksWhenCopied();
    void serverThatNeverAnswersIsGivenUp();
    void missingDatabaseEndsStartUp();
    void cachedEditsApply();
    void cachedEditsFailWhenRowChangedMeanwhile();
    void raffleRowIsCopiedToPrintDatabase();
    void printCopyFailureIsSilent();

private:
    // The five raffle rows, in slot order, as the registration window holds them.
    static void openRaffles(TestInstallation &inst, CachedTable &t) {
        QString error;
        QVERIFY2(t.open(inst.tdm->CONEX_R(), QStringLiteral("CADASTRO"),
                        QStringLiteral("select * from CADASTRO order by CODRIFA"), {}, &error),
                 qPrintable(error));
    }
    static void writeConfig(const QString &path, const QByteArray &content) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
};

void TestConnection::missingConfigIsCreatedAndLocalFilesUsed() {
    TestInstallation inst;
    QVERIFY(!QFile::exists(inst.file(QStringLiteral("config.ini"))));
    QVERIFY2(inst.openTdm(), qPrintable(inst.error()));
    QFile ini(inst.file(QStringLiteral("config.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), QByteArray("[BANCO]\r\nNOME_SERVIDOR=\r\nCAMINHO_BD_MAQ=\r\n"));
    QCOMPARE(inst.tdm->mainPath(), inst.file(QStringLiteral("CRF.XML")));
    QCOMPARE(inst.tdm->printPath(), inst.file(QStringLiteral("ID_BASE.FDB")));
    QVERIFY(inst.tdm->CONEX_R().isOpen());
    QVERIFY(inst.tdm->CONEX_PRINT().isOpen());
    QCOMPARE(inst.tdm->CONEX_R().connectionName(), QStringLiteral("KORVANTE"));
    QCOMPARE(inst.tdm->CONEX_PRINT().connectionName(), QStringLiteral("BaseRifaPRN"));
    QVERIFY(inst.dialogs.shown.isEmpty());
}

void TestConnection::shareTextAndMessage_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("share");
    QTest::addColumn<QString>("connection");
    QTest::newRow("drive letter") << "C:\\Rifas"
                                  << "Rifas"
                                  << "SRV:C:\\Rifas\\CRF.XML";
    QTest::newRow("deeper folder") << "D:\\Dados\\Rifas\\"
                                   << "Dados\\Rifas\\"
                                   << "SRV:D:\\Dados\\Rifas\\CRF.XML";
    QTest::newRow("no colon starts at second character") << "Rifas"
                                                         << "ifas"
                                                         << "SRV:Rifas/CRF.XML";
    QTest::newRow("unix folder") << "/srv/rifas"
                                 << "srv/rifas"
                                 << "SRV:/srv/rifas/CRF.XML";
}

void TestConnection::shareTextAndMessage() {
    QFETCH(QString, folder);
    QFETCH(QString, share);
    QFETCH(QString, connection);
    const DatabaseLocation loc{QStringLiteral("SRV"), folder};
    QCOMPARE(loc.shareText(), share);
    QCOMPARE(loc.serverMainPath(), connection);
    QCOMPARE(loc.serverPrintPath(),
             QString(connection).replace(QStringLiteral("CRF.XML"), QStringLiteral("ID_BASE.FDB")));
    QCOMPARE(loc.unreachableMessage(),
             QStringLiteral("Não foi possível conectar ao Banco de Dados neste Caminho:\\\\SRV\\") + share +
                 QStringLiteral(
                     "\\CRF.XML\r\rO Sistema vai conectar a Base de Dados Local. Depois, analise essa "
                     "comunicação em REDE com a base que está tentando Conexão. Veja se o Mesmo está com "
                     "todas as permissões de Administrador para Leitura/Gravação Total para TODOS os "
                     "Usuários!"));
}

void TestConnection::namedServerIsReached() {
    TestFirebirdServer server;
    QString error;
    // The server's databases are made before it starts: never two engines on one file at once.
    QVERIFY2(DatabaseFiles::createInFolder(server.dataFolder(), &error), qPrintable(error));
    QVERIFY2(server.start(&error), qPrintable(error));
    TestInstallation inst;
    writeConfig(inst.file(QStringLiteral("config.ini")),
                QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=%2\r\n")
                    .arg(server.connectionHost(), server.dataFolder())
                    .toLocal8Bit());
    QVERIFY2(inst.openTdm(), qPrintable(inst.error()));
    QVERIFY(inst.dialogs.shown.isEmpty());
    QCOMPARE(inst.tdm->mainPath(),
             server.connectionHost() + u':' + server.dataFolder() + QStringLiteral("/CRF.XML"));
    QCOMPARE(inst.tdm->printPath(),
             server.connectionHost() + u':' + server.dataFolder() + QStringLiteral("/ID_BASE.FDB"));
    QVERIFY(inst.exec(QStringLiteral("update CADASTRO set NOME_RIFA=? where CODRIFA=1"),
                      {QStringLiteral("NA REDE")}));
    QSqlQuery p(inst.tdm->CONEX_PRINT());
    QVERIFY(p.exec(QStringLiteral("insert into TAB_PRN (NUMBILHETE) values (5)")));
    inst.tdm.reset();
    server.stop();

    // The writes went to the server's files, not to the local ones.
    QVERIFY(TDM::openConnection(QStringLiteral("check"), server.dataFolder() + QStringLiteral("/CRF.XML"),
                                &error));
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("check")));
        QVERIFY(q.exec(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=1")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("NA REDE"));
    }
    QSqlDatabase::database(QStringLiteral("check")).close();
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    writeConfig(inst.file(QStringLiteral("config.ini")), "[BANCO]\r\nNOME_SERVIDOR=\r\nCAMINHO_BD_MAQ=\r\n");
    QVERIFY(inst.openTdm());
    QCOMPARE(inst.scalar(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=1")).toString(),
             QStringLiteral("RIFA 1"));
}

void TestConnection::unreachableServerFallsBackToLocalFiles() {
    TestInstallation inst;
    // Nothing listens on port 1 of the loopback: the attach is refused at once.
    writeConfig(inst.file(QStringLiteral("config.ini")),
                "[BANCO]\r\nNOME_SERVIDOR=127.0.0.1/1\r\nCAMINHO_BD_MAQ=C:\\Rifas\r\n");
    inst.dialogs.expectMessage(
        QStringLiteral(
            "Não foi possível conectar ao Banco de Dados neste Caminho:\\\\127.0.0.1/1\\Rifas\\CRF.XML\r\r"
            "O Sistema vai conectar a Base de Dados Local. Depois, analise essa comunicação em REDE com a "
            "base que está tentando Conexão. Veja se o Mesmo está com todas as permissões de "
            "Administrador para Leitura/Gravação Total para TODOS os Usuários!"),
        BoxIcon::Warning);
    QVERIFY2(inst.openTdm(), qPrintable(inst.error()));
    QVERIFY(inst.dialogs.scriptDone());
    QCOMPARE(inst.tdm->mainPath(), inst.file(QStringLiteral("CRF.XML")));
    QCOMPARE(inst.count(QStringLiteral("CADASTRO")), 5);
}

namespace {
const QString kUnreachableTail = QStringLiteral(
    "\\CRF.XML\r\rO Sistema vai conectar a Base de Dados Local. Depois, analise essa comunicação em REDE "
    "com a base que está tentando Conexão. Veja se o Mesmo está com todas as permissões de Administrador "
    "para Leitura/Gravação Total para TODOS os Usuários!");
QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void TestConnection::configWithUtf8MarkIsReadAndKeptUtf8() {
    TestInstallation inst;
    const QString ini = inst.file(QStringLiteral("config.ini"));
    // As a Windows editor saves it: the mark, then UTF-8 text.
    writeConfig(ini, "\xEF\xBB\xBF[BANCO]\r\nNOME_SERVIDOR=127.0.0.1/1\r\nCAMINHO_BD_MAQ=C:\\Rifas\r\n"
                     "[EXTRA]\r\nPIX=joão@rifas\r\n");
    // The server is recognised (and found unreachable), not silently skipped for the local files.
    inst.dialogs.expectMessage(
        QStringLiteral("Não foi possível conectar ao Banco de Dados neste Caminho:\\\\127.0.0.1/1\\Rifas") +
            kUnreachableTail,
        BoxIcon::Warning);
    QVERIFY2(inst.openTdm(), qPrintable(inst.error()));
    QVERIFY(inst.dialogs.scriptDone());

    ProfileFile config(ini);
    QCOMPARE(config.readString(QStringLiteral("EXTRA"), QStringLiteral("PIX")), QStringLiteral("joão@rifas"));
    QVERIFY(config.writeString(QStringLiteral("EXTRA"), QStringLiteral("PIX"), QStringLiteral("ação@rifas")));
    QCOMPARE(readAll(ini), QByteArray("\xEF\xBB\xBF[BANCO]\r\nNOME_SERVIDOR=127.0.0.1/1\r\n"
                                      "CAMINHO_BD_MAQ=C:\\Rifas\r\n[EXTRA]\r\nPIX=a\xC3\xA7\xC3\xA3o@rifas\r\n"));

    // A file without the mark stays Windows-1252.
    writeConfig(ini, "[EXTRA]\r\nPIX=jo\xE3o\r\n");
    QCOMPARE(config.readString(QStringLiteral("EXTRA"), QStringLiteral("PIX")), QStringLiteral("joão"));
    QVERIFY(config.writeString(QStringLiteral("EXTRA"), QStringLiteral("TIPO_PIX"), QStringLiteral("2")));
    QCOMPARE(readAll(ini), QByteArray("[EXTRA]\r\nPIX=jo\xE3o\r\nTIPO_PIX=2\r\n"));
}

void TestConnection::readmeExampleWorksWhenCopied() {
    const QString readme = QString::fromUtf8(readAll(QStringLiteral(KORVANTE_SOURCE_DIR "/README.md")));
    QString example;
    const QRegularExpression block(QStringLiteral("```ini\n(.*?)```"),
                                   QRegularExpression::DotMatchesEverythingOption);
    for (auto it = block.globalMatch(readme); it.hasNext();) {
        const QString text = it.next().captured(1);
        if (text.contains(QLatin1String("NOME_SERVIDOR=servidor"))) example = text;
    }
    QVERIFY2(!example.isEmpty(), "the README shows a config.ini for a server");
    TestInstallation inst(false);
    writeConfig(inst.file(QStringLiteral("config.ini")), example.toUtf8());
    const DatabaseLocation loc = DatabaseLocation::fromConfig(inst.folder());
    QCOMPARE(loc.server, QStringLiteral("servidor"));
    QCOMPARE(loc.serverFolder, QStringLiteral("C:\\Rifas"));

    // As in Windows, a ';' inside a value belongs to it (it is legal in a path).
    writeConfig(inst.file(QStringLiteral("config.ini")),
                "[BANCO]\r\n; the server\r\nNOME_SERVIDOR=srv\r\nCAMINHO_BD_MAQ=C:\\Rifas;2026\r\n");
    const DatabaseLocation withSemicolon = DatabaseLocation::fromConfig(inst.folder());
    QCOMPARE(withSemicolon.server, QStringLiteral("srv"));
    QCOMPARE(withSemicolon.serverFolder, QStringLiteral("C:\\Rifas;2026"));
}

void TestConnection::serverThatNeverAnswersIsGivenUp() {
    // A server that takes the connection and then says nothing.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    TestInstallation inst;
    const QString server = QStringLiteral("127.0.0.1/%1").arg(silent.serverPort());
    writeConfig(inst.file(QStringLiteral("config.ini")),
                QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=C:\\Rifas\r\n").arg(server).toLatin1());
    inst.dialogs.expectMessage(QStringLiteral("Não foi possível conectar ao Banco de Dados neste Caminho:\\\\") +
                                   server + QStringLiteral("\\Rifas") + kUnreachableTail,
                               BoxIcon::Warning);
    inst.tdm = std::make_unique<TDM>(inst.folder(), inst.dialogs);
    inst.tdm->setServerWait(2);
    QStringList notices;
    inst.tdm->setConnectingNotice([&](bool connecting, const QString &name) {
        notices << (connecting ? QStringLiteral("conectando ") : QStringLiteral("fim ")) + name;
    });
    QElapsedTimer clock;
    clock.start();
    QString error;
    QVERIFY2(inst.tdm->open(&error), qPrintable(error));
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(inst.dialogs.scriptDone());
    QCOMPARE(notices, QStringList({QStringLiteral("conectando ") + server, QStringLiteral("fim ") + server}));
    QCOMPARE(inst.tdm->mainPath(), inst.file(QStringLiteral("CRF.XML")));
    QCOMPARE(inst.count(QStringLiteral("CADASTRO")), 5);
}

void TestConnection::missingDatabaseEndsStartUp() {
    TestInstallation inst(false);
    TDM tdm(inst.folder(), inst.dialogs);
    QString error;
    QVERIFY(!tdm.open(&error));
    QVERIFY2(error.contains(QStringLiteral("CRF.XML")), qPrintable(error));
}

void TestConnection::cachedEditsApply() {
    TestInstallation inst;
    QVERIFY(inst.openTdm());
    CachedTable t(QStringLiteral("CDS_CADASTRO"));
    QString error;
    openRaffles(inst, t);
    QCOMPARE(t.rowCount(), 5);
    t.setValue(1, QStringLiteral("NOME_RIFA"), QStringLiteral("RIFA DO CARRO 😀"));
    t.setValue(1, QStringLiteral("VLR_RIFA"), 12.5);
    t.setValue(3, QStringLiteral("DATA_EVENTO"), QDate(2027, 3, 30));
    t.setValue(3, QStringLiteral("TEXTO_BASICO"), QByteArray("{\\rtf1 x}"));
    QVERIFY(t.isModified());
    QVERIFY2(t.applyUpdates(&error), qPrintable(error));
    QVERIFY(!t.isModified());
    QCOMPARE(inst.scalar(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=2")).toString(),
             QStringLiteral("RIFA DO CARRO ?"));
    QCOMPARE(inst.scalar(QStringLiteral("select VLR_RIFA from CADASTRO where CODRIFA=2")).toDouble(), 12.5);
    QCOMPARE(inst.scalar(QStringLiteral("select DATA_EVENTO from CADASTRO where CODRIFA=4")).toDate(),
             QDate(2027, 3, 30));
    // A second edit of the same rows finds them by the values just written.
    t.setValue(3, QStringLiteral("DATA_EVENTO"), QVariant());
    QVERIFY2(t.applyUpdates(&error), qPrintable(error));
    QVERIFY(inst.scalar(QStringLiteral("select DATA_EVENTO from CADASTRO where CODRIFA=4")).isNull());
}

void TestConnection::cachedEditsFailWhenRowChangedMeanwhile() {
    TestInstallation inst;
    QVERIFY(inst.openTdm());
    CachedTable t(QStringLiteral("CDS_CADASTRO"));
    QString error;
    openRaffles(inst, t);
    // Another computer changes raffle 3 after we read it.
    QVERIFY(inst.execElsewhere(QStringLiteral("update CADASTRO set LINK_SORT='outro' where CODRIFA=3")));

    t.setValue(0, QStringLiteral("NOME_RIFA"), QStringLiteral("PRIMEIRA"));
    t.setValue(2, QStringLiteral("NOME_RIFA"), QStringLiteral("TERCEIRA"));
    QVERIFY(!t.applyUpdates(&error));
    QVERIFY(error.contains(QStringLiteral("alterado ou excluído por outro usuário")));
    // Nothing was written, not even the row that nobody else touched.
    QCOMPARE(inst.scalar(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=1")).toString(),
             QStringLiteral("RIFA 1"));
    QCOMPARE(inst.scalar(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=3")).toString(),
             QStringLiteral("RIFA 3"));
    QVERIFY(t.isModified()); // the edits are kept for the user
}

void TestConnection::raffleRowIsCopiedToPrintDatabase() {
    TestInstallation inst;
    QVERIFY(inst.openTdm());
    QVERIFY(inst.exec(
        QStringLiteral("update CADASTRO set NOME_RIFA=?, VLR_RIFA=?, DATA_EVENTO=?, TEXTO_BASICO=?, "
                       "MODALIDADE=? where CODRIFA=2"),
        {QStringLiteral("AÇÃO ENTRE AMIGOS"), 7.5, QDate(2027, 1, 2), QByteArray("{\\rtf1 ab}"),
         QStringLiteral("0000 - 9999")}));
    QString error;
    QVERIFY(inst.tdm->loadRaffleRow(2, &error));
    inst.tdm->AtualCadBaseID(inst.tdm->CDS_RIfaUSar.record());
    QSqlQuery p(inst.tdm->CONEX_PRINT());
    QVERIFY(p.exec(QStringLiteral("select NOME_RIFA, VLR_RIFA, DATA_EVENTO, TEXTO_BASICO, MODALIDADE from "
                                  "cadastro_temp where CODRIFA=2")));
    QVERIFY(p.next());
    QCOMPARE(p.value(0).toString(), QStringLiteral("AÇÃO ENTRE AMIGOS"));
    QCOMPARE(p.value(1).toDouble(), 7.5);
    QCOMPARE(p.value(2).toDate(), QDate(2027, 1, 2));
    QCOMPARE(p.value(3).toByteArray(), QByteArray("{\\rtf1 ab}"));
    QCOMPARE(p.value(4).toString(), QStringLiteral("0000 - 9999"));
    QVERIFY(p.exec(QStringLiteral("select count(*) from cadastro_temp where NOME_RIFA is not null")));
    QVERIFY(p.next());
    QCOMPARE(p.value(0).toInt(), 1);
}

void TestConnection::printCopyFailureIsSilent() {
    TestInstallation inst;
    QVERIFY(inst.openTdm());
    QString error;
    QVERIFY(inst.tdm->loadRaffleRow(1, &error));
    inst.tdm->CONEX_PRINT().close();
    inst.tdm->AtualCadBaseID(inst.tdm->CDS_RIfaUSar.record()); // no box, no crash
    QVERIFY(inst.dialogs.shown.isEmpty());
}

KORVANTE_TEST(TestConnection)
#include "TestConnection.moc"
