#pragma once

#include "data/TicketTables.h"
#include "raffle/RaffleSelection.h"
#include "raffle/TextLines.h"
#include "salespage/TForm_ListaDisp.h"
#include "support/RaffleChooser.h"
#include "support/TestInstallation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>

// A raffle in slot 1 with its tickets dealt in order (ticket t holds the numbers (t-1)*q .. t*q-1),
// chosen as the working raffle in the chooser; and the sales-page window over it.
namespace SalesPageFixture {

struct Raffle {
    QString name = QStringLiteral("RIFA DA MOTO");
    QString modalidade = QStringLiteral("0000 - 9999");
    QString qtNum = QStringLiteral("4 Números");
    double price = 2.5;
    QString premios = QStringLiteral("1º PRÊMIO: UMA MOTO");
    QString regras = QStringLiteral("Sorteio pela Loteria Federal");
    int tickets = 0; // how many to deal; 0 = every ticket of the table
};

inline bool dealTickets(TestInstallation &inst, const QString &table, int tickets, int perTicket) {
    QStringList columns{QStringLiteral("NUMBILHETE")}, marks{QStringLiteral("?")};
    for (int i = 1; i <= perTicket; ++i) {
        columns << QStringLiteral("N%1").arg(i);
        marks << QStringLiteral("?");
    }
    QSqlDatabase db = inst.tdm->CONEX_R();
    if (!inst.exec(QStringLiteral("DELETE FROM %1").arg(table))) return false;
    db.transaction();
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u',')));
    for (int t = 1; t <= tickets; ++t) {
        q.addBindValue(t);
        for (int i = 0; i < perTicket; ++i)
            q.addBindValue((t - 1) * perTicket + i);
        if (!q.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

// Writes slot 1, chooses it in the chooser and deals its tickets.
inline bool chooseRaffle(TestInstallation &inst, const Raffle &r) {
    if (!inst.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA=?, MODALIDADE=?, USAR_QT_NUM=?, VLR_RIFA=?, "
                                  "DATA_EVENTO=?, PREMIOS=?, REGRAS_SORT=?, RIFA_ATIVA=1 WHERE CODRIFA=1"),
                   {r.name, r.modalidade, r.qtNum, r.price, QDate(2026, 12, 24), r.premios, r.regras}))
        return false;
    if (!RaffleChooser::choose(inst.context(), 1)) return false;
    const auto table = TicketTables::find(inst.raffle.TabelaBaseUsar);
    if (!table) return false;
    return dealTickets(inst, table->name, r.tickets > 0 ? r.tickets : table->tickets(), table->perTicket);
}

inline bool markTicket(TestInstallation &inst, int ticket, const QString &mark) {
    return inst.exec(
        QStringLiteral("UPDATE %1 SET VALID_R1=? WHERE NUMBILHETE=?").arg(inst.raffle.TabelaBaseUsar),
        {mark, ticket});
}

inline bool addPhone(TestInstallation &inst, const QString &ddd, const QString &number) {
    return inst.exec(QStringLiteral("INSERT INTO TELEFONE (DDD, TELEFONE) VALUES (?, ?)"), {ddd, number});
}

// The window and the way a person works it.
class Window {
public:
    explicit Window(TestInstallation &inst) : form(inst.context()) {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) qWarning("sales page window not exposed");
    }
    template <typename T> T *child(const char *name) { return form.findChild<T *>(QLatin1String(name)); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void clickLabel(const char *name) {
        QLabel *l = child<QLabel>(name);
        QTest::mouseClick(l, Qt::LeftButton, {}, l->rect().center());
    }
    void chooseMode(int option) {
        QRadioButton *r =
            child<QRadioButton>(QStringLiteral("RadioButton%1").arg(option).toLatin1().constData());
        QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2));
    }
    // Selects the field's text and types over it.
    void typeInto(const char *field, const QString &text) {
        QLineEdit *e = child<QLineEdit>(field);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Delete);
        typeText(e, text);
    }
    // Key by key; letters beyond ASCII (ç, ã) as a keyboard layout sends them.
    static void typeText(QWidget *target, const QString &text) {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(target, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    // Lists a block (mode 2 or 3) or everything for sale (mode 1) and lets the listing finish.
    void list(int mode, const QString &from, const QString &to) {
        chooseMode(mode);
        typeInto("Entre_1", from);
        typeInto("Entre_2", to);
        click("Button4");
        QTRY_VERIFY_WITH_TIMEOUT(form.CDS_ListarBIlhete().isComplete() || !form.CDS_ListarBIlhete().isOpen(),
                                 20000);
    }
    // Picks an entry of a list with the keyboard, as a person does with the drop-down closed.
    void pickWithKeys(const char *list, int downs) {
        QComboBox *c = child<QComboBox>(list);
        c->setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(c, Qt::Key_Down);
    }
    QString total() { return child<QLabel>("LBL_Total")->text(); }

    TForm_ListaDisp form;
};

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace SalesPageFixture
