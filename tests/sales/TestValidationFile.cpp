#include "SalesFixture.h"
#include "sales/SaleValidator.h"
#include "sales/TForm_Validacao.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QLineEdit>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// A record of the validation file written out by hand from its offset table: a length byte, then
// the field's bytes, unused bytes zero.
struct Hand {
    QString num, name, address, phone, city, date, seller, aut, viazap;
};

QByteArray handRecord(const Hand &h) {
    QByteArray r(180, '\0');
    auto put = [&](int offset, const QString &text) {
        const QByteArray bytes = text.toLatin1();
        r[offset] = char(bytes.size());
        r.replace(offset + 1, bytes.size(), bytes);
    };
    put(0, h.num);
    put(7, h.name);
    put(48, h.address);
    put(99, h.phone);
    put(115, h.city);
    put(146, h.date);
    put(159, h.seller);
    put(163, h.aut);
    put(176, h.viazap);
    return r;
}

QByteArray ticket(int n, const QString &date = QStringLiteral("02/12/2026")) {
    return handRecord({QString::number(n), {}, {}, {}, {}, date, {}, QStringLiteral("XYZ123ABC"), {}});
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Where the program sends the folder it asks the desktop to open.
class OpenedFolders : public QObject {
    Q_OBJECT
public:
    OpenedFolders() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFolders() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url.toLocalFile(); }
};

// The validation window as a person uses it: the "Mais..." menu, the export panel, the file dialog.
class FilePanelDriver {
public:
    explicit FilePanelDriver(TForm_Validacao &form) : m_form(form) {}

    template <typename T = QWidget> T *w(const char *name) {
        T *found = m_form.findChild<T *>(QLatin1String(name));
        if (!found) qWarning() << "no control" << name;
        return found;
    }
    void choose(const char *action) {
        auto *menu = w<QMenu>("Pop_Opcoes");
        QTest::mouseClick(w<QPushButton>("BTN_Mais"), Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QAction *a = menu->findChild<QAction *>(QLatin1String(action));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        QTRY_VERIFY(!menu->isVisible());
    }
    // Clicks into the field, rubs out what it holds and types the date's digits.
    void typeDate(const char *name, const QString &date) {
        auto *edit = w<QLineEdit>(name);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_End);
        while (!edit->text().isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString(date).remove(u'/'));
    }
    void exportRange(const QString &from, const QString &to) {
        choose("Exportar1");
        QVERIFY(w("Panel_Exportar")->isVisible());
        typeDate("Date_Export1", from);
        typeDate("Date_Export2", to);
        QTest::mouseClick(w<QPushButton>("Button7"), Qt::LeftButton);
    }

private:
    TForm_Validacao &m_form;
};

QString exportedMessage(int records) {
    return QStringLiteral("Exportação de [ %1 Bilhetes ] Concluída com sucesso. O Nome do arquivo gerado que "
                          "deverá ser colocado num pen-drive ou enviado por e-mail para o computador CENTRAL "
                          "é... RifasValidas.dat\r\rObs. O arquivo está na mesma Pasta de instalação do "
                          "Programa, veja ele agora...")
        .arg(records);
}

QString importQuestion(int records) {
    return QStringLiteral(
               "Foram encontrados %1 Controle de Bilhete Validados neste arquivo. Deseja Importar e "
               "Incorporar a sua Vase de Dados?")
        .arg(records);
}

QString importDone(int validated, int records) {
    return QStringLiteral(
               "Importação do arquivo R1.dat concluída: %1 Bilhete(s) validado(s) de %2 registro(s).")
        .arg(validated)
        .arg(records);
}

const QString kAlready = QStringLiteral("Bilhete [ %1 ] já foi Validado anteriormente!");
const QString kGoOn = QStringLiteral("Deseja prosseguir para tentar validar os demais bilhetes?");

} // namespace

// Export and import of the validation file on one computer, with records written by hand.
class TestValidationFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void exportWritesTheRecordsByteForByte();
    void exportRefusesNumbersWiderThanTheirField_data();
    void exportRefusesNumbersWiderThanTheirField();
    void laterExportsReplaceTheFile();
    void emptyNameWithExtraFieldsOffValidatesTheTicketOnly();
    void importStopsAtTheRightRecord_data();
    void importStopsAtTheRightRecord();
    void bytesWithoutACharacterAreStoredAsQuestionMarks();
    void pararStopsAfterTheCurrentRecord();
    void cancelledOrMissingFile();
    void exportTakesTypedDates();

private:
    bool addSale(int ticket, const QString &name, const QString &date, const QVariant &seller,
                 const QString &aut = QStringLiteral("ABC123XYZ"));
    QList<int> soldTickets(const QString &ticketTable = QStringLiteral("BS2_100G"));
    void importFile(const QByteArray &bytes, const std::function<void()> &boxes);

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_Validacao> form;
    std::unique_ptr<FilePanelDriver> ui;
    QString dataFile;
};

void TestValidationFile::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS1_M"), 1000, 1));
    dataFile = inst->file(QStringLiteral("RifasValidas.dat"));
}

void TestValidationFile::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS2_100G SET VALID_R1=NULL")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS1_M SET VALID_R1=NULL")));
    QVERIFY(SalesFixture::chooseRaffle(*inst));
    QFile::remove(dataFile);
    inst->dialogs.clear();
    form = std::make_unique<TForm_Validacao>(inst->context());
    form->setValor(10);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    ui = std::make_unique<FilePanelDriver>(*form);
}

void TestValidationFile::cleanup() {
    ui.reset();
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'|')));
}

bool TestValidationFile::addSale(int ticket, const QString &name, const QString &date, const QVariant &seller,
                                 const QString &aut) {
    return inst->exec(
        QStringLiteral("INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, NOMECOMP, ENDCOMP, "
                       "FONECOMP, CIDCOMP, VALOR, VALIDADO, AUT_DIGITAL_VAL, DATA_VAL, "
                       "COD_VENDEDOR) VALUES (1, ?, ?, ?, ?, ?, 10, 'Sim', ?, ?, ?)"),
        {ticket, name.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(name),
         name.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant("RUA A, 10"),
         name.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant("11987654321"),
         name.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant("SÃO PAULO-SP"), aut,
         QDate::fromString(date, QStringLiteral("dd/MM/yyyy")), seller});
}

QList<int> TestValidationFile::soldTickets(const QString &ticketTable) {
    QList<int> tickets;
    QSqlQuery q(inst->tdm->CONEX_R());
    q.exec(QStringLiteral("SELECT NUMBILHETE FROM DADOSCOMPRADOR_1 ORDER BY NUMBILHETE"));
    while (q.next())
        tickets << q.value(0).toInt();
    // Every buyer row has its mark and no mark is without its row.
    const int marks =
        inst->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE VALID_R1='S'").arg(ticketTable)).toInt();
    if (marks != tickets.size()) qWarning() << "marks" << marks << "buyer rows" << tickets;
    return marks == tickets.size() ? tickets : QList<int>{-1};
}

void TestValidationFile::importFile(const QByteArray &bytes, const std::function<void()> &boxes) {
    const QString path = inst->file(QStringLiteral("R1.dat"));
    QVERIFY(writeFile(path, bytes));
    inst->dialogs.expectFileChoice(QStringLiteral("open"), path);
    boxes();
    ui->choose("Importar1");
}

void TestValidationFile::exportWritesTheRecordsByteForByte() {
    QVERIFY(addSale(7, QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("05/12/2026"), QVariant(),
                    QStringLiteral("AB#1ÇZ9xy")));
    QVERIFY(addSale(45, QString(), QStringLiteral("06/12/2026"), 12));
    QVERIFY(addSale(9, QStringLiteral("FORA DA FAIXA"), QStringLiteral("07/12/2026"), 3));
    OpenedFolders folders;
    inst->dialogs.expectMessage(exportedMessage(2), BoxIcon::Information);
    ui->exportRange(QStringLiteral("05/12/2026"), QStringLiteral("06/12/2026"));
    const QByteArray expected = handRecord({"7", "JOSÉ DA SILVA", "RUA A, 10", "11987654321", "SÃO PAULO-SP",
                                            "05/12/2026", "", "AB#1ÇZ9xy", ""}) +
                                handRecord({"45", "", "", "", "", "06/12/2026", "12", "ABC123XYZ", ""});
    QCOMPARE(readFile(dataFile), expected);
    QCOMPARE(folders.opened, QStringList{inst->folder()});
    QTest::mouseClick(ui->w("Img_FecharExport"), Qt::LeftButton);
    QVERIFY(!ui->w("Panel_Exportar")->isVisible());
}

void TestValidationFile::exportRefusesNumbersWiderThanTheirField_data() {
    QTest::addColumn<int>("wide");
    QTest::addColumn<QVariant>("seller");
    QTest::addColumn<QString>("message");
    QTest::newRow("control number 1000000")
        << 1000000 << QVariant()
        << "Exportação cancelada: o Nº de Controle de Bilhete 1000000 não cabe no arquivo de validações, que "
           "comporta até 6 dígitos. O arquivo RifasValidas.dat não foi alterado.";
    QTest::newRow("seller code 1000")
        << 15 << QVariant(1000)
        << "Exportação cancelada: o Código de Vendedor 1000 (Bilhete 15) não cabe no arquivo de validações, "
           "que "
           "comporta até 3 dígitos. O arquivo RifasValidas.dat não foi alterado.";
}

void TestValidationFile::exportRefusesNumbersWiderThanTheirField() {
    QFETCH(int, wide);
    QFETCH(QVariant, seller);
    QFETCH(QString, message);
    const QByteArray previous = ticket(3) + ticket(4);
    QVERIFY(writeFile(dataFile, previous));
    QVERIFY(addSale(2, QStringLiteral("ANA"), QStringLiteral("01/12/2026"), 5));
    QVERIFY(addSale(wide, QStringLiteral("BIA"), QStringLiteral("02/12/2026"), seller));
    inst->dialogs.expectMessage(message, BoxIcon::Error);
    ui->exportRange(QStringLiteral("01/12/2026"), QStringLiteral("31/12/2026"));
    QCOMPARE(readFile(dataFile), previous);
}

void TestValidationFile::laterExportsReplaceTheFile() {
    QVERIFY(addSale(1, QString(), QStringLiteral("01/12/2026"), QVariant()));
    QVERIFY(addSale(2, QString(), QStringLiteral("02/12/2026"), QVariant()));
    QVERIFY(addSale(3, QString(), QStringLiteral("03/12/2026"), QVariant()));
    OpenedFolders folders;
    inst->dialogs.expectMessage(exportedMessage(3), BoxIcon::Information);
    ui->exportRange(QStringLiteral("01/12/2026"), QStringLiteral("03/12/2026"));
    QCOMPARE(readFile(dataFile).size(), 540);
    // The panel stays open for the next range.
    inst->dialogs.expectMessage(exportedMessage(1), BoxIcon::Information);
    ui->typeDate("Date_Export1", QStringLiteral("02/12/2026"));
    ui->typeDate("Date_Export2", QStringLiteral("02/12/2026"));
    QTest::mouseClick(ui->w<QPushButton>("Button7"), Qt::LeftButton);
    QCOMPARE(readFile(dataFile), handRecord({"2", {}, {}, {}, {}, "02/12/2026", {}, "ABC123XYZ", {}}));
    inst->dialogs.expectMessage(
        QStringLiteral(
            "Não foi encontrado registros de Validações de Bilhetes na Faixa de Pesquisa definida!"),
        BoxIcon::Error);
    ui->typeDate("Date_Export1", QStringLiteral("04/12/2026"));
    ui->typeDate("Date_Export2", QStringLiteral("30/12/2026"));
    QTest::mouseClick(ui->w<QPushButton>("Button7"), Qt::LeftButton);
    QCOMPARE(readFile(dataFile), QByteArray());
    QCOMPARE(folders.opened.size(), 2);
}

void TestValidationFile::emptyNameWithExtraFieldsOffValidatesTheTicketOnly() {
    const QByteArray bytes =
        handRecord({"5", "", "RUA B", "1133334444", "CAMPINAS-SP", "03/12/2026", "12", "AAA", ""}) +
        handRecord({"6", "ANA", "RUA C", "1144445555", "SANTOS-SP", "04/12/2026", "12", "BBB", ""});
    QVERIFY(!ui->w<QRadioButton>("RB_Sim")->isChecked());
    importFile(bytes, [&] {
        inst->dialogs.expectQuestion(importQuestion(2), true);
        inst->dialogs.expectMessage(importDone(2, 2), BoxIcon::Information);
    });
    QCOMPARE(soldTickets(), QList<int>({5, 6}));
    QSqlQuery q(inst->tdm->CONEX_R());
    QVERIFY(q.exec(QStringLiteral("SELECT NUMBILHETE, NOMECOMP, FONECOMP, ENDCOMP, CIDCOMP, COD_VENDEDOR, "
                                  "DATA_VAL, VALOR, VALIDADO FROM DADOSCOMPRADOR_1 ORDER BY NUMBILHETE")));
    QVERIFY(q.next());
    for (int c = 1; c <= 5; ++c)
        QVERIFY2(q.isNull(c), qPrintable(QString::number(c)));
    QCOMPARE(q.value(6).toDate(), QDate(2026, 12, 3));
    QCOMPARE(q.value(7).toDouble(), 10.0);
    QCOMPARE(q.value(8).toString().trimmed(), QStringLiteral("Sim"));
    QVERIFY(q.next());
    QCOMPARE(q.value(1).toString(), QStringLiteral("ANA"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("1144445555"));
    QCOMPARE(q.value(4).toString(), QStringLiteral("SANTOS-SP"));
    QCOMPARE(q.value(5).toInt(), 12);
    QCOMPARE(q.value(6).toDate(), QDate(2026, 12, 4));
    // The record with a name switched the window's extra fields on.
    QVERIFY(ui->w<QRadioButton>("RB_Sim")->isChecked());
    QVERIFY(!form->ModoImportacao);
}

namespace {

QString stoppedAt(int record, int records, const QString &why, int validated) {
    return QStringLiteral("A importação do arquivo R1.dat parou no registro %1 de %2: ").arg(record).arg(records) +
           why +
           QStringLiteral("\r\rOs registros anteriores foram importados; o registro %1 e os seguintes não foram "
                          "importados.\r\rRegistros lidos: %1 de %2. Bilhete(s) validado(s): %3.")
               .arg(record)
               .arg(records)
               .arg(validated);
}

QString malformed(int record, int records, const QString &why) {
    return QStringLiteral("O arquivo R1.dat não foi importado: o registro %1 de %2 está fora do formato do "
                          "arquivo de validações (%3). Nenhum registro foi importado.")
        .arg(record)
        .arg(records)
        .arg(why);
}

} // namespace

void TestValidationFile::importStopsAtTheRightRecord_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("records"); // in the question; 0 when the file is refused before it
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("sold");

    // Malformed files: refused as a whole, before the question.
    QByteArray tooLong = ticket(3);
    tooLong[7] = char(41);
    QTest::newRow("length byte above the field")
        << ticket(1) + ticket(2) + tooLong + ticket(4) << 0
        << malformed(3, 4, "o campo Comprador diz ter 41 caracteres, mas comporta no máximo 40") << QList<int>{};
    QByteArray letters;
    for (int n = 1; n <= 6; ++n)
        letters += ticket(n);
    letters += handRecord({"1O", {}, {}, {}, {}, "02/12/2026", {}, {}, {}}) + ticket(8);
    QTest::newRow("control number that is not digits")
        << letters << 0 << malformed(7, 8, "o Nº de Controle \"1O\" não é um número de 1 a 6 dígitos")
        << QList<int>{};
    QTest::newRow("empty control number")
        << ticket(1) + handRecord({{}, "SEM BILHETE", {}, {}, {}, {}, {}, {}, {}}) + ticket(3) << 0
        << malformed(2, 3, "o Nº de Controle está vazio") << QList<int>{};
    // Records one byte too long: the second is read one byte out of place.
    QTest::newRow("three records of 181 bytes")
        << ticket(1) + '\0' + ticket(2) + '\0' + ticket(3) + '\0' << 0
        << malformed(2, 3, "o Nº de Controle está vazio") << QList<int>{};

    // Well-formed records whose content is refused: the import stops there and keeps the ones before.
    QTest::newRow("date that is not a date")
        << ticket(1) + ticket(2, QStringLiteral("31/02/2026")) + ticket(3) << 3
        << stoppedAt(2, 3, "a data \"31/02/2026\" não é uma data válida", 1) << QList<int>{1};
    QTest::newRow("date of the year 1")
        << ticket(1) + ticket(2) + ticket(3, QStringLiteral("01/01/0001")) << 3
        << stoppedAt(3, 3, "Favor informe uma Data de Venda válida ( dd/mm/aaaa )!", 2) << QList<int>{1, 2};
    QTest::newRow("ticket beyond the raffle")
        << ticket(1) + ticket(51) + ticket(3) << 3
        << stoppedAt(2, 3,
                     "Esse Nº de Controle de Bilhete está além do último Bilhete da Rifa Escolhida. O C.Bilhete "
                     "máximo que pode ser digitado é até: 50",
                     1)
        << QList<int>{1};
    QTest::newRow("ticket outside the modality")
        << ticket(4) + ticket(0) << 2
        << stoppedAt(2, 2,
                     "Número de Bilhete informado fora do Limite do Modelo de Rifa Escolhido. Digite números "
                     "entre [ 1 e 100 ]",
                     1)
        << QList<int>{4};
    QTest::newRow("seller code of letters")
        << ticket(1) + handRecord({"2", "ANA", {}, {}, {}, "02/12/2026", "abc", {}, {}}) + ticket(3) << 3
        << stoppedAt(2, 3, "'abc' não é um número válido.", 1) << QList<int>{1};

    QTest::newRow("incomplete last record")
        << ticket(1) + ticket(2) + ticket(3).left(100) << 2
        << importDone(2, 2) +
               "\r\rO último registro do arquivo está incompleto (100 de 180 bytes) e não foi importado."
        << QList<int>{1, 2};
}

void TestValidationFile::importStopsAtTheRightRecord() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, records);
    QFETCH(QString, message);
    QFETCH(QList<int>, sold);
    importFile(bytes, [&] {
        if (records > 0) inst->dialogs.expectQuestion(importQuestion(records), true);
        inst->dialogs.expectMessage(message,
                                    message.startsWith(u'I') ? BoxIcon::Information : BoxIcon::Error);
    });
    QCOMPARE(soldTickets(), sold);
    QVERIFY(!form->ModoImportacao);
}

void TestValidationFile::bytesWithoutACharacterAreStoredAsQuestionMarks() {
    const QString name = QString::fromLatin1("JO\x81O\x00 DA\x01 SILVA\x8D", 16);
    const QString address = QString::fromLatin1("RUA \x8F\x90\x9D, 1\x7F\x1F", 12);
    const QString city = QStringLiteral("SÃO PAULO");
    importFile(handRecord({"9", name, address, "11999998888", city, "03/12/2026", "", "A", ""}), [&] {
        inst->dialogs.expectQuestion(importQuestion(1), true);
        inst->dialogs.expectMessage(
            importDone(1, 1) +
                "\r\r5 caractere(s) sem correspondência no padrão Windows-1252 foram gravados como \"?\" (em 1 "
                "registro(s))."
                "\r\r4 caractere(s) de controle foram removidos dos textos (em 1 registro(s)).",
            BoxIcon::Information);
    });
    QCOMPARE(soldTickets(), QList<int>{9});
    QSqlQuery q(inst->tdm->CONEX_R());
    QVERIFY(q.exec(QStringLiteral("SELECT NOMECOMP, ENDCOMP, CIDCOMP FROM DADOSCOMPRADOR_1")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("JO?O DA SILVA?"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("RUA ???, 1"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("SÃO PAULO"));
}

void TestValidationFile::pararStopsAfterTheCurrentRecord() {
    QVERIFY(SalesFixture::chooseThousandTickets(*inst));
    QByteArray bytes;
    for (int n = 1; n <= 1000; ++n)
        bytes += ticket(n);
    {
        // "Parar" pressed once the progress has gone past record 200.
        WindowWatcher watcher;
        watcher.on(QStringLiteral("Progresso_Importacao"), [](QWidget *window) {
            auto *progress = qobject_cast<QProgressDialog *>(window);
            auto *poll = new QTimer(progress);
            QObject::connect(poll, &QTimer::timeout, progress, [progress, poll] {
                if (progress->value() < 200) return;
                poll->stop();
                for (auto *b : progress->findChildren<QPushButton *>())
                    if (b->text() == u"Parar") QTest::mouseClick(b, Qt::LeftButton);
            });
            poll->start(5);
        });
        importFile(bytes, [&] {
            inst->dialogs.expectQuestion(importQuestion(1000), true);
            inst->dialogs.expectMessage(QString(), BoxIcon::Information);
        });
        QCOMPARE(watcher.shown(QStringLiteral("Progresso_Importacao")), 1);
    }
    const QString shown = inst->dialogs.shown.last().text;
    static const QRegularExpression summary(QStringLiteral(
        "^A importação do arquivo R1\\.dat foi interrompida a seu pedido no registro (\\d+) de 1000\\.\r\rOs "
        "registros anteriores foram importados; o registro \\1 e os seguintes não foram importados\\.\r\r"
        "Registros lidos: \\1 de 1000\\. Bilhete\\(s\\) validado\\(s\\): (\\d+)\\.$"));
    const auto m = summary.match(shown);
    QVERIFY2(m.hasMatch(), qPrintable(shown));
    const int stopped = m.captured(1).toInt(), validated = m.captured(2).toInt();
    QVERIFY2(stopped > 200 && stopped < 1000, qPrintable(shown));
    QCOMPARE(validated, stopped - 1);
    QList<int> expected;
    for (int n = 1; n < stopped; ++n)
        expected << n;
    QCOMPARE(soldTickets(QStringLiteral("BS1_M")), expected);

    // The same file again: the records already in are reported one by one, the rest validated.
    bytes = ticket(1) + ticket(stopped - 1) + ticket(stopped) + ticket(1000);
    importFile(bytes, [&] {
        inst->dialogs.expectQuestion(importQuestion(4), true);
        for (int t : {1, stopped - 1}) {
            inst->dialogs.expectMessage(kAlready.arg(t), BoxIcon::Error, QStringLiteral("Korvante"));
            inst->dialogs.expectQuestion(kGoOn, true);
        }
        inst->dialogs.expectMessage(
            importDone(2, 4) +
                QStringLiteral("\r\rRegistros ignorados: 2 (Bilhete já validado anteriormente: 1, %1).").arg(stopped - 1),
            BoxIcon::Information);
    });
    expected << stopped << 1000;
    QCOMPARE(soldTickets(QStringLiteral("BS1_M")), expected);
}

void TestValidationFile::cancelledOrMissingFile() {
    inst->dialogs.expectFileChoice(QStringLiteral("open"), QString());
    ui->choose("Importar1");
    inst->dialogs.expectFileChoice(QStringLiteral("open"), inst->file(QStringLiteral("R9.dat")));
    inst->dialogs.expectMessage(QStringLiteral("Não foi possível localizar a base selecionada!"),
                                BoxIcon::Error);
    ui->choose("Importar1");
    // Answering No to the question imports nothing.
    importFile(ticket(1), [&] { inst->dialogs.expectQuestion(importQuestion(1), false); });
    QCOMPARE(soldTickets(), QList<int>());
}

// Sales exported on one computer and imported on another with the same working raffle.
class TestValidationFileBetweenComputers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportThenImportOnAnotherComputer();
};

namespace {

struct SaleRow {
    int ticket;
    QVariant name, phone, address, city, date, seller, aut, price;
};

QList<SaleRow> saleRows(TestInstallation &inst) {
    QList<SaleRow> rows;
    QSqlQuery q(inst.tdm->CONEX_R());
    q.exec(QStringLiteral("SELECT NUMBILHETE, NOMECOMP, FONECOMP, ENDCOMP, CIDCOMP, DATA_VAL, COD_VENDEDOR, "
                          "AUT_DIGITAL_VAL, VALOR FROM DADOSCOMPRADOR_1 ORDER BY NUMBILHETE"));
    while (q.next())
        rows << SaleRow{q.value(0).toInt(), q.value(1), q.value(2), q.value(3),
                        q.value(4),         q.value(5), q.value(6), q.value(7).toString().trimmed(),
                        q.value(8)};
    return rows;
}

} // namespace

void TestValidationFileBetweenComputers::exportThenImportOnAnotherComputer() {
    QTemporaryDir carried; // the pen drive
    const QString penDrive = carried.filePath(QStringLiteral("R1.dat"));
    QList<SaleRow> exported;
    TestInstallation first;
    {
        QVERIFY2(first.ok() && first.openTdm(), qPrintable(first.error()));
        QVERIFY(SalesFixture::dealTickets(first, QStringLiteral("BS2_100G"), 50, 2));
        QVERIFY(SalesFixture::chooseRaffle(first));
        SaleValidator validator(first.context());
        auto sell = [&](const char *ticket, const char *date, bool extras, const char *name,
                        const char *seller) {
            SaleRequest in;
            in.ticketText = QLatin1String(ticket);
            in.extraFields = extras;
            in.buyer = QString::fromUtf8(name);
            in.phone = QStringLiteral("(11)98765-4321");
            in.address = QStringLiteral("RUA DAS FLORES, 12");
            in.city = QStringLiteral("SÃO PAULO-SP");
            in.sellerCode = QLatin1String(seller);
            in.useToday = false;
            in.dateText = QLatin1String(date);
            in.price = 10;
            return validator.validate(in).ok();
        };
        QVERIFY(sell("3", "01/12/2026", true, "MARIA JOSÉ", "12"));
        QVERIFY(sell("17", "05/12/2026", true, "JOÃO", ""));
        QVERIFY(sell("40", "10/12/2026", false, "", ""));
        QVERIFY(sell("8", "20/11/2026", true, "FORA", "7"));
        exported = saleRows(first);
        exported.removeIf([](const SaleRow &r) { return r.ticket == 8; });

        TForm_Validacao form(first.context());
        form.setValor(10);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        OpenedFolders folders;
        first.dialogs.expectMessage(exportedMessage(3), BoxIcon::Information);
        FilePanelDriver(form).exportRange(QStringLiteral("01/12/2026"), QStringLiteral("10/12/2026"));
        QVERIFY(first.dialogs.scriptDone());
        QVERIFY(QFile::copy(first.file(QStringLiteral("RifasValidas.dat")), penDrive));
    }
    first.tdm.reset(); // one computer at a time in this process

    TestInstallation central;
    central.random = SeededRandom(777); // another computer draws other codes
    QVERIFY2(central.ok() && central.openTdm(), qPrintable(central.error()));
    QVERIFY(SalesFixture::dealTickets(central, QStringLiteral("BS2_100G"), 50, 2));
    QVERIFY(SalesFixture::chooseRaffle(central));
    TForm_Validacao form(central.context());
    form.setValor(25);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    FilePanelDriver ui(form);

    central.dialogs.expectFileChoice(QStringLiteral("open"), penDrive);
    central.dialogs.expectQuestion(importQuestion(3), true);
    central.dialogs.expectMessage(
        QStringLiteral("Importação do arquivo R1.dat concluída: 3 Bilhete(s) validado(s) de 3 registro(s)."),
        BoxIcon::Information);
    ui.choose("Importar1");
    QVERIFY2(central.dialogs.scriptDone(), qPrintable(central.dialogs.pendingTexts().join(u'|')));
    const QList<SaleRow> imported = saleRows(central);
    QCOMPARE(imported.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const SaleRow &a = exported[i], &b = imported[i];
        QCOMPARE(b.ticket, a.ticket);
        QCOMPARE(b.name, a.name);
        QCOMPARE(b.phone, a.phone);
        QCOMPARE(b.address, a.address);
        QCOMPARE(b.city, a.city);
        QCOMPARE(b.date, a.date);
        QCOMPARE(b.seller, a.seller);
        QVERIFY(b.aut.toString() != a.aut.toString());
        QCOMPARE(b.aut.toString().size(), 9);
        QCOMPARE(b.price.toDouble(), 25.0);
        QCOMPARE(SalesFixture::mark(central, b.ticket), QStringLiteral("S"));
    }
    QCOMPARE(exported[0].name.toString(), QStringLiteral("MARIA JOSÉ"));
    QCOMPARE(exported[0].seller.toInt(), 12);
    QVERIFY(exported[2].name.isNull());

    // The same file again: every record is reported, and going on skips them all.
    central.dialogs.expectFileChoice(QStringLiteral("open"), penDrive);
    central.dialogs.expectQuestion(importQuestion(3), true);
    for (int t : {3, 17, 40}) {
        central.dialogs.expectMessage(kAlready.arg(t), BoxIcon::Error, QStringLiteral("Korvante"));
        central.dialogs.expectQuestion(kGoOn, true);
    }
    central.dialogs.expectMessage(
        QStringLiteral("Importação do arquivo R1.dat concluída: 0 Bilhete(s) validado(s) de 3 registro(s).\r\r"
                       "Registros ignorados: 3 (Bilhete já validado anteriormente: 3, 17, 40)."),
        BoxIcon::Information);
    ui.choose("Importar1");
    // And once more, stopping at the first question.
    central.dialogs.expectFileChoice(QStringLiteral("open"), penDrive);
    central.dialogs.expectQuestion(importQuestion(3), true);
    central.dialogs.expectMessage(kAlready.arg(3), BoxIcon::Error, QStringLiteral("Korvante"));
    central.dialogs.expectQuestion(kGoOn, false);
    central.dialogs.expectMessage(
        QStringLiteral("A importação do arquivo R1.dat foi interrompida a seu pedido no registro 1 de 3.\r\rOs "
                       "registros anteriores foram importados; o registro 1 e os seguintes não foram importados."
                       "\r\rRegistros lidos: 1 de 3. Bilhete(s) validado(s): 0.\r\rRegistros ignorados: 1 "
                       "(Bilhete já validado anteriormente: 3)."),
        BoxIcon::Information);
    ui.choose("Importar1");
    QVERIFY2(central.dialogs.scriptDone(), qPrintable(central.dialogs.pendingTexts().join(u'|')));
    QCOMPARE(saleRows(central).size(), 3);
    QVERIFY(!form.ModoImportacao);
}

void TestValidationFile::exportTakesTypedDates() {
    QVERIFY(addSale(1, QString(), QStringLiteral("04/12/2026"), QVariant()));
    QVERIFY(addSale(2, QString(), QStringLiteral("05/12/2026"), QVariant()));
    ui->choose("Exportar1");
    // The panel opens on today; the digits typed replace it.
    QCOMPARE(ui->w<QLineEdit>("Date_Export1")->text(), QStringLiteral("10/12/2026"));
    ui->typeDate("Date_Export1", QStringLiteral("05122026"));
    ui->typeDate("Date_Export2", QStringLiteral("31022026"));
    inst->dialogs.expectMessage(QStringLiteral("Favor, informe as Datas De e Ate válidas ( dd/mm/aaaa )!"),
                                BoxIcon::Error);
    QTest::mouseClick(ui->w<QPushButton>("Button7"), Qt::LeftButton);
    QCOMPARE(form->focusWidget(), ui->w("Date_Export2"));
    QVERIFY(!QFile::exists(dataFile));
    ui->typeDate("Date_Export2", QStringLiteral("05/12/2026"));
    OpenedFolders folders;
    inst->dialogs.expectMessage(exportedMessage(1), BoxIcon::Information);
    QTest::mouseClick(ui->w<QPushButton>("Button7"), Qt::LeftButton);
    QCOMPARE(readFile(dataFile), handRecord({"2", {}, {}, {}, {}, "05/12/2026", {}, "ABC123XYZ", {}}));
}

KORVANTE_TEST(TestValidationFile)
KORVANTE_TEST(TestValidationFileBetweenComputers)
#include "TestValidationFile.moc"
