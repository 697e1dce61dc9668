// Records per second of a 100,000-record validation file imported through the validation window's
// "Importar Validações", against a bare import of the same records in the same run: the same
// batches, statements prepared once per batch, no checks (ratio = window rate / bare rate).
#include "data/AppContext.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "sales/TForm_Validacao.h"
#include "sales/ValidationFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr int kRecords = 100000; // BS1_C: 00000-99999 with one number per ticket

class ScriptedDialogs : public Dialogs {
public:
    QString file;
    QStringList shown;
    void message(const QString &, const QString &text, BoxIcon) override { shown << text; }
    bool question(const QString &, const QString &, bool) override { return true; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseOpenFile(const QString &, const QString &, const QString &) override { return file; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

bool dealTickets(QSqlDatabase db) {
    if (!db.transaction()) return false;
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("INSERT INTO BS1_C (NUMBILHETE, N1) VALUES (?, ?)"))) return false;
    for (int t = 1; t <= kRecords; ++t) {
        q.bindValue(0, t);
        q.bindValue(1, t - 1);
        if (!q.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

QByteArray fileOfRecords() {
    QByteArray bytes;
    bytes.reserve(qsizetype(kRecords) * ValidationFile::RecordSize);
    for (int n = 1; n <= kRecords; ++n) {
        ValidationRecord r;
        r.numBilhete = QString::number(n);
        r.nomeComp = QStringLiteral("COMPRADOR NÚMERO %1").arg(n);
        r.endComp = QStringLiteral("RUA DAS FLORES, %1").arg(n % 1000);
        r.foneComp = QStringLiteral("11987%1").arg(n, 6, 10, QLatin1Char('0'));
        r.cidComp = QStringLiteral("SÃO PAULO-SP");
        r.dataVal = QStringLiteral("05/12/2026");
        r.autDigital = QStringLiteral("AB3x@K7ÇZ");
        bytes += ValidationFile::encode(r);
    }
    return bytes;
}

void choose(WorkingRaffle &r, int slot) {
    r.CodRifaUsar = QString::number(slot);
    r.MaiorNumero = 99999;
    r.QtNumBilhete = 1;
    r.TabelaBaseUsar = QStringLiteral("BS1_C");
    r.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_%1").arg(slot);
    r.ValorRifa = 10;
}

// The same records read from the file and written with the validation's statements, nothing else.
double runBare(QSqlDatabase db, int slot, const QString &path, QString *error) {
    const QString buyer = QStringLiteral("DADOSCOMPRADOR_%1").arg(slot);
    const QString mark = QStringLiteral("VALID_R%1").arg(slot);
    QElapsedTimer clock;
    clock.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    const QDate date(2026, 12, 5);
    for (int first = 0; first < kRecords; first += ValidationImport::BatchSize) {
        db.transaction();
        QSqlQuery ins(db), upd(db);
        ins.prepare(QStringLiteral("INSERT INTO ") + buyer +
                    QStringLiteral(" (NUM_CAD_RIFA,NUMBILHETE,VALOR,VALIDADO,AUT_DIGITAL_VAL,DATA_VAL,NOMECOMP,"
                                   "FONECOMP,ENDCOMP,CIDCOMP) VALUES (?,?,?,?,?,?,?,?,?,?)"));
        upd.prepare(QStringLiteral("Update BS1_C set ") + mark + QStringLiteral("=? where NUMBILHETE=?"));
        for (int i = first; i < qMin(kRecords, first + ValidationImport::BatchSize); ++i) {
            const auto r = ValidationFile::decode(
                bytes.mid(qsizetype(i) * ValidationFile::RecordSize, ValidationFile::RecordSize), nullptr);
            const int n = r->numBilhete.toInt();
            const QVariantList values{slot,      n,          10.0,         QStringLiteral("Sim"),
                                      r->autDigital, date,   r->nomeComp, r->foneComp,
                                      r->endComp, r->cidComp};
            for (int v = 0; v < values.size(); ++v)
                ins.bindValue(v, values[v]);
            upd.bindValue(0, QStringLiteral("S"));
            upd.bindValue(1, n);
            if (!ins.exec() || !upd.exec()) {
                *error = QStringLiteral("bare import failed at %1: %2 %3")
                             .arg(n)
                             .arg(ins.lastError().text(), upd.lastError().text());
                db.rollback();
                return -1;
            }
        }
        if (!db.commit()) {
            *error = db.lastError().text();
            return -1;
        }
    }
    return clock.nsecsElapsed() / 1e9;
}

double runWindow(AppContext &ctx, ScriptedDialogs &dialogs, QString *error) {
    TForm_Validacao form(ctx);
    form.setValor(10);
    form.show();
    QCoreApplication::processEvents();
    auto *import = form.findChild<QAction *>(QStringLiteral("Importar1"));
    if (!import) {
        *error = QStringLiteral("no Importar1");
        return -1;
    }
    dialogs.shown.clear();
    QElapsedTimer clock;
    clock.start();
    import->trigger();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const QString expected = QStringLiteral("Importação do arquivo R1.dat concluída: %1 Bilhete(s) validado(s) de "
                                            "%1 registro(s).")
                                 .arg(kRecords);
    if (dialogs.shown != QStringList{expected}) {
        *error = QStringLiteral("the import said: ") + dialogs.shown.join(u'|');
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
    ScriptedDialogs dialogs;
    dialogs.file = dir.filePath(QStringLiteral("R1.dat"));
    {
        QFile file(dialogs.file);
        const QByteArray bytes = fileOfRecords();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return 1;
    }
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
    out << "round  kind     records  seconds  records/s\n";
    // Two rounds in alternating order, each on raffle slots of its own in the same ticket table.
    for (int round = 0; round < 2; ++round) {
        const int bareSlot = round == 0 ? 1 : 4, windowSlot = round == 0 ? 2 : 3;
        for (int step = 0; step < 2; ++step) {
            const bool bare = (step == 0) == (round == 0);
            double seconds;
            if (bare) {
                seconds = runBare(tdm.CONEX_R(), bareSlot, dialogs.file, &error);
            } else {
                choose(raffle, windowSlot);
                seconds = runWindow(ctx, dialogs, &error);
            }
            if (seconds < 0) {
                out << "failed: " << error << Qt::endl;
                return 1;
            }
            const int slot = bare ? bareSlot : windowSlot;
            const int rows =
                count(tdm.CONEX_R(), QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_%1").arg(slot));
            const int marks = count(
                tdm.CONEX_R(), QStringLiteral("SELECT COUNT(*) FROM BS1_C WHERE VALID_R%1='S'").arg(slot));
            if (rows != kRecords || marks != kRecords) {
                out << "wrong result: " << rows << " rows, " << marks << " marks" << Qt::endl;
                return 1;
            }
            // The old versions of the ticket rows are collected here, outside the timing, so that
            // no run pays for the one before it.
            count(tdm.CONEX_R(), QStringLiteral("SELECT COUNT(*) FROM BS1_C WHERE N1 >= 0"));
            (bare ? bareTotal : windowTotal) += seconds;
            out << QStringLiteral("%1      %2  %3  %4  %5\n")
                       .arg(round + 1)
                       .arg(bare ? QStringLiteral("bare   ") : QStringLiteral("window "))
                       .arg(rows, 7)
                       .arg(seconds, 7, 'f', 2)
                       .arg(rows / seconds, 9, 'f', 0);
            out.flush();
        }
    }
    const double ratio = bareTotal / windowTotal;
    out << QStringLiteral("ratio (window rate / bare rate): %1 (at least 0.5 wanted)\n").arg(ratio, 0, 'f', 2);
    return ratio >= 0.5 ? 0 : 2;
}
