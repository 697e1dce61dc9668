// Validations per second of a 2,000-ticket sequence typed into the validation window, against the
// same statements run bare in the same run (ratio = window rate / bare rate).
#include "data/AppContext.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "sales/TForm_Validacao.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kTickets = 2000; // BS5_D: 0000-9999 with 5 numbers per ticket

class CountingDialogs : public Dialogs {
public:
    int shown = 0;
    QString last;
    void message(const QString &, const QString &text, BoxIcon) override {
        ++shown;
        last = text;
    }
    bool question(const QString &, const QString &, bool d) override { return d; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override {
        return {};
    }
    QString chooseOpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

bool dealTickets(QSqlDatabase db) {
    db.transaction();
    for (int t = 1; t <= kTickets; ++t) {
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO BS5_D (NUMBILHETE, N1, N2, N3, N4, N5) VALUES (?, ?, ?, ?, ?, ?)"));
        q.addBindValue(t);
        for (int i = 0; i < 5; ++i)
            q.addBindValue((t - 1) * 5 + i);
        if (!q.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

void choose(WorkingRaffle &r, int slot) {
    r.CodRifaUsar = QString::number(slot);
    r.MaiorNumero = 9999;
    r.QtNumBilhete = 5;
    r.TabelaBaseUsar = QStringLiteral("BS5_D");
    r.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_%1").arg(slot);
    r.ValorRifa = 10;
}

// The statements of one validation per ticket, without the window and its routine.
double runBare(QSqlDatabase db, int slot, QString *error) {
    const QString buyer = QStringLiteral("DADOSCOMPRADOR_%1").arg(slot);
    const QString mark = QStringLiteral("VALID_R%1").arg(slot);
    QElapsedTimer clock;
    clock.start();
    for (int n = 1; n <= kTickets; ++n) {
        QSqlQuery check(db);
        check.prepare(QStringLiteral("Select NUMBILHETE from ") + buyer +
                      QStringLiteral(" where NUMBILHETE=? and NUM_CAD_RIFA=?"));
        check.addBindValue(n);
        check.addBindValue(slot);
        if (!check.exec() || check.next()) {
            *error = QStringLiteral("check failed at %1").arg(n);
            return -1;
        }
        db.transaction();
        QSqlQuery ins(db);
        ins.prepare(
            QStringLiteral("INSERT INTO ") + buyer +
            QStringLiteral(
                " (NUM_CAD_RIFA,NUMBILHETE,VALOR,VALIDADO,AUT_DIGITAL_VAL,DATA_VAL) VALUES (?,?,?,?,?,?)"));
        for (const QVariant &v : QVariantList{slot, n, 10.0, QStringLiteral("Sim"),
                                              QStringLiteral("AB3x@K7ÇZ"), QDate::currentDate()})
            ins.addBindValue(v);
        QSqlQuery upd(db);
        upd.prepare(QStringLiteral("Update BS5_D set ") + mark + QStringLiteral("=:N_") + mark +
                    QStringLiteral(" where NUMBILHETE=:NUMBILHETE"));
        upd.bindValue(QStringLiteral(":N_") + mark, QStringLiteral("S"));
        upd.bindValue(QStringLiteral(":NUMBILHETE"), n);
        if (!ins.exec() || !upd.exec() || upd.numRowsAffected() != 1 || !db.commit()) {
            *error = QStringLiteral("bare validation failed at %1: %2").arg(n).arg(ins.lastError().text());
            db.rollback();
            return -1;
        }
    }
    return clock.nsecsElapsed() / 1e9;
}

double runWindow(AppContext &ctx, CountingDialogs &dialogs, int *eventsBetween, QString *error) {
    TForm_Validacao form(ctx);
    form.setValor(10);
    form.show();
    QCoreApplication::processEvents();
    form.findChild<QLineEdit *>(QStringLiteral("ED_NUM_BILHETE"))
        ->setText(QStringLiteral("1-%1").arg(kTickets));
    // A zero timer fires only when the window processes its events: counts how often it did.
    int ticks = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { ++ticks; });
    probe.start(0);
    const int before = dialogs.shown;
    QElapsedTimer clock;
    clock.start();
    form.BTN_ValidarClick();
    const double seconds = clock.nsecsElapsed() / 1e9;
    probe.stop();
    *eventsBetween = ticks;
    if (dialogs.shown != before) {
        *error = QStringLiteral("the window refused: ") + dialogs.last;
        return -1;
    }
    return seconds;
}

int count(QSqlDatabase db, const QString &sql) {
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    QString error;
    if (!DatabaseFiles::createInFolder(dir.path(), &error)) {
        out << "cannot create databases: " << error << Qt::endl;
        return 1;
    }
    CountingDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry(dir.filePath(QStringLiteral("registry.ini")));
    TDM tdm(dir.path(), dialogs);
    if (!tdm.open(&error) || !dealTickets(tdm.CONEX_R())) {
        out << "cannot prepare: " << error << Qt::endl;
        return 1;
    }
    WorkingRaffle raffle;
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, dir.path()}, raffle);

    double bareTotal = 0, windowTotal = 0;
    out << "round  kind    rows  seconds  rows/s   events between tickets\n";
    // Two rounds in alternating order, each on raffle slots of its own in the same ticket table.
    for (int round = 0; round < 2; ++round) {
        const int bareSlot = round == 0 ? 1 : 4, windowSlot = round == 0 ? 2 : 3;
        for (int step = 0; step < 2; ++step) {
            const bool bareFirst = round == 0;
            const bool bare = (step == 0) == bareFirst;
            double seconds;
            int events = 0;
            if (bare) {
                seconds = runBare(tdm.CONEX_R(), bareSlot, &error);
            } else {
                choose(raffle, windowSlot);
                seconds = runWindow(ctx, dialogs, &events, &error);
            }
            if (seconds < 0) {
                out << "failed: " << error << Qt::endl;
                return 1;
            }
            const int slot = bare ? bareSlot : windowSlot;
            const int rows =
                count(tdm.CONEX_R(), QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_%1").arg(slot));
            const int marks = count(
                tdm.CONEX_R(), QStringLiteral("SELECT COUNT(*) FROM BS5_D WHERE VALID_R%1='S'").arg(slot));
            if (rows != kTickets || marks != kTickets) {
                out << "wrong result: " << rows << " rows, " << marks << " marks" << Qt::endl;
                return 1;
            }
            (bare ? bareTotal : windowTotal) += seconds;
            out << QStringLiteral("%1      %2  %3  %4  %5  %6\n")
                       .arg(round + 1)
                       .arg(bare ? QStringLiteral("bare  ") : QStringLiteral("window"))
                       .arg(rows)
                       .arg(seconds, 7, 'f', 3)
                       .arg(rows / seconds, 7, 'f', 0)
                       .arg(bare ? QStringLiteral("-") : QString::number(events));
        }
    }
    const double bareRate = 2 * kTickets / bareTotal, windowRate = 2 * kTickets / windowTotal;
    out << QStringLiteral("total  bare    %1  %2  %3\n")
               .arg(2 * kTickets)
               .arg(bareTotal, 7, 'f', 3)
               .arg(bareRate, 7, 'f', 0);
    out << QStringLiteral("total  window  %1  %2  %3\n")
               .arg(2 * kTickets)
               .arg(windowTotal, 7, 'f', 3)
               .arg(windowRate, 7, 'f', 0);
    out << QStringLiteral("ratio window/bare: %1 (target >= 0.80)").arg(windowRate / bareRate, 0, 'f', 3)
        << Qt::endl;
    return 0;
}
