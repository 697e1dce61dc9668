#include "backup/TForm_BACK_REST.h"
#include "data/TDM.h"
#include "draw/DrawRecords.h"
#include "draw/TForm_Ata.h"
#include "draw/TForm_SORTEIO.h"
#include "layout/TForm_ModuloPrint.h"
#include "layout/TForm_Visualizar.h"
#include "layout/PrintPackage.h"
#include "layout/TForm_pos.h"
#include "platform/ProfileFile.h"
#include "mainwindow/TForm_RIFA.h"
#include "printmodule/TForm_RIFAPrint.h"
#include "raffle/TForm_Cadastro.h"
#include "raffle/TForm_Usar.h"
#include "reports/BandReport.h"
#include "reports/TForm_Consulta.h"
#include "sales/SalesClosing.h"
#include "sales/TForm_Reserva.h"
#include "sales/TForm_Validacao.h"
#include "salespage/OrderMessage.h"
#include "salespage/TForm_ListaDisp.h"
#include "sellers/TForm_vendedor.h"
#include "support/LayoutCheck.h"
#include "support/PackageFixture.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"
#include "whatsapp/TForm_Whats.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <optional>

// Every window and panel of both programs, as a person sees it: each caption, check box, radio button
// and button shows its whole text, and no control lies over another unless the window puts it there.
// Run at the normal scale and again at 125 %, as Windows scales fonts and pixel geometry together.
namespace {

struct Opened {
    std::unique_ptr<QWidget> window;
    LayoutCheck::Rules rules;
    WindowWatcher *watcher = nullptr;
    // Faults of a modal window the opener led to, found while it was open.
    std::optional<QStringList> inside;
};

using Opener = std::function<void(TestInstallation &, Opened &)>;

template <typename T = QWidget> T *child(QWidget *w, const char *name) {
    T *found = w->findChild<T *>(QLatin1String(name));
    if (!found) qWarning() << "no control" << name;
    return found;
}

void click(QWidget *w, const char *name) {
    if (QWidget *c = child(w, name)) QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
}

// Picks an entry of a menu that a click has just opened, as a person clicks on it.
void chooseFromMenu(const QString &entry) {
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY2(menu, qPrintable(entry));
    for (QAction *a : menu->actions())
        if (a->text() == entry) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no menu entry ") + entry));
}

// A modal window that an action opens is checked while it is open, then closed: its faults stand for
// the row's.
void checkWhenShown(Opened &o, const char *name, LayoutCheck::Rules rules = {}) {
    o.watcher->on(QLatin1String(name), [&o, rules](QWidget *w) {
        if (QTest::qWaitForWindowExposed(w)) {
            QTest::qWait(50);
            o.inside = LayoutCheck::faults(w, rules);
        }
        if (auto *d = qobject_cast<QDialog *>(w)) d->reject();
        else w->close();
    });
}

// A right click on the row of a grid, as the window's own menu answers it.
void rightClick(QAbstractItemView *grid, int row) {
    const QPoint at = grid->visualRect(grid->model()->index(row, 1)).center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &menu);
}

void typeInto(QWidget *w, const char *name, const QString &text) {
    auto *edit = child<QLineEdit>(w, name);
    if (!edit) return;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestWindowLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void everyTextShownWhole_data();
    void everyTextShownWhole();
    void scaledRunPasses();
    void printModuleNamesItsUseOnce();

private:
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<WindowWatcher> watcher;
    Opened opened;
};

void TestWindowLayout::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(PackageFixture::prepareRaffleTwo(*inst, PackageFixture::writePictures(*inst)));
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(2, &error), qPrintable(error));
    inst->dialogs.setLenient(true);
    // Three sales with the longest names the columns hold, by a seller with a long name, so lists,
    // the sales report, the draw and its record show full rows.
    QVERIFY(inst->exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (NOME_VEND) VALUES (?)"),
                       {QStringLiteral("JOAQUINA VENDEDORA DE RIFAS DA PARÓQUIA SÃO JOSÉ")}));
    const int seller = inst->scalar(QStringLiteral("SELECT MAX(COD_VEND) FROM CAD_VENDEDOR")).toInt();
    for (int ticket : {7, 8, 2500}) {
        QVERIFY(inst->exec(
            QStringLiteral("INSERT INTO DADOSCOMPRADOR_2 (NUM_CAD_RIFA, NOMECOMP, ENDCOMP, CIDCOMP, UFCOMP, "
                           "FONECOMP, VALOR, NUMBILHETE, VALIDADO, AUT_DIGITAL_VAL, DATA_VAL, COD_VENDEDOR) "
                           "VALUES (2, ?, ?, ?, 'SP', '11987654321', 1250.5, ?, 'Sim', 'WÇÃ8K2MQZ', "
                           "'2026-12-01', ?)"),
            {QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA WWW"),
             QStringLiteral("RUA DAS ACÁCIAS, 1234, APTO 56, JARDIM PAULISTA"),
             QStringLiteral("SÃO JOSÉ DO RIO PRETO WWWWWWWW"), ticket, seller}));
        QVERIFY(inst->exec(QStringLiteral("UPDATE BS4_D SET VALID_R2='S' WHERE NUMBILHETE=?"), {ticket}));
    }
    // A recorded draw for the "Ata do Sorteio".
    DrawRecords records(inst->context());
    DrawRecord drawn;
    drawn.modo = QStringLiteral("CONTROLE");
    drawn.sorteado = QStringLiteral("C-0007");
    TicketRow winner{7, QStringLiteral("S"), {}};
    QVERIFY2(records.complete(drawn, winner, &error) && records.write(drawn, &error), qPrintable(error));
}

void TestWindowLayout::cleanup() {
    opened.window.reset();
    watcher.reset();
}

void TestWindowLayout::everyTextShownWhole_data() {
    QTest::addColumn<Opener>("open");
    const auto show = [](QWidget *w, Opened &o, LayoutCheck::Rules r = {}) {
        o.window.reset(w);
        o.rules = std::move(r);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    };

    const auto rules = [](QStringList mayCover, QList<QPair<QString, QString>> mayOverlap = {}) {
        return LayoutCheck::Rules{std::move(mayCover), std::move(mayOverlap)};
    };
    // The menus' captions lie on their picture.
    QTest::newRow("main window") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_RIFA(i.services()), o, rules({QStringLiteral("IMG_FUNDO")}));
    });
    QTest::newRow("registration") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Cadastro(i.context()), o);
    });
    QTest::newRow("chooser") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Usar(i.context()), o);
    });

    // The designer's panels open over the window for their task.
    const QStringList designerPanels{QStringLiteral("PANEL_TEXTOBASICO"), QStringLiteral("Panel_obterImagem"),
                                     QStringLiteral("Panel_Imagem_Livre"), QStringLiteral("Panel_impre_pos")};
    const auto designer = [=](TestInstallation &i, Opened &o) {
        // The active save button takes the place of the greyed one.
        show(new TForm_pos(i.context()), o,
             rules(designerPanels, {{QStringLiteral("botaoSalvarAtivo"), QStringLiteral("botaoSalvarInativo")}}));
    };
    QTest::newRow("designer") << Opener(designer);
    QTest::newRow("designer, text boxes") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        click(o.window.get(), "DBCheckBox1");
        QTest::mouseClick(child(o.window.get(), "Button5"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "PANEL_TEXTOBASICO")->isVisible());
    });
    // The stub box beside the ticket text, its separator and the stub's own dimension fields.
    QTest::newRow("designer, text boxes with stub") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        if (!child<QCheckBox>(o.window.get(), "DBCheckBox1")->isChecked()) click(o.window.get(), "DBCheckBox1");
        QTest::mouseClick(child(o.window.get(), "Button5"), Qt::LeftButton);
        if (!child<QCheckBox>(o.window.get(), "DBC_USAR_CANHOTO")->isChecked())
            click(o.window.get(), "DBC_USAR_CANHOTO");
        QVERIFY(child(o.window.get(), "DBR_TextoBasico_C")->isVisible());
        QVERIFY(child(o.window.get(), "Panel_Formatacao")->isVisible());
    });
    QTest::newRow("designer, background art") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        QTest::mouseClick(child(o.window.get(), "Image54"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_obterImagem")->isVisible());
    });
    QTest::newRow("designer, free image size") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        QTest::mouseClick(child(o.window.get(), "botao_img_Livre1"), Qt::LeftButton);
        chooseFromMenu(QStringLiteral("Alterar Dimensões"));
        QVERIFY(child(o.window.get(), "Panel_Imagem_Livre")->isVisible());
    });
    QTest::newRow("designer, print run") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        QTest::mouseClick(child(o.window.get(), "BOTAO_IMPRIMIR"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_impre_pos")->isVisible());
    });
    QTest::newRow("designer, guide grid") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        if (child(o.window.get(), "BotaoGrade")->isVisible())
            QTest::mouseClick(child(o.window.get(), "BotaoGrade"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "BotaoGradeSem")->isVisible());
    });
    QTest::newRow("designer, free image 2 size") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        QTest::mouseClick(child(o.window.get(), "botao_img_Livre2"), Qt::LeftButton);
        chooseFromMenu(QStringLiteral("Alterar Dimensões"));
        QVERIFY(child(o.window.get(), "Panel_Imagem_Livre")->isVisible());
    });
    QTest::newRow("print run preview") << Opener([=](TestInstallation &i, Opened &o) {
        designer(i, o);
        QTest::mouseClick(child(o.window.get(), "BOTAO_IMPRIMIR"), Qt::LeftButton);
        typeInto(o.window.get(), "Edit_DE", QStringLiteral("1"));
        typeInto(o.window.get(), "Edit_ATE", QStringLiteral("8"));
        checkWhenShown(o, "TForm_Visualizar");
        QTest::mouseClick(child(o.window.get(), "Img_botaoImprimir"), Qt::LeftButton);
        QVERIFY2(o.inside, "the preview did not open");
    });
    // The print module's designer: the same window with its editing locked.
    QTest::newRow("designer, print only") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_pos(i.context(), nullptr, TForm_pos::Variant::PrintOnly), o,
             rules(designerPanels, {{QStringLiteral("botaoSalvarAtivo"), QStringLiteral("botaoSalvarInativo")}}));
    });

    const QStringList validationPanels{QStringLiteral("Panel_validarW"), QStringLiteral("Panel8"),
                                       QStringLiteral("Panel_PeqVal"), QStringLiteral("Panel_Exportar"),
                                       QStringLiteral("Panel_CidPadrao"), QStringLiteral("Panel_FiltroValidar"),
                                       QStringLiteral("Panel_Agrupa_Whats"), QStringLiteral("Panel_Sugestao")};
    const auto validation = [=](TestInstallation &i, Opened &o) {
        show(new TForm_Validacao(i.context()), o, rules(validationPanels));
    };
    QTest::newRow("validation") << Opener(validation);
    QTest::newRow("validation, WhatsApp orders") << Opener([=](TestInstallation &i, Opened &o) {
        validation(i, o);
        QTest::mouseClick(child(o.window.get(), "IMM_ValidaMaisZap"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_validarW")->isVisible());
    });
    QTest::newRow("validation, validated list") << Opener([=](TestInstallation &i, Opened &o) {
        validation(i, o);
        QTest::mouseClick(child(o.window.get(), "Btn_ver"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_PeqVal")->isVisible());
    });
    // The list of sales with its rows, the closing of sales and the buttons under the list.
    const auto sales = [=](TestInstallation &i, Opened &o) {
        validation(i, o);
        QTest::mouseClick(child(o.window.get(), "Btn_ver"), Qt::LeftButton);
        QTest::mouseClick(child(o.window.get(), "Button3"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel8")->isVisible());
        QVERIFY(child<QTableView>(o.window.get(), "DBGrid3")->model()->rowCount() >= 3);
    };
    QTest::newRow("validation, list of sales") << Opener(sales);
    QTest::newRow("validation, sales closed") << Opener([=](TestInstallation &i, Opened &o) {
        sales(i, o);
        i.dialogs.expectQuestion({}, true);
        QTest::mouseClick(child(o.window.get(), "BTN_EncerrarVendas"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "BTN_ReabrirVendas")->isEnabled());
    });
    QTest::newRow("validation, sales reopened") << Opener([=](TestInstallation &i, Opened &o) {
        sales(i, o);
        i.dialogs.expectQuestion({}, true);
        QTest::mouseClick(child(o.window.get(), "BTN_ReabrirVendas"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "BTN_EncerrarVendas")->isEnabled());
    });
    QTest::newRow("validation, filter") << Opener([=](TestInstallation &i, Opened &o) {
        sales(i, o);
        QTest::mouseClick(child(o.window.get(), "Button2"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_FiltroValidar")->isVisible());
    });
    QTest::newRow("validation, grouped for sending") << Opener([=](TestInstallation &i, Opened &o) {
        sales(i, o);
        rightClick(child<QTableView>(o.window.get(), "DBGrid3"), 0);
        chooseFromMenu(QStringLiteral("Agrupar Para Envio por WhatsApp..."));
        QVERIFY(child(o.window.get(), "Panel_Agrupa_Whats")->isVisible());
    });
    QTest::newRow("sales report preview") << Opener([=](TestInstallation &i, Opened &o) {
        sales(i, o);
        checkWhenShown(o, "TForm_Visualizar");
        QTest::mouseClick(child(o.window.get(), "img_imprmirValidadas"), Qt::LeftButton);
        QVERIFY2(o.inside, "the preview did not open");
    });
    // An order whose tickets are sold: the replacements offered, then those of the reserve block. The
    // counters lie in their captions' gaps.
    const auto soldOrder = [=](TestInstallation &i, Opened &o) {
        validation(i, o);
        o.rules.mayOverlap = {{QStringLiteral("LBL_Vendidas"), QStringLiteral("LBL_VendidasLegenda")},
                              {QStringLiteral("LBL_TotalRep"), QStringLiteral("LBL_TotalRepLegenda")}};
        QTest::mouseClick(child(o.window.get(), "IMM_ValidaMaisZap"), Qt::LeftButton);
        OrderMessage order{{QStringLiteral("C-0007"), QStringLiteral("C-0008")},
                           QStringLiteral("MARIA APARECIDA DOS SANTOS"),
                           QStringLiteral("Rua das Acácias, 1234"),
                           QStringLiteral("São José do Rio Preto"),
                           QStringLiteral("SP"),
                           QStringLiteral("(17) 98765-4321"),
                           QStringLiteral("R$ 2.501,00"),
                           QStringLiteral("Nao Informar"),
                           QStringLiteral("1 ao 60")};
        QGuiApplication::clipboard()->setText(order.text().remove(u'*'));
        QTest::mouseClick(child(o.window.get(), "BTN_Colar"), Qt::LeftButton);
        QTest::mouseClick(child(o.window.get(), "BTN_ValidarDadosW"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_Sugestao")->isVisible());
    };
    QTest::newRow("validation, sold tickets offered") << Opener(soldOrder);
    QTest::newRow("validation, reserve block offered") << Opener([=](TestInstallation &i, Opened &o) {
        soldOrder(i, o);
        o.rules.mayCover << QStringLiteral("Panel_ForaFaixa"); // opened over the offered tickets
        QTest::mouseClick(child(o.window.get(), "BTN_MaisDisp"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_ForaFaixa")->isVisible());
    });
    // The notice of a validation blinks: the window is checked while it shows.
    QTest::newRow("validation, validated") << Opener([=](TestInstallation &i, Opened &o) {
        validation(i, o);
        auto *ticket = child<QLineEdit>(o.window.get(), "ED_NUM_BILHETE");
        ticket->setFocus();
        QTest::keyClicks(ticket, QStringLiteral("9"));
        QTest::mouseClick(child(o.window.get(), "BTN_Validar"), Qt::LeftButton);
        QTRY_VERIFY(child(o.window.get(), "LBL_AvisoValidada1")->isVisible());
        o.inside = LayoutCheck::faults(o.window.get(), o.rules);
    });
    QTest::newRow("validation, file") << Opener([=](TestInstallation &i, Opened &o) {
        validation(i, o);
        QTest::mouseClick(child(o.window.get(), "BTN_Mais"), Qt::LeftButton);
        chooseFromMenu(QStringLiteral("Exportar Validações"));
        QVERIFY(child(o.window.get(), "Panel_Exportar")->isVisible());
    });
    QTest::newRow("validation, default city") << Opener([=](TestInstallation &i, Opened &o) {
        validation(i, o);
        QWidget *city = child(o.window.get(), "ed_cidade");
        city->setFocus();
        QTest::keyClick(city, Qt::Key_F10);
        QVERIFY(child(o.window.get(), "Panel_CidPadrao")->isVisible());
    });

    QTest::newRow("reserve") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Reserva(i.context()), o);
    });
    // The phone and output-name lists open over the settings they fill.
    const auto salesPage = [=](TestInstallation &i, Opened &o) {
        show(new TForm_ListaDisp(i.context()), o,
             rules({QStringLiteral("Panel_Telefone"), QStringLiteral("Panel_ARQ_SAIDA")}));
    };
    QTest::newRow("reserve, block defined") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Reserva(i.context()), o);
        typeInto(o.window.get(), "ED_INICIO", QStringLiteral("2400"));
        typeInto(o.window.get(), "ED_FIM", QStringLiteral("2450"));
        QTest::mouseClick(child(o.window.get(), "Button1"), Qt::LeftButton);
        QVERIFY(child<QTableWidget>(o.window.get(), "DBGrid1")->rowCount() > 0);
    });
    QTest::newRow("sales page window") << Opener(salesPage);
    QTest::newRow("sales page window, block") << Opener([=](TestInstallation &i, Opened &o) {
        salesPage(i, o);
        click(o.window.get(), "RadioButton2");
        QVERIFY(child(o.window.get(), "Panel_Bloco")->isVisible());
        QTest::mouseClick(child(o.window.get(), "Button4"), Qt::LeftButton);
    });
    QTest::newRow("sales page window, phones") << Opener([=](TestInstallation &i, Opened &o) {
        salesPage(i, o);
        click(o.window.get(), "LBL_MaisFone");
        QVERIFY(child(o.window.get(), "Panel_Telefone")->isVisible());
    });
    QTest::newRow("sales page window, output names") << Opener([=](TestInstallation &i, Opened &o) {
        salesPage(i, o);
        click(o.window.get(), "Label12");
        QVERIFY(child(o.window.get(), "Panel_ARQ_SAIDA")->isVisible());
    });
    const auto sending = [=](TestInstallation &i, Opened &o) {
        show(new TForm_Whats(i.context(), {1, 2}, 4), o, rules({QStringLiteral("Panel_Instrucoes")}));
    };
    QTest::newRow("sending window") << Opener(sending);
    // Both notices blink: the window is checked while they show.
    QTest::newRow("sending window, copied") << Opener([=](TestInstallation &i, Opened &o) {
        sending(i, o);
        typeInto(o.window.get(), "ED_LINK", QStringLiteral("https://www.instagram.com/paroquiasaojose"));
        QTest::mouseClick(child(o.window.get(), "BTN_CopiarNum"), Qt::LeftButton);
        QTest::mouseClick(child(o.window.get(), "Button2"), Qt::LeftButton);
        QTRY_VERIFY(child(o.window.get(), "LBL_AvisoCopiar")->isVisible() &&
                    child(o.window.get(), "LBL_AvisoCopiar_Link")->isVisible());
        o.inside = LayoutCheck::faults(o.window.get(), o.rules);
    });
    QTest::newRow("sending window, instructions") << Opener([=](TestInstallation &i, Opened &o) {
        sending(i, o);
        click(o.window.get(), "Label16");
        QVERIFY(child(o.window.get(), "Panel_Instrucoes")->isVisible());
    });
    QTest::newRow("query") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Consulta(i.context()), o);
    });
    QTest::newRow("query, sold ticket") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Consulta(i.context()), o);
        auto *by = child<QComboBox>(o.window.get(), "CMB_TipoConsulta");
        by->setFocus();
        QTest::keyClick(by, Qt::Key_Down); // "Nº Controle do Bilhete"
        typeInto(o.window.get(), "Ed_numBilhete", QStringLiteral("7"));
        QTest::mouseClick(child(o.window.get(), "Button1"), Qt::LeftButton);
        auto *grid = child<QTableWidget>(o.window.get(), "DBGrid1");
        QVERIFY(grid->item(0, 1) && !grid->item(0, 1)->text().isEmpty());
    });

    // The big number stands where the digits stand; the paid mark is drawn on its box.
    const auto draw = [=](TestInstallation &i, Opened &o) {
        show(new TForm_SORTEIO(i.context()), o,
             rules({}, {{QStringLiteral("Shape_Pago"), QStringLiteral("LBL_PAGO_AMPLI")}}));
    };
    QTest::newRow("draw") << Opener(draw);
    for (const char *option : {"CHK_Todos", "CHK_Pagos", "CHK_Controle", "CHK_Federal"})
        QTest::addRow("draw, %s", option) << Opener([=](TestInstallation &i, Opened &o) {
            draw(i, o);
            click(o.window.get(), option);
        });

    // The winner's data over the draw, where the window places it.
    QTest::newRow("draw, winner") << Opener([=](TestInstallation &i, Opened &o) {
        draw(i, o);
        o.rules.mayCover << QStringLiteral("Panel_GANHADOR");
        click(o.window.get(), "CHK_Controle");
        QTest::mouseClick(child(o.window.get(), "BitBtn1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(child(o.window.get(), "BitBtn1")->isEnabled(), 20000);
        QCOMPARE(child<QLabel>(o.window.get(), "LBL_BIL")->text().left(2), QStringLiteral("C-"));
        QTest::mouseDClick(child(o.window.get(), "LBL_BIL"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_GANHADOR")->isVisible());
    });
    // A Loteria Federal result: the five prizes with their numbers and tickets in the grid.
    QTest::newRow("draw, Loteria Federal result") << Opener([=](TestInstallation &i, Opened &o) {
        const QDateTime now = i.clock.now();
        // Sales closed on the morning of the extraction, the result typed the next day.
        i.clock.set(QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC));
        const ClosingOutcome closed = SalesClosing(i.context()).close();
        i.clock.set(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
        draw(i, o);
        click(o.window.get(), "CHK_Federal");
        typeInto(o.window.get(), "Ed_Extracao", QStringLiteral("5123"));
        typeInto(o.window.get(), "Ed_DataExtracao", QStringLiteral("10122026"));
        const char *prizes[] = {"Ed_Premio1", "Ed_Premio2", "Ed_Premio3", "Ed_Premio4", "Ed_Premio5"};
        const char *results[] = {"35162", "48007", "90211", "77777", "02500"};
        for (int p = 0; p < 5; ++p)
            typeInto(o.window.get(), prizes[p], QString::fromLatin1(results[p]));
        QTest::mouseClick(child(o.window.get(), "BitBtn1"), Qt::LeftButton);
        i.clock.set(now);
        QVERIFY2(closed.ok, qPrintable(closed.message));
        auto *grid = child<QTableWidget>(o.window.get(), "Grid_Premios");
        QVERIFY(grid->item(0, 2) && !grid->item(0, 2)->text().isEmpty());
    });
    QTest::newRow("Ata") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Ata(i.context(), 0), o);
        QVERIFY(child<QTableWidget>(o.window.get(), "Grid_Sorteios")->rowCount() > 0);
    });
    QTest::newRow("Ata preview") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_Ata(i.context(), 0), o);
        checkWhenShown(o, "Preview_Ata");
        QTest::mouseClick(child(o.window.get(), "BTN_Imprimir"), Qt::LeftButton);
        QVERIFY2(o.inside, "the preview did not open");
    });

    QTest::newRow("sellers") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_vendedor(i.services()), o);
    });
    QTest::newRow("sellers, new seller") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_vendedor(i.services()), o);
        QTest::mouseClick(child(o.window.get(), "Btn_novo"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "btn_gravar")->isEnabled());
    });
    // Each layer of the backup window covers the window under its title.
    const QStringList layers{QStringLiteral("Panel_Principal"), QStringLiteral("Panel_Restaurar"),
                             QStringLiteral("Panel_Novo")};
    const auto backup = [=](TestInstallation &i, Opened &o) {
        show(new TForm_BACK_REST(i.services()), o, rules(layers));
    };
    QTest::newRow("backup") << Opener(backup);
    QTest::newRow("backup, destinations") << Opener([=](TestInstallation &i, Opened &o) {
        backup(i, o);
        QTest::mouseClick(child(o.window.get(), "BitBtn7"), Qt::LeftButton);
    });
    QTest::newRow("backup, new destination") << Opener([=](TestInstallation &i, Opened &o) {
        backup(i, o);
        QTest::mouseClick(child(o.window.get(), "BitBtn7"), Qt::LeftButton);
        QTest::mouseClick(child(o.window.get(), "Button2"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_Novo")->isVisible());
    });
    QTest::newRow("backup, restore") << Opener([=](TestInstallation &i, Opened &o) {
        backup(i, o);
        QTest::mouseClick(child(o.window.get(), "BitBtn8"), Qt::LeftButton);
        QVERIFY(child(o.window.get(), "Panel_Restaurar")->isVisible());
    });

    QTest::newRow("print package") << Opener([=](TestInstallation &i, Opened &o) {
        show(new TForm_ModuloPrint(i.context(), {i.file(QStringLiteral("art/fundo.jpg")), {}, {}}), o);
    });
    // Last: closing the print module closes the installation's database.
    QTest::newRow("print module") << Opener([=](TestInstallation &i, Opened &o) {
        ProfileFile control(i.file(QLatin1String(PrintPackage::ControlFileName)));
        QVERIFY(control.writeString(QLatin1String(PrintPackage::ControlSection),
                                    QLatin1String(PrintPackage::RaffleKey), QStringLiteral("2")));
        show(new TForm_RIFAPrint(i.services()), o, rules({QStringLiteral("IMG_FUNDO")}));
    });
}

void TestWindowLayout::everyTextShownWhole() {
    QFETCH(Opener, open);
    watcher = std::make_unique<WindowWatcher>();
    // The chooser that opens by itself over the menus is left with "Escolher Depois".
    if (QByteArray(QTest::currentDataTag()) != "chooser")
        watcher->on(QStringLiteral("TForm_Usar"),
                    [](QWidget *chooser) { WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER")); });
    opened.watcher = watcher.get();
    opened.inside.reset();
    open(*inst, opened);
    if (QTest::currentTestFailed()) return;
    QTest::qWait(50);
    const QStringList faults =
        opened.inside ? *opened.inside : LayoutCheck::faults(opened.window.get(), opened.rules);
    QVERIFY2(faults.isEmpty(), qPrintable(u'\n' + faults.join(u'\n')));
}

// The same windows at 125 %: this executable again with the toolkit's scale factor.
void TestWindowLayout::scaledRunPasses() {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) QSKIP("this is the scaled run");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.25"));
    env.insert(QStringLiteral("KORVANTE_TEST_CLASS"), QStringLiteral("TestWindowLayout"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("everyTextShownWhole")});
    QVERIFY(run.waitForFinished(600000));
    const QString output = QString::fromUtf8(run.readAll());
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(output));
}

// "Uso: Impressão" is the print module's caption; the menu picture under it carries no badge of its own
// (white lettering where the badge stood).
void TestWindowLayout::printModuleNamesItsUseOnce() {
    TestInstallation shop;
    QVERIFY2(shop.ok() && shop.openTdm(), qPrintable(shop.error()));
    shop.dialogs.setLenient(true);
    QVERIFY(ProfileFile(shop.file(QLatin1String(PrintPackage::ControlFileName)))
                .writeString(QLatin1String(PrintPackage::ControlSection), QLatin1String(PrintPackage::RaffleKey),
                             QStringLiteral("1")));
    TForm_RIFAPrint module(shop.services());
    module.show();
    QVERIFY(QTest::qWaitForWindowExposed(&module));
    auto *caption = child<QLabel>(&module, "LBL_Uso");
    QVERIFY(caption && caption->isVisible());
    QCOMPARE(caption->text(), QStringLiteral("Uso: Impressão"));
    const QImage art = child<QLabel>(&module, "IMG_FUNDO")->pixmap().toImage();
    int white = 0;
    for (int y = 110; y < 137; ++y)
        for (int x = 40; x < 240; ++x) {
            const QColor c = art.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200) ++white;
        }
    QVERIFY2(white < 10, qPrintable(QString::number(white)));
}

KORVANTE_TEST(TestWindowLayout)
#include "TestWindowLayout.moc"
