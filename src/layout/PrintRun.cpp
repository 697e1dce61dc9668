#include "layout/PrintRun.h"

#include "data/AppContext.h"
#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "layout/TicketLayout.h"
#include "platform/Dialogs.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <climits>

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
    // Wide enough for any typed digits: a long number must not wrap to 0 and pass the checks.
    const qlonglong de = in.de.trimmed().toLongLong(), ate = in.ate.trimmed().toLongLong();
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

bool PrintRun::fillQueue(const PrintRunInput &in, QString *error, const PrintQueue::Progress &progress,
                         bool *cancelled) {
    // Emptying, the numbering's restart and the copy happen in one transaction.
    return TransferirRifaPRN(m_ctx.raffle.TabelaBaseUsar, m_ctx.raffle.QtNumBilhete, in, error, progress,
                             cancelled);
}

bool PrintRun::TransferirRifaPRN(const QString &table, int k, const PrintRunInput &in, QString *error,
                                 const PrintQueue::Progress &progress, bool *cancelled) {
    if (cancelled) *cancelled = false;
    m_queued = 0;
    // The ranges to copy: one per entry of the send list, or DE..ATÉ.
    QList<QPair<int, int>> ranges;
    const int sendCount = m_ctx.raffle.QtBilhetesEnvio;
    if (sendCount >= 2) {
        for (int i = 0; i < sendCount && i < in.sendList.size(); ++i) {
            const int n = in.sendList.at(i).trimmed().toInt();
            ranges.append({n, n});
        }
    } else {
        const qlonglong de = in.de.trimmed().toLongLong(), ate = in.ate.trimmed().toLongLong();
        ranges.append({int(std::clamp<qlonglong>(de, 0, INT_MAX)), int(std::clamp<qlonglong>(ate, 0, INT_MAX))});
    }
    QHash<int, QString> codes;
    if (in.whatsMode) codes = authenticationCodes(ranges);
    PrintQueue queue(m_ctx.tdm);
    const PrintQueue::Outcome out = queue.fill(table, k, ranges, codes, progress);
    if (cancelled) *cancelled = out.cancelled;
    if (!out.ok) {
        if (error) *error = out.error;
        return false;
    }
    m_queued = out.tickets;
    return true;
}

QHash<int, QString> PrintRun::authenticationCodes(const QList<QPair<int, int>> &ranges) const {
    QHash<int, QString> codes;
    const QString buyers = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (buyers.isEmpty()) return codes;
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("Select NUMBILHETE, AUT_DIGITAL_VAL from %1 where VALIDADO=? and NUM_CAD_RIFA=? "
                             "and NUMBILHETE between ? and ?")
                  .arg(buyers));
    for (const auto &[from, to] : ranges) {
        q.addBindValue(QStringLiteral("Sim"));
        q.addBindValue(m_ctx.raffle.slot());
        q.addBindValue(from);
        q.addBindValue(to);
        if (!q.exec()) continue;
        while (q.next()) {
            const QString code = q.value(1).toString().trimmed();
            if (!code.isEmpty()) codes.insert(q.value(0).toInt(), code);
        }
    }
    return codes;
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

QString PrintRun::buyersPhone(const QList<int> &tickets) const {
    const QString buyers = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (buyers.isEmpty() || tickets.isEmpty()) return {};
    QString phone;
    for (int n : tickets) {
        QSqlQuery q(m_ctx.tdm.CONEX_R());
        q.prepare(QStringLiteral("Select FONECOMP from %1 where VALIDADO=? and NUMBILHETE=? and NUM_CAD_RIFA=?")
                      .arg(buyers));
        q.addBindValue(QStringLiteral("Sim"));
        q.addBindValue(n);
        q.addBindValue(m_ctx.raffle.slot());
        if (!q.exec() || !q.next()) return {};
        QString digits;
        for (QChar c : q.value(0).toString())
            if (c.isDigit() && c.unicode() < 128) digits += c;
        if (digits.isEmpty() || (!phone.isEmpty() && digits != phone)) return {};
        phone = digits;
    }
    return phone;
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
