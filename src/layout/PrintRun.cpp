#include "layout/PrintRun.h"

#include "data/AppContext.h"
#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "layout/TicketLayout.h"
#include "platform/Dialogs.h"
#include "raffle/WorkingRaffle.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

PrintRun::PrintRun(AppContext &ctx) : m_ctx(ctx) {}

int PrintRun::ticketCount() const {
    const int q = m_ctx.raffle.QtNumBilhete;
    return q > 0 ? (m_ctx.raffle.MaiorNumero + 1) / q : 0;
}

bool PrintRun::check(const PrintRunInput &in) {
    Dialogs &d = m_ctx.dialogs;
    const QString comp = in.comprimentoText.trimmed();
    if (in.columnsText.trimmed() == QLatin1String("2") && !comp.isEmpty() && comp.toInt() > 98 &&
        !in.whatsMode)
        d.notice(QStringLiteral(
            "ATENÇÃO... talvez pelo comprimento definido do bilhete, não dê para sair em 2 colunas "
            "ou mais, ai o ideal e usar sem colunas (zero) ou diminuir o comprimiento do Blhete "
            "para no máximo 98mm"));
    // An empty COMPRIMENTO reads as 0 here, so it never warns.
    if (in.columnsText.trimmed() == QLatin1String("3") && comp.toInt() > 65)
        d.notice(QStringLiteral(
            "ATENÇÃO... talvez pelo comprimento definido do bilhete, não dê para sair em 3 colunas "
            "ou mais, ai o ideal e usar sem colunas (zero) ou diminuir o comprimiento do Blhete "
            "para no máximo 65mm"));
    if (in.de.trimmed().isEmpty() || in.ate.trimmed().isEmpty()) {
        d.notice(QStringLiteral("Campo DE: e ATÉ: tem que estar com algum número"));
        return false;
    }
    const int de = in.de.trimmed().toInt(), ate = in.ate.trimmed().toInt();
    if (ate < de) {
        d.notice(QStringLiteral("O Campo ATÉ: obrigatoriamente tem que ser igual ou superior ao campo DE:"));
        return false;
    }
    if (m_printOnly) return true;
    const int count = ticketCount();
    // A raffle without numbers per ticket has no ticket to print.
    if (ate > count) {
        d.error(
            QStringLiteral("O Número de Controle do Bilhete digitado está além do último Bilhete desta Rifa. "
                           "O C.Bilhete máximo que pode ser digitado é até: %1")
                .arg(count));
        return false;
    }
    if (in.usarCBarra == 1 || in.usarCBarra == 2) {
        if (++m_barcodeCounter > 5) {
            m_barcodeCounter = 0;
            d.notice(QStringLiteral(
                "Você está usando CÓDIGO DE BARRAS. A visualização por várias vezes sem decidir "
                "imprimir, pode gerar uma mancha PRETA no Código de Barras. Caso isso ocorra, "
                "ideal que você Feche do Programa e Reabra, e faça a impressão!"));
        }
    }
    return true;
}

bool PrintRun::fillQueue(const PrintRunInput &in, QString *error) {
    QSqlDatabase db = m_ctx.tdm.CONEX_PRINT();
    QSqlQuery q(db);
    for (const char *sql : {"ALTER SEQUENCE GEN_TAB_PRN_ID RESTART WITH 0", "delete from TAB_PRN"}) {
        if (!q.exec(QLatin1String(sql))) {
            if (error) *error = q.lastError().text();
            return false;
        }
    }
    return TransferirRifaPRN(m_ctx.raffle.TabelaBaseUsar, m_ctx.raffle.QtNumBilhete, in, error);
}

bool PrintRun::TransferirRifaPRN(const QString &table, int k, const PrintRunInput &in, QString *error) {
    const auto fail = [&](const QString &why) {
        if (error) *error = why;
        return false;
    };
    const auto ticketTable = TicketTables::find(table);
    if (!ticketTable || ticketTable->perTicket != k)
        return fail(QStringLiteral("Tabela de bilhetes inválida: ") + table);

    // The ranges to copy: one per entry of the send list, or DE..ATÉ.
    QList<QPair<int, int>> ranges;
    const int sendCount = m_ctx.raffle.QtBilhetesEnvio;
    if (sendCount >= 2) {
        for (int i = 0; i < sendCount && i < in.sendList.size(); ++i) {
            const int n = in.sendList.at(i).trimmed().toInt();
            ranges.append({n, n});
        }
    } else {
        ranges.append({in.de.trimmed().toInt(), in.ate.trimmed().toInt()});
    }

    QStringList columns, marks;
    for (int i = 1; i <= k; ++i) {
        columns << QStringLiteral("N%1").arg(i);
        marks << QStringLiteral(":num%1").arg(i);
    }
    const QString insert =
        QStringLiteral("Insert Into TAB_PRN (%1,NUMBILHETE,AUT_DIGITAL) values (%2,:NUMBILHETE,:AUT_DIGITAL)")
            .arg(columns.join(u','), marks.join(u','));

    QSqlDatabase print = m_ctx.tdm.CONEX_PRINT();
    if (!print.transaction()) return fail(print.lastError().text());
    QSqlQuery ins(print);
    if (!ins.prepare(insert)) {
        const QString why = ins.lastError().text();
        print.rollback();
        return fail(why);
    }
    QSqlQuery sel(m_ctx.tdm.CONEX_R());
    sel.setForwardOnly(true);
    // Sorted, so the sheet shows the tickets in control-number order.
    if (!sel.prepare(
            QStringLiteral("Select * from %1 where NUMBILHETE>=? and NUMBILHETE<=? order by NUMBILHETE")
                .arg(ticketTable->name))) {
        const QString why = sel.lastError().text();
        print.rollback();
        return fail(why);
    }
    for (const auto &[from, to] : ranges) {
        sel.addBindValue(from);
        sel.addBindValue(to);
        if (!sel.exec()) {
            const QString why = sel.lastError().text();
            print.rollback();
            return fail(why);
        }
        while (sel.next()) {
            const int numBilhete = sel.value(QStringLiteral("NUMBILHETE")).toInt();
            int pos = 0;
            for (int i = 1; i <= k; ++i)
                ins.bindValue(pos++, sel.value(QStringLiteral("N%1").arg(i)));
            ins.bindValue(pos++, numBilhete);
            ins.bindValue(pos++, sqlValue(Cod_AutBilhete_zap(numBilhete, in.whatsMode)));
            if (!ins.exec()) {
                const QString why = ins.lastError().text();
                print.rollback();
                return fail(why);
            }
        }
    }
    if (!print.commit()) {
        const QString why = print.lastError().text();
        print.rollback();
        return fail(why);
    }
    return true;
}

QString PrintRun::Cod_AutBilhete_zap(int numBilhete, bool whatsMode) const {
    if (!whatsMode) return {};
    const QString buyers = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (buyers.isEmpty()) return {};
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.prepare(
        QStringLiteral("Select AUT_DIGITAL_VAL from %1 where VALIDADO=? and NUMBILHETE=? and NUM_CAD_RIFA=?")
            .arg(buyers));
    q.addBindValue(QStringLiteral("Sim"));
    q.addBindValue(numBilhete);
    q.addBindValue(m_ctx.raffle.slot());
    if (!q.exec() || !q.next()) return {};
    return q.value(0).toString().trimmed();
}

QList<QueuedTicket> PrintRun::readQueue(QString *error) const {
    QList<QueuedTicket> out;
    QSqlQuery q(m_ctx.tdm.CONEX_PRINT());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("Select * from Tab_PRN order by AUTOCOD"))) {
        if (error) *error = q.lastError().text();
        return out;
    }
    while (q.next()) {
        QueuedTicket t;
        t.numBilhete = q.value(QStringLiteral("NUMBILHETE")).toInt();
        for (int i = 0; i < 10; ++i)
            t.numbers[i] = q.value(QStringLiteral("N%1").arg(i + 1));
        t.autDigital = q.value(QStringLiteral("AUT_DIGITAL")).toString().trimmed();
        out.append(t);
    }
    return out;
}

bool PrintRun::emptyQueue(QString *error) {
    // The delete commits by itself; the connection stays as it is.
    QSqlQuery q(m_ctx.tdm.CONEX_PRINT());
    if (q.exec(QStringLiteral("delete from TAB_PRN"))) return true;
    if (error) *error = q.lastError().text();
    return false;
}

void PrintRun::chooseFormat(const QString &modalidade) {
    if (const int d = TicketLayout::numberDigits(modalidade.trimmed())) m_digits = d;
}
