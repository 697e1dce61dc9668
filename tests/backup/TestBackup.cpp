#include "backup/TForm_BACK_REST.h"
#include "data/DatabaseFiles.h"
#include "mainwindow/TForm_RIFA.h"
#include "support/TestFirebirdServer.h"
#include "support/ProgramProcesses.h"
#include "support/RaffleChooser.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <thread>

namespace {

const QString kStamp = QStringLiteral("10/12/2026 ás 10:00"); // the test clock's moment
const QString kRestored = QStringLiteral("Restauração do(s) arquivo(s): BackupCRF.XML\r e BackupID_BASE.FDB "
                                         "realizado com Sucesso. Feche a aplicação e reabra!");
const QString kRefusedPrefix =
    QStringLiteral(" não é uma cópia íntegra da base de dados e nada foi restaurado. O "
                   "sistema continua com as bases de dados atuais.\r\rDetalhe do Erro: ");

bool canWrite(const QString &folder) {
    QFile probe(QDir(folder).filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly)) return false;
    probe.close();
    probe.remove();
    return true;
}

// A folder that cannot be written into, also when the tests run as the superuser.
class ReadOnlyFolder {
public:
    ReadOnlyFolder() {
        m_path = m_dir.filePath(QStringLiteral("protegido"));
        QDir().mkpath(m_path);
        QFile::setPermissions(m_path,
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
        if (canWrite(m_path)) m_immutable = QProcess::execute(QStringLiteral("chattr"), {"+i", m_path}) == 0;
        // Last resort: a folder of the system that nobody can write into.
        if (canWrite(m_path)) m_path = QStringLiteral("/proc");
    }
    ~ReadOnlyFolder() {
        if (m_immutable) QProcess::execute(QStringLiteral("chattr"), {"-i", m_dir.filePath("protegido")});
        QFile::setPermissions(m_dir.filePath("protegido"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_immutable = false;
};

// Opens a database file on a connection of its own, as another program would, and reads one value.
QVariant readElsewhere(const QString &file, const QString &sql) {
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("probe"));
        db.setDatabaseName(file);
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setPassword(QStringLiteral("quillmoss"));
        if (db.open()) {
            {
                QSqlQuery q(db); // its transaction ends with it, before the detach
                if (q.exec(sql) && q.next()) value = q.value(0);
            }
            db.close();
        } else {
            qWarning() << "cannot open" << file << db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return value;
}

QStringList filesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

// The backup window: destinations, backups that are verified, restores that never leave a broken database.
class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void destinationsAreAddedAndRemoved();
    void backupCountsOnlyVerifiedCopies_data();
    void backupCountsOnlyVerifiedCopies();
    void backupWorksEveryTimeInOneRun();
    void goodBackupRestoresAfterARefusedOne();
    void restoreBringsBackTheBackedUpRows();
    void damagedBackupIsRefusedBeforeAnythingIsReplaced_data();
    void damagedBackupIsRefusedBeforeAnythingIsReplaced();
    void restoreNeedsBothFiles();
    void leftoversOfAKilledRunAreRemovedAtStart();
    void serverBackupHoldsTheSalesWhileOthersSell();
    void menuOpensTheWindowWithoutARaffle();

private:
    template <typename T = QWidget> T *w(const char *name) {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void click(const char *name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    QStringList column(int c) {
        QStringList values;
        auto *grid = w<QTableWidget>("DBGrid1");
        for (int r = 0; r < grid->rowCount(); ++r)
            values << grid->item(r, c)->text();
        return values;
    }
    void addDestinationRow(const QString &path) {
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO BACKUP (CAMINHO) VALUES (?)"), {path}));
    }
    void openWindow() {
        form = std::make_unique<TForm_BACK_REST>(inst->services());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void backupNow(const QString &message, BoxIcon icon) {
        click("BitBtn7");
        inst->dialogs.expectMessage(message, icon);
        click("BitBtn1");
    }
    void chooseRestoreFolder(const QString &folder);
    QString sellerNames() {
        QStringList names;
        QSqlQuery q(inst->tdm->CONEX_R());
        if (!q.exec(QStringLiteral("SELECT NOME_VEND FROM CAD_VENDEDOR ORDER BY NOME_VEND")))
            return q.lastError().text();
        while (q.next())
            names << q.value(0).toString();
        return names.join(u',');
    }

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_BACK_REST> form;
};

void TestBackup::init() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('ANTES')")));
}

void TestBackup::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
    inst.reset();
}

void TestBackup::chooseRestoreFolder(const QString &folder) {
    click("BitBtn8");
    QVERIFY(w("Panel_Restaurar")->isVisible());
    QVERIFY(!w("Panel_Principal")->isVisible());
    auto *tree = w<QTreeView>("DirectoryListBox1");
    auto *model = qobject_cast<QFileSystemModel *>(tree->model());
    const QString path = QDir(folder).canonicalPath();
    tree->scrollTo(model->index(path)); // as a person scrolls down to it
    QTRY_VERIFY(!tree->visualRect(model->index(path)).isEmpty());
    tree->scrollTo(model->index(path));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(model->index(path)).center());
    QCOMPARE(form->restoreFolder(), path);
}

void TestBackup::destinationsAreAddedAndRemoved() {
    QTemporaryDir pen;
    openWindow();
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE"));
    QCOMPARE(form->size(), QSize(571, 291));
    QVERIFY(w("Panel_Principal")->isVisible());
    click("BitBtn7");
    QVERIFY(!w("Panel_Principal")->isVisible());

    click("Button2");
    QVERIFY(w("Panel_Novo")->isVisible());
    inst->dialogs.expectMessage(
        QStringLiteral("O caminho informado não existe ou não está disponível no momento!"), BoxIcon::Error);
    QTest::keyClicks(w("Ed_caminho"), pen.filePath(QStringLiteral("nao-existe")));
    click("Button3");
    QCOMPARE(inst->count(QStringLiteral("BACKUP")), 0);
    QCOMPARE(form->focusWidget(), w("Ed_caminho"));

    w<QLineEdit>("Ed_caminho")->selectAll();
    QTest::keyClicks(w("Ed_caminho"), pen.path());
    inst->dialogs.expectMessage(QStringLiteral("Caminho adicionado com Sucesso!"), BoxIcon::Information);
    click("Button3");
    QVERIFY(!w("Panel_Novo")->isVisible());
    QCOMPARE(inst->scalar(QStringLiteral("SELECT CAMINHO FROM BACKUP")).toString(), pen.path());
    QCOMPARE(column(0), QStringList{pen.path()});

    // The same folder twice could not be told apart when its status is written.
    click("Button2");
    QTest::keyClicks(w("Ed_caminho"), pen.path());
    inst->dialogs.expectMessage(QStringLiteral("Esse caminho já está na Lista de Caminhos!"), BoxIcon::Error);
    QTest::keyClick(w("Ed_caminho"), Qt::Key_Return);
    click("Button4");
    QVERIFY(!w("Panel_Novo")->isVisible());
    QCOMPARE(inst->count(QStringLiteral("BACKUP")), 1);

    QTest::mouseClick(
        w<QTableWidget>("DBGrid1")->viewport(), Qt::LeftButton, {},
        w<QTableWidget>("DBGrid1")->visualItemRect(w<QTableWidget>("DBGrid1")->item(0, 0)).center());
    inst->dialogs.expectQuestion(QStringLiteral("Deseja excluir o Caminho:  ") + pen.path() +
                                     QStringLiteral("?"),
                                 false, QStringLiteral("Emissor de Nota Fiscal"));
    click("Button1");
    QCOMPARE(inst->count(QStringLiteral("BACKUP")), 1);
    inst->dialogs.expectQuestion(QStringLiteral("Deseja excluir o Caminho:  ") + pen.path() +
                                     QStringLiteral("?"),
                                 true, QStringLiteral("Emissor de Nota Fiscal"));
    inst->dialogs.expectMessage(QStringLiteral("Pasta/Caminho excluso com sucesso!"), BoxIcon::Information);
    click("Button1");
    QCOMPARE(inst->count(QStringLiteral("BACKUP")), 0);
    QCOMPARE(w<QTableWidget>("DBGrid1")->rowCount(), 0);

    QCOMPARE(w("Img_fecharTelaNF")->toolTip(), QStringLiteral("Fechar"));
    click("Img_fecharTelaNF");
    QVERIFY(!form->isVisible());
}

void TestBackup::backupCountsOnlyVerifiedCopies_data() {
    QTest::addColumn<QStringList>("destinations"); // "ok", "missing", "read-only"
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("statuses");
    QTest::newRow("one of two missing") << QStringList{"ok", "missing"} << "1 dos 2 foram gravadados Backups"
                                        << QStringList{kStamp, "Falhou"};
    QTest::newRow("read-only folder") << QStringList{"read-only", "ok"} << "1 dos 2 foram gravadados Backups"
                                      << QStringList{"Falhou", kStamp};
    QTest::newRow("nothing written")
        << QStringList{"missing", "read-only"}
        << "Nenhum caminho foi encontrado para Gravar seu Cópia de Segurança (Backup )"
        << QStringList{"Falhou", "Falhou"};
}

void TestBackup::backupCountsOnlyVerifiedCopies() {
    QFETCH(QStringList, destinations);
    QFETCH(QString, message);
    QFETCH(QStringList, statuses);
    QTemporaryDir pen;
    ReadOnlyFolder locked;
    QStringList paths;
    for (const QString &kind : destinations) {
        paths << (kind == u"ok"        ? pen.path()
                  : kind == u"missing" ? pen.filePath(QStringLiteral("desconectado"))
                                       : locked.path());
        addDestinationRow(paths.last());
    }
    openWindow();
    backupNow(message, message.startsWith(u'N') ? BoxIcon::Error : BoxIcon::Information);
    QCOMPARE(column(1), statuses);
    QSqlQuery q(inst->tdm->CONEX_R());
    QVERIFY(q.exec(QStringLiteral("SELECT STATUS FROM BACKUP ORDER BY CAMINHO")));
    QStringList stored;
    while (q.next())
        stored << q.value(0).toString();
    QStringList expected = statuses;
    if (paths[0] > paths[1]) std::swap(expected[0], expected[1]);
    QCOMPARE(stored, expected);

    if (destinations.contains(QStringLiteral("ok"))) {
        // Only the two finished copies are left, and they open as the databases they copy.
        QCOMPARE(filesIn(pen.path()), QStringList({"BackupCRF.XML", "BackupID_BASE.FDB"}));
        QCOMPARE(readElsewhere(pen.filePath(QStringLiteral("BackupCRF.XML")),
                               QStringLiteral("SELECT NOME_VEND FROM CAD_VENDEDOR"))
                     .toString(),
                 QStringLiteral("ANTES"));
        QCOMPARE(readElsewhere(pen.filePath(QStringLiteral("BackupID_BASE.FDB")),
                               QStringLiteral("SELECT COUNT(*) FROM CADASTRO_TEMP"))
                     .toInt(),
                 5);
    }
    QCOMPARE(filesIn(locked.path()).filter(QStringLiteral("Backup")), QStringList());
    // The program goes on working on its databases.
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('DEPOIS')")));
    QCOMPARE(sellerNames(), QStringLiteral("ANTES,DEPOIS"));
    QVERIFY(inst->tdm->CONEX_PRINT().isOpen());
}

void TestBackup::backupWorksEveryTimeInOneRun() {
    QTemporaryDir pen, other;
    addDestinationRow(pen.path());
    addDestinationRow(other.path());
    openWindow();
    for (const char *seller : {"PRIMEIRO", "SEGUNDO", "TERCEIRO"}) {
        QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES (?)"), {seller}));
        backupNow(QStringLiteral("2 dos 2 foram gravadados Backups"), BoxIcon::Information);
        QCOMPARE(column(1), QStringList({kStamp, kStamp}));
        for (const QTemporaryDir *dir : {&pen, &other}) {
            QCOMPARE(filesIn(dir->path()), QStringList({"BackupCRF.XML", "BackupID_BASE.FDB"}));
            QCOMPARE(readElsewhere(dir->filePath(QStringLiteral("BackupCRF.XML")),
                                   QStringLiteral("SELECT COUNT(*) FROM CAD_VENDEDOR WHERE NOME_VEND='%1'")
                                       .arg(QLatin1String(seller)))
                         .toInt(),
                     1);
        }
        // Nothing of the backups stays open: the pen drive can be pulled as soon as the box shows.
        QStringList held;
        for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System))
            for (const QTemporaryDir *dir : {&pen, &other})
                if (fd.symLinkTarget().startsWith(dir->path())) held << fd.symLinkTarget();
        QCOMPARE(held, QStringList());
    }
    // And nothing touches them afterwards, not even the end of the program's connections.
    const QDateTime written = QFileInfo(pen.filePath(QStringLiteral("BackupCRF.XML"))).lastModified();
    const QByteArray bytes = [&] {
        QFile f(pen.filePath(QStringLiteral("BackupCRF.XML")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    form.reset();
    inst->tdm->closeConnections();
    QFile f(pen.filePath(QStringLiteral("BackupCRF.XML")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll() == bytes);
    QCOMPARE(QFileInfo(pen.filePath(QStringLiteral("BackupCRF.XML"))).lastModified(), written);
    QString error;
    QVERIFY2(inst->tdm->reopenConnections(&error), qPrintable(error));
}

void TestBackup::goodBackupRestoresAfterARefusedOne() {
    QTemporaryDir good, damaged;
    addDestinationRow(good.path());
    addDestinationRow(damaged.path());
    openWindow();
    backupNow(QStringLiteral("2 dos 2 foram gravadados Backups"), BoxIcon::Information);
    form.reset();
    QFile cut(damaged.filePath(QStringLiteral("BackupCRF.XML")));
    QVERIFY(cut.resize(cut.size() / 2));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('DEPOIS')")));

    for (int attempt = 0; attempt < 2; ++attempt) {
        openWindow();
        chooseRestoreFolder(damaged.path());
        inst->dialogs.expectMessage(QString(), BoxIcon::Error);
        click("BitBtn4");
        QVERIFY(inst->dialogs.shown.last().text.startsWith(QStringLiteral("O arquivo de backup BackupCRF.XML") +
                                                          kRefusedPrefix));
        form.reset();
    }
    QCOMPARE(sellerNames(), QStringLiteral("ANTES,DEPOIS"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        openWindow();
        chooseRestoreFolder(good.path());
        inst->dialogs.expectMessage(kRestored, BoxIcon::Information);
        click("BitBtn4");
        QCOMPARE(sellerNames(), QStringLiteral("ANTES"));
        form.reset();
    }
}

void TestBackup::restoreBringsBackTheBackedUpRows() {
    QTemporaryDir pen;
    addDestinationRow(pen.path());
    openWindow();
    backupNow(QStringLiteral("1 dos 1 foram gravadados Backups"), BoxIcon::Information);
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('DEPOIS')")));
    QSqlQuery print(inst->tdm->CONEX_PRINT());
    QVERIFY(print.exec(QStringLiteral("INSERT INTO TAB_PRN (NUMBILHETE) VALUES (77)")));
    form.reset();

    openWindow();
    chooseRestoreFolder(pen.path());
    QStringList listed;
    for (int i = 0; i < w<QListWidget>("FileListBox1")->count(); ++i)
        listed << w<QListWidget>("FileListBox1")->item(i)->text();
    QCOMPARE(listed, QStringList({"BackupCRF.XML", "BackupID_BASE.FDB"}));
    inst->dialogs.expectMessage(kRestored, BoxIcon::Information);
    click("BitBtn4");

    QCOMPARE(sellerNames(), QStringLiteral("ANTES"));
    QSqlQuery after(inst->tdm->CONEX_PRINT());
    QVERIFY(after.exec(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")) && after.next());
    QCOMPARE(after.value(0).toInt(), 0);
    // The replaced databases are kept beside the restored ones.
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".antes-da-restauracao")),
             QStringList({"CRF.XML.antes-da-restauracao", "ID_BASE.FDB.antes-da-restauracao"}));
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".restaurando")), QStringList());
    QCOMPARE(readElsewhere(inst->file(QStringLiteral("CRF.XML.antes-da-restauracao")),
                           QStringLiteral("SELECT COUNT(*) FROM CAD_VENDEDOR WHERE NOME_VEND='DEPOIS'"))
                 .toInt(),
             1);
    // The destination list comes from the restored database, and the program keeps writing to it.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT STATUS FROM BACKUP")).toString(), QString());
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('NOVO')")));
    QCOMPARE(sellerNames(), QStringLiteral("ANTES,NOVO"));
}

void TestBackup::damagedBackupIsRefusedBeforeAnythingIsReplaced_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("damage");
    QTest::newRow("truncated CRF") << "BackupCRF.XML"
                                   << "truncated";
    QTest::newRow("truncated ID_BASE") << "BackupID_BASE.FDB"
                                       << "truncated";
    QTest::newRow("zeroed pages in CRF") << "BackupCRF.XML"
                                         << "zeroed";
    QTest::newRow("not a database") << "BackupCRF.XML"
                                    << "text";
    QTest::newRow("databases swapped") << "BackupCRF.XML"
                                       << "swapped";
}

void TestBackup::damagedBackupIsRefusedBeforeAnythingIsReplaced() {
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QTemporaryDir pen;
    addDestinationRow(pen.path());
    openWindow();
    backupNow(QStringLiteral("1 dos 1 foram gravadados Backups"), BoxIcon::Information);
    form.reset();
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('ATUAL')")));

    const QString path = pen.filePath(file);
    QFile f(path);
    if (damage == u"truncated") {
        QVERIFY(f.resize(f.size() / 2));
    } else if (damage == u"zeroed") {
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(f.size() / 2);
        f.write(QByteArray(int(f.size() / 4), '\0'));
        f.close();
    } else if (damage == u"text") {
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("isto não é uma base de dados\r\n");
        f.close();
    } else {
        QVERIFY(f.remove());
        QVERIFY(QFile::copy(pen.filePath(QStringLiteral("BackupID_BASE.FDB")), path));
    }
    openWindow();
    chooseRestoreFolder(pen.path());
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    click("BitBtn4");
    const QString shown = inst->dialogs.shown.last().text;
    QVERIFY2(shown.startsWith(QStringLiteral("O arquivo de backup ") + file + kRefusedPrefix),
             qPrintable(shown));
    QVERIFY(shown.size() > (QStringLiteral("O arquivo de backup ") + file + kRefusedPrefix).size());

    // Nothing replaced, nothing left behind, and the program works on its databases.
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".antes-da-restauracao")), QStringList());
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".restaurando")), QStringList());
    QCOMPARE(sellerNames(), QStringLiteral("ANTES,ATUAL"));
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES ('ZULU')")));
    QCOMPARE(sellerNames(), QStringLiteral("ANTES,ATUAL,ZULU"));
    QSqlQuery print(inst->tdm->CONEX_PRINT());
    QVERIFY(print.exec(QStringLiteral("SELECT COUNT(*) FROM CADASTRO_TEMP")) && print.next());
    QCOMPARE(print.value(0).toInt(), 5);
}

void TestBackup::restoreNeedsBothFiles() {
    QTemporaryDir pen;
    QVERIFY(QFile::copy(inst->file(QStringLiteral("ID_BASE.FDB")),
                        pen.filePath(QStringLiteral("BackupCRF.XML"))));
    openWindow();
    chooseRestoreFolder(pen.path());
    QCOMPARE(w<QListWidget>("FileListBox1")->count(), 1);
    inst->dialogs.expectMessage(
        QStringLiteral("Não foram localizados todos arquivos de backups: BackupCRF.XML e BackupID_BASE.FDB"),
        BoxIcon::Error);
    click("BitBtn4");
    QVERIFY(inst->tdm->CONEX_R().isOpen());
    QVERIFY(inst->tdm->CONEX_PRINT().isOpen());
    QCOMPARE(sellerNames(), QStringLiteral("ANTES"));
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".restaurando")), QStringList());
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".antes-da-restauracao")), QStringList());
}

void TestBackup::leftoversOfAKilledRunAreRemovedAtStart() {
    QTemporaryDir pen;
    addDestinationRow(pen.path());
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO BACKUP (CAMINHO) VALUES (?)"),
                       {pen.filePath(QStringLiteral("desconectado"))}));
    inst->tdm->closeConnections();
    auto junk = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("metade") == 6;
    };
    // A restore killed between its two renames, and a backup killed while writing its copies.
    QVERIFY(QFile::copy(inst->file(QStringLiteral("ID_BASE.FDB")),
                        inst->file(QStringLiteral("ID_BASE.FDB.antes-da-restauracao"))));
    QVERIFY(QFile::rename(inst->file(QStringLiteral("CRF.XML")), inst->file(QStringLiteral("CRF.XML.antes-da-restauracao"))));
    QVERIFY(junk(inst->file(QStringLiteral("CRF.XML.restaurando"))));
    QVERIFY(junk(inst->file(QStringLiteral("ID_BASE.FDB.restaurando"))));
    QVERIFY(QFile::copy(inst->file(QStringLiteral("CRF.XML.antes-da-restauracao")),
                        pen.filePath(QStringLiteral("BackupCRF.XML.anterior"))));
    QVERIFY(QFile::copy(inst->file(QStringLiteral("ID_BASE.FDB")), pen.filePath(QStringLiteral("BackupID_BASE.FDB"))));
    QVERIFY(junk(pen.filePath(QStringLiteral("BackupCRF.XML.gravando"))));
    QVERIFY(junk(pen.filePath(QStringLiteral("BackupID_BASE.FDB.gravando"))));

    const QString korvante = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), inst->folder());
    QProcess program;
    program.start(korvante, {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(filesIn(pen.path()) == QStringList({"BackupCRF.XML", "BackupID_BASE.FDB"}), 30000);
    QVERIFY(ProgramProcesses::stop(program.processId()));
    program.waitForFinished(20000);

    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".XML")),
             QStringList({"CRF.XML", "CRF.XML.antes-da-restauracao"}));
    QCOMPARE(filesIn(inst->folder()).filter(QStringLiteral(".FDB")),
             QStringList({"ID_BASE.FDB", "ID_BASE.FDB.antes-da-restauracao"}));
    QCOMPARE(readElsewhere(pen.filePath(QStringLiteral("BackupCRF.XML")),
                           QStringLiteral("SELECT NOME_VEND FROM CAD_VENDEDOR"))
                 .toString(),
             QStringLiteral("ANTES"));
    QString error;
    QVERIFY2(inst->tdm->reopenConnections(&error), qPrintable(error));
    QCOMPARE(sellerNames(), QStringLiteral("ANTES"));
}

void TestBackup::serverBackupHoldsTheSalesWhileOthersSell() {
    if (!QFile::exists(QStringLiteral("/usr/sbin/firebird"))) QSKIP("no Firebird server installed");
    inst->tdm.reset(); // this computer now works on the server
    TestFirebirdServer server;
    QString error;
    QVERIFY2(DatabaseFiles::createInFolder(server.dataFolder(), &error), qPrintable(error));
    QVERIFY2(server.start(&error), qPrintable(error));
    const QString serverMain =
        server.connectionHost() + u':' + QDir(server.dataFolder()).filePath(QStringLiteral("CRF.XML"));
    {
        // 916 sales on the server before the backup.
        QVERIFY2(TDM::openConnection(QStringLiteral("before"), serverMain, &error), qPrintable(error));
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("before"));
        QVERIFY(db.transaction());
        {
            QSqlQuery q(db);
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALIDADO) "
                                             "VALUES (1, ?, 'Sim')")));
            for (int n = 1; n <= 916; ++n) {
                q.bindValue(0, n);
                QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            }
        }
        QVERIFY(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("before"));

    // The stale local databases of the program folder stay as they are (no sales in them).
    TestInstallation here;
    QVERIFY2(here.ok(), qPrintable(here.error()));
    QFile config(here.file(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=%2\r\n")
                     .arg(server.connectionHost(), server.dataFolder())
                     .toUtf8());
    config.close();
    QVERIFY2(here.openTdm(), qPrintable(here.error()));
    QCOMPARE(here.tdm->mainPath(), serverMain);
    QTemporaryDir pen;
    QVERIFY(here.exec(QStringLiteral("INSERT INTO BACKUP (CAMINHO) VALUES (?)"), {pen.path()}));

    // Another computer sells all along the backup.
    std::atomic<bool> selling{true};
    std::atomic<int> soldDuring{0};
    std::thread other([&] {
        {
            QString e;
            if (!TDM::openConnection(QStringLiteral("other"), serverMain, &e)) return;
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("other"));
            for (int n = 2001; selling; ++n) {
                QSqlQuery q(db);
                q.prepare(QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALIDADO) "
                                         "VALUES (1, ?, 'Sim')"));
                q.addBindValue(n);
                if (q.exec()) ++soldDuring;
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    });
    const auto stopSelling = qScopeGuard([&] {
        selling = false;
        if (other.joinable()) other.join();
    });
    QTRY_VERIFY(soldDuring > 0);
    form = std::make_unique<TForm_BACK_REST>(here.services());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    click("BitBtn7");
    here.dialogs.expectMessage(QStringLiteral("1 dos 1 foram gravadados Backups"), BoxIcon::Information);
    const int soldBefore = soldDuring;
    click("BitBtn1");
    selling = false;
    other.join();
    QVERIFY(here.dialogs.scriptDone());
    QVERIFY(soldDuring > soldBefore); // the server kept selling while it took the backup
    QCOMPARE(column(1), QStringList{kStamp});

    // Every sale committed before the backup is in it, and the embedded engine opens it here.
    QCOMPARE(filesIn(pen.path()), QStringList({"BackupCRF.XML", "BackupID_BASE.FDB"}));
    QCOMPARE(readElsewhere(pen.filePath(QStringLiteral("BackupCRF.XML")),
                           QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE <= 916"))
                 .toInt(),
             916);
    QVERIFY(readElsewhere(pen.filePath(QStringLiteral("BackupCRF.XML")),
                          QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE > 2000"))
                .toInt() >= soldBefore);
    QCOMPARE(readElsewhere(pen.filePath(QStringLiteral("BackupID_BASE.FDB")),
                           QStringLiteral("SELECT COUNT(*) FROM CADASTRO_TEMP"))
                 .toInt(),
             5);
    QVERIFY(here.dialogs.scriptDone());

    // A restore is made on the server itself, never from here.
    chooseRestoreFolder(pen.path());
    here.dialogs.expectMessage(
        QStringLiteral("As bases de dados deste sistema estão no servidor %1, e os outros computadores trabalham "
                       "nelas. A restauração de um backup deve ser feita no próprio servidor %1, com o sistema "
                       "aberto naquele computador. Nada foi restaurado.")
            .arg(server.connectionHost()),
        BoxIcon::Error);
    click("BitBtn4");
    QVERIFY(here.dialogs.scriptDone());
    QCOMPARE(here.scalar(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE <= 916")).toInt(),
             916);
    form.reset();
    here.tdm.reset();
    server.stop();
}

void TestBackup::menuOpensTheWindowWithoutARaffle() {
    TForm_RIFA menu(inst->services());
    QVERIFY(RaffleChooser::leaveChoiceInMenu(menu));
    WindowWatcher watcher;
    bool layerShown = false;
    watcher.on(QStringLiteral("TForm_BACK_REST"), [&](QWidget *window) {
        layerShown = window->findChild<QWidget *>(QStringLiteral("Panel_Principal"))->isVisible();
        QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("Img_fecharTelaNF")), Qt::LeftButton);
    });
    clickIn(menu, "LBL_Backup");
    QCOMPARE(watcher.shown(QStringLiteral("TForm_BACK_REST")), 1);
    QVERIFY(layerShown);
}

KORVANTE_TEST(TestBackup)
#include "TestBackup.moc"
