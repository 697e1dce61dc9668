#include "backup/TForm_BACK_REST.h"
#include "draw/TForm_SORTEIO.h"
#include "raffle/TForm_Cadastro.h"
#include "sales/TForm_Validacao.h"
#include "sellers/TForm_vendedor.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>
#include <functional>

// Every text field that is saved to a column takes at most that column's length, so what a person
// typed is what is stored: never cut by the database, never refused by it after the fact.
class TestTextLimits : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void fieldHoldsAtMostItsColumn_data();
    void fieldHoldsAtMostItsColumn();

private:
    int columnLength(const QString &table, const QString &column);
    std::unique_ptr<TestInstallation> inst;
};

using WindowMaker = std::function<QWidget *(TestInstallation &)>;
Q_DECLARE_METATYPE(WindowMaker)

void TestTextLimits::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
}

int TestTextLimits::columnLength(const QString &table, const QString &column) {
    return inst
        ->scalar(QStringLiteral("SELECT f.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS r JOIN RDB$FIELDS f "
                                "ON f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE WHERE r.RDB$RELATION_NAME = ? "
                                "AND r.RDB$FIELD_NAME = ?"),
                 {table, column})
        .toInt();
}

void TestTextLimits::fieldHoldsAtMostItsColumn_data() {
    QTest::addColumn<WindowMaker>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    const WindowMaker cadastro = [](TestInstallation &i) { return new TForm_Cadastro(i.context()); };
    const WindowMaker sorteio = [](TestInstallation &i) { return new TForm_SORTEIO(i.context()); };
    const WindowMaker backup = [](TestInstallation &i) { return new TForm_BACK_REST(i.services()); };
    QTest::newRow("registration, name") << cadastro << "DBEdit3" << "CADASTRO" << "NOME_RIFA";
    QTest::newRow("registration, link") << cadastro << "DBEdit2" << "CADASTRO" << "LINK_SORT";
    QTest::newRow("draw, extraction") << sorteio << "Ed_Extracao" << "SORTEIOS" << "EXTRACAO";
    for (int k = 1; k <= 5; ++k)
        QTest::addRow("draw, prize %d", k)
            << sorteio << QStringLiteral("Ed_Premio%1").arg(k) << "SORTEIOS" << QStringLiteral("PREMIO%1").arg(k);
    QTest::newRow("backup, destination") << backup << "Ed_caminho" << "BACKUP" << "CAMINHO";
    const WindowMaker validacao = [](TestInstallation &i) {
        auto *v = new TForm_Validacao(i.context());
        v->Ativa_campos_extra(true); // the buyer fields are typed into with "Ativar Campos Extras" on
        return v;
    };
    QTest::newRow("validation, buyer") << validacao << "ed_comprador" << "DADOSCOMPRADOR_1" << "NOMECOMP";
    QTest::newRow("validation, address") << validacao << "ed_endereco" << "DADOSCOMPRADOR_1" << "ENDCOMP";
    QTest::newRow("validation, city") << validacao << "ed_cidade" << "DADOSCOMPRADOR_1" << "CIDCOMP";
    // The seller's name keeps the 30 characters its window has always taken, under the column's 50.
    const WindowMaker vendedor = [](TestInstallation &i) { return new TForm_vendedor(i.services()); };
    QTest::newRow("sellers, document") << vendedor << "dbdocumento" << "CAD_VENDEDOR" << "CPF_VEND";
    QTest::newRow("sellers, phone") << vendedor << "dbfone" << "CAD_VENDEDOR" << "FONE1";
    QTest::newRow("sellers, address") << vendedor << "dbende" << "CAD_VENDEDOR" << "END_VEND";
    QTest::newRow("sellers, district") << vendedor << "dbbairro" << "CAD_VENDEDOR" << "BAIRRO_VEND";
    QTest::newRow("sellers, city") << vendedor << "dbcidade" << "CAD_VENDEDOR" << "CID_VEND";
}

void TestTextLimits::fieldHoldsAtMostItsColumn() {
    QFETCH(WindowMaker, window);
    QFETCH(QString, field);
    QFETCH(QString, table);
    QFETCH(QString, column);
    const int length = columnLength(table, column);
    QVERIFY2(length > 0, qPrintable(table + u'.' + column));
    inst->dialogs.setLenient(true); // what the window says on opening is not the point here
    std::unique_ptr<QWidget> w(window(*inst));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto *edit = w->findChild<QLineEdit *>(field);
    QVERIFY2(edit, qPrintable(field));
    QCOMPARE(edit->maxLength(), length);
    // One character more than the column holds, typed: the field keeps exactly the column's length.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString(length + 1, u'7'));
    QCOMPARE(edit->text().size(), qsizetype(length));
    w->close();
    inst->dialogs.setLenient(false);
    inst->dialogs.clear();
}

KORVANTE_TEST(TestTextLimits)
#include "TestTextLimits.moc"
