#include "sales/SaleValidator.h"

#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/UnitOfWork.h"
#include "data/UpdateConflict.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/TypedValues.h"
#include "sales/SalesClosing.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <limits>
#include <map>

namespace {

const QString kKorvante = QStringLiteral("KORVANTE");

SaleOutcome refusal(const QString &message, SaleFocus focus = SaleFocus::Ticket) {
    SaleOutcome o;
    o.result = SaleOutcome::Result::Refused;
    o.message = message;
    o.icon = BoxIcon::Error;
    o.focus = focus;
    return o;
}

QVariant textOrNull(const QString &text, int maxLength) {
    if (text.isEmpty()) return QVariant(QMetaType::fromType<QString>());
    // Cut as the column counts: characters after the conversion to the code page.
    return Cp1252::representable(text).left(maxLength);
}

QString digitsOf(const QString &text) {
    QString digits;
    for (QChar c : text)
        if (c.isDigit()) digits += c;
    return digits;
}

} // namespace

QString SaleValidator::conflictMessage(int numBilhete) {
    return QStringLiteral("O Bilhete [%1] está sendo gravado neste momento por outro computador e a "
                          "validação não pôde ser concluída. Nada foi gravado para esse Bilhete: "
                          "tente validá-lo novamente em alguns instantes.")
        .arg(numBilhete);
}

QString SaleValidator::writtenText(const QList<int> &written) {
    if (written.isEmpty()) return {};
    bool consecutive = true;
    for (int i = 1; i < written.size(); ++i)
        if (written[i] != written[i - 1] + 1) consecutive = false;
    if (written.size() == 1) return QString::number(written.first());
    if (consecutive) return QStringLiteral("%1 a %2").arg(written.first()).arg(written.last());
    QStringList all;
    for (int n : written)
        all << QString::number(n);
    const QString last = all.takeLast();
    return all.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

// The statements of a batch, prepared at their first use and reused until the transaction ends
// (a statement does not outlive the transaction it was prepared in).
struct SaleValidator::Batch {
    explicit Batch(QSqlDatabase database) : db(std::move(database)) {}
    QSqlQuery *statement(const QString &sql, QString *error) {
        auto &q = statements[sql];
        if (!q) {
            q = std::make_unique<QSqlQuery>(db);
            q->setForwardOnly(true);
            if (!q->prepare(sql)) {
                if (error) *error = q->lastError().text();
                statements.erase(sql);
                return nullptr;
            }
        }
        return q.get();
    }
    QSqlDatabase db;
    std::map<QString, std::unique_ptr<QSqlQuery>> statements;
};

SaleValidator::SaleValidator(AppContext &ctx) : m_ctx(ctx) {}

SaleValidator::~SaleValidator() {
    rollbackBatch();
}

bool SaleValidator::beginBatch(QString *error) {
    if (m_batch) return true;
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    if (!db.transaction()) {
        if (error) *error = db.lastError().text();
        return false;
    }
    m_batch = std::make_unique<Batch>(db);
    return true;
}

bool SaleValidator::commitBatch(QString *error) {
    if (!m_batch) return true;
    QSqlDatabase db = m_batch->db;
    m_batch.reset();
    if (db.commit()) return true;
    if (error) *error = db.lastError().text();
    db.rollback();
    return false;
}

void SaleValidator::rollbackBatch() {
    if (!m_batch) return;
    QSqlDatabase db = m_batch->db;
    m_batch.reset();
    db.rollback();
}

bool SaleValidator::savepoint(const char *statement, QString *error) {
    QSqlQuery *q = m_batch->statement(QLatin1String(statement), error);
    if (!q) return false;
    if (q->exec()) return true;
    if (error) *error = q->lastError().text();
    return false;
}

const QStringList &SaleValidator::TabelaAutDigital() {
    static const QStringList table = [] {
        QStringList t;
        const QString pieces[] = {
            QStringLiteral("0123456789"),
            QStringLiteral("ABCDEFGHJKLMNOPQRSTUVXYZ"),
            QStringLiteral("@5$%&Ç?ÄýP6ÐÃ%§ÕK"),
            QStringLiteral("1234567890"),
            QStringLiteral("@ÿßÑA&¥$H®"),
            QStringLiteral("012345678"),
            QStringLiteral("abcdefghjkmnpqrstuvxz"),
        };
        for (const QString &p : pieces)
            for (QChar c : p)
                t << QString(c);
        return t;
    }();
    return table;
}

QString SaleValidator::GerarAutDigital() {
    // Nine independent draws over entries 0..99; the last entry is never drawn, repeated ones are likelier.
    QString code;
    for (int i = 0; i < 9; ++i)
        code += TabelaAutDigital().at(int(m_ctx.random.bounded(100)));
    return code;
}

int SaleValidator::numbersOfModality() const {
    return m_ctx.raffle.MaiorNumero + 1;
}

int SaleValidator::highestControlNumber() const {
    const int q = m_ctx.raffle.QtNumBilhete;
    return q > 0 ? numbersOfModality() / q : 0;
}

QString SaleValidator::markFailureMessage(const QString &table, int numBilhete, const QString &detail) {
    return QStringLiteral("Erro ao Validar dados na tabela ") + table +
           QStringLiteral(". Favor retire a validação desse Bilhete [") + QString::number(numBilhete) +
           QStringLiteral("] e revalide!") + QStringLiteral("\r\r") + QStringLiteral("Detalhe do Erro: ") +
           detail;
}

QString SaleValidator::invalidNumberMessage(const QString &text) {
    return QStringLiteral("'") + text + QStringLiteral("' não é um número válido.");
}

std::optional<QString> SaleValidator::raffleProblem() const {
    const WorkingRaffle &r = m_ctx.raffle;
    const int k = r.slot();
    const auto table = TicketTables::find(r.TabelaBaseUsar);
    const bool consistent =
        k >= 1 && k <= 5 && r.CodRifaUsar.size() == 1 && table && table->perTicket == r.QtNumBilhete &&
        table->numbers == numbersOfModality() &&
        r.TabelaCompradorUsar.compare(TicketTables::buyerTable(k), Qt::CaseInsensitive) == 0;
    if (consistent) return std::nullopt;
    return QStringLiteral(
        "A Rifa a Trabalhar não está definida corretamente (código, modalidade ou quantidade de "
        "números por bilhete). Escolha novamente a Rifa a Trabalhar!");
}

bool SaleValidator::existsIn(const QSqlDatabase &db, int numBilhete, bool *exists, QString *error) const {
    *exists = false;
    const QString table = TicketTables::buyerTable(m_ctx.raffle.slot());
    if (table.isEmpty()) return false;
    const QString sql = QStringLiteral("Select NUMBILHETE from ") + table +
                        QStringLiteral(" where NUMBILHETE=? and NUM_CAD_RIFA=?");
    QSqlQuery local(db);
    QSqlQuery *q = &local;
    if (m_batch) {
        q = m_batch->statement(sql, error);
        if (!q) return false;
    } else {
        local.setForwardOnly(true);
        if (!local.prepare(sql)) {
            if (error) *error = local.lastError().text();
            return false;
        }
    }
    q->bindValue(0, numBilhete);
    q->bindValue(1, m_ctx.raffle.slot());
    if (!q->exec()) {
        if (error) *error = q->lastError().text();
        return false;
    }
    *exists = q->next();
    if (m_batch) q->finish();
    return true;
}

bool SaleValidator::ConsultaJaExist(int numBilhete) const {
    bool exists = false;
    existsIn(m_ctx.tdm.CONEX_R(), numBilhete, &exists, nullptr);
    return exists;
}

bool SaleValidator::MarcarValTabelaBS(int numBilhete, MarkAction action, QString *error, bool *conflict) {
    QSqlError failure;
    if (mark(numBilhete, action, &failure)) return true;
    if (error) *error = failure.text();
    if (conflict) *conflict = isUpdateConflict(failure);
    return false;
}

QSqlQuery *SaleValidator::statement(QSqlQuery &local, const QString &sql, QSqlError *error) {
    if (m_batch) {
        QString why;
        QSqlQuery *q = m_batch->statement(sql, &why);
        if (!q) *error = UnitOfWork::refusal(why);
        return q;
    }
    if (local.prepare(sql)) return &local;
    *error = local.lastError();
    return nullptr;
}

bool SaleValidator::mark(int numBilhete, MarkAction action, QSqlError *error) {
    const int k = m_ctx.raffle.slot();
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    const QString column = TicketTables::markColumn(k);
    if (!table || column.isEmpty()) {
        *error = UnitOfWork::refusal(QStringLiteral("Tabela de bilhetes inválida: ") +
                                     m_ctx.raffle.TabelaBaseUsar);
        return false;
    }
    const QString param = QStringLiteral(":N_") + column;
    QSqlQuery local(m_ctx.tdm.CONEX_R());
    QSqlQuery *q = statement(local,
                             QStringLiteral("Update ") + table->name + QStringLiteral(" set ") + column +
                                 u'=' + param + QStringLiteral(" where NUMBILHETE=:NUMBILHETE"),
                             error);
    if (!q) return false;
    q->bindValue(param, action == MarkAction::Incluir ? QStringLiteral("S") : QString(QLatin1String("")));
    q->bindValue(QStringLiteral(":NUMBILHETE"), numBilhete);
    if (!q->exec()) {
        *error = q->lastError();
        return false;
    }
    if (q->numRowsAffected() != 1) {
        // No ticket row: a mark that changes nothing must not pass for a sale.
        *error = UnitOfWork::refusal(
            QStringLiteral("O Bilhete [%1] não existe na tabela %2.").arg(numBilhete).arg(table->name));
        return false;
    }
    return true;
}

SaleValidator::Written SaleValidator::writeSale(int numBilhete, const SaleRequest &input, bool withBuyerData,
                                                const QDate &date) {
    QSqlDatabase db = m_ctx.tdm.CONEX_R();
    const int k = m_ctx.raffle.slot();
    const QString table = TicketTables::buyerTable(k);

    QStringList columns{QStringLiteral("NUM_CAD_RIFA"),    QStringLiteral("NUMBILHETE"),
                        QStringLiteral("VALOR"),           QStringLiteral("VALIDADO"),
                        QStringLiteral("AUT_DIGITAL_VAL"), QStringLiteral("DATA_VAL")};
    QVariantList values{k, numBilhete, input.price, QStringLiteral("Sim"), QVariant(), date};
    if (withBuyerData) {
        columns << QStringLiteral("NOMECOMP") << QStringLiteral("FONECOMP") << QStringLiteral("ENDCOMP")
                << QStringLiteral("CIDCOMP");
        values << textOrNull(input.buyer, BuyerColumns::NOMECOMP)
               << textOrNull(digitsOf(input.phone), BuyerColumns::FONECOMP)
               << textOrNull(input.address, BuyerColumns::ENDCOMP)
               << textOrNull(input.city.toUpper(), BuyerColumns::CIDCOMP);
        if (input.sellerFieldEnabled && !input.sellerCode.trimmed().isEmpty()) {
            columns << QStringLiteral("COD_VENDEDOR");
            values << input.sellerCode.trimmed().toInt();
        }
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                           columns.join(u',') + QStringLiteral(") VALUES (") + marks.join(u',') + u')';

    // The buyer row, then the mark.
    bool insertFailed = false;
    auto sale = [&](QSqlError *error) {
        insertFailed = false;
        if (!SalesClosing::claim(db, k, error, numBilhete)) return false;
        values[4] = sqlValue(GerarAutDigital()); // a fresh code for every try
        QSqlQuery local(db);
        QSqlQuery *ins = statement(local, insert, error);
        if (!ins) return false;
        for (int i = 0; i < values.size(); ++i)
            ins->bindValue(i, values[i]);
        if (!ins->exec()) {
            insertFailed = true;
            *error = ins->lastError();
            return false;
        }
        if (!m_batch) ins->finish();
        return mark(numBilhete, MarkAction::Incluir, error);
    };

    Written w;
    QSqlError err;
    if (m_batch) {
        // In a batch the sale's savepoint stands for its transaction, and a conflict is not tried again
        // here: the transaction's snapshot would meet the same change again.
        QString why;
        if (!savepoint("SAVEPOINT KV_VENDA", &why)) {
            w.error = why;
            return w;
        }
        if (sale(&err)) {
            if (savepoint("RELEASE SAVEPOINT KV_VENDA ONLY", &why)) {
                w.ok = true;
                return w;
            }
            err = UnitOfWork::refusal(why);
        }
        savepoint("ROLLBACK TO SAVEPOINT KV_VENDA", nullptr);
        w.conflict = isUpdateConflict(err);
    } else {
        UnitOfWork unit(db, m_retryPolicy);
        const UnitOfWork::Result result = unit.run(sale);
        if (result == UnitOfWork::Result::Done) {
            w.ok = true;
            return w;
        }
        err = unit.error();
        w.conflict = result == UnitOfWork::Result::Conflict;
    }
    if (insertFailed) {
        // Another computer sold the ticket between our check and our row: the unique index refused it.
        bool exists = false;
        existsIn(db, numBilhete, &exists, nullptr);
        w.duplicate = exists || isDuplicateKey(err);
    }
    if (w.duplicate) w.conflict = false;
    w.closed = SalesClosing::isClosedRefusal(err);
    w.error = w.conflict && !m_batch ? conflictMessage(numBilhete) : err.text();
    return w;
}

SaleOutcome SaleValidator::validate(const SaleRequest &input) {
    const QString text = input.ticketText;
    if (text.trimmed().isEmpty()) return {};
    if (text.contains(QStringLiteral("C-")))
        return refusal(QStringLiteral("Favor Digite apenas os Números, sem o [ C- ]... "));
    if (input.extraFields && input.sellerFieldEnabled && !input.sellerCode.isEmpty() && input.sellerInvalid)
        return refusal(QStringLiteral("Favor informe um Vendedor Válido!"), SaleFocus::Seller);
    if (const auto problem = raffleProblem()) return refusal(*problem);
    {
        QString why;
        const auto closing = SalesClosing::stateOf(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), &why);
        if (closing && closing->closed()) return refusal(SalesClosing::closedMessage(closing->closedAt));
    }

    const int N = numbersOfModality();
    const int C = highestControlNumber();
    const QString beyondLastTicket =
        QStringLiteral("Esse Nº de Controle de Bilhete está além do último Bilhete da Rifa Escolhida. "
                       "O C.Bilhete máximo que pode ser digitado é até: ") +
        QString::number(C);

    const qsizetype dash = text.indexOf(u'-');
    const bool sequence = dash >= 0;
    // Digits too many for a whole number are a ticket out of range, not "not a number".
    const auto number = [](const QString &typed) -> std::optional<qint64> {
        if (const auto n = TypedValues::parseWholeNumber(typed)) return *n;
        const bool digitsOnly = !typed.isEmpty() && std::all_of(typed.cbegin(), typed.cend(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        });
        if (digitsOnly) return std::numeric_limits<qint64>::max();
        return std::nullopt;
    };
    int first = 0, last = 0;
    if (sequence) {
        // The message names the whole text, so "1-" and "-1" say what was typed.
        const auto from = number(text.left(dash));
        const auto to = number(text.mid(dash + 1));
        if (!from || !to) return refusal(invalidNumberMessage(text));
        if (*from < 1 || *to > N)
            return refusal(
                QStringLiteral("Número de Bilhete informado fora do Limite do Modelo de Rifa Escolhido. "
                               "Digite números máximo entre [ 1 e ") +
                QString::number(N) + QStringLiteral(" ]"));
        if (*to < *from)
            return refusal(
                QStringLiteral("Sequência inválida: o último Bilhete [%1] é menor que o primeiro [%2]. "
                               "Digite a sequência do menor para o maior ( Ex.: 10-40 ).")
                    .arg(*to)
                    .arg(*from));
        first = int(*from);
        last = int(*to);
    } else {
        const auto n = number(text);
        if (!n) return refusal(invalidNumberMessage(text));
        if (*n < 1 || *n > N)
            return refusal(
                QStringLiteral("Número de Bilhete informado fora do Limite do Modelo de Rifa Escolhido. "
                               "Digite números entre [ 1 e ") +
                QString::number(N) + QStringLiteral(" ]"));
        if (*n > C) return refusal(beyondLastTicket);
        first = last = int(*n);
    }

    QDate date = m_ctx.clock.today();
    if (!input.useToday && input.dateFieldEnabled) {
        // A date the calendar does not have (31/02) is refused, never moved to another day.
        const auto typed = TypedValues::parseDate(input.dateText);
        date = typed ? *typed : QDate();
        if (!date.isValid())
            return refusal(QStringLiteral("Favor informe uma Data de Venda válida ( dd/mm/aaaa )!"),
                           SaleFocus::Date);
    }
    const bool withBuyerData = !sequence && input.extraFields;
    if (withBuyerData && input.sellerFieldEnabled && !input.sellerCode.trimmed().isEmpty() &&
        !TypedValues::parseWholeNumber(input.sellerCode.trimmed()))
        return refusal(invalidNumberMessage(input.sellerCode.trimmed()), SaleFocus::Seller);

    SaleOutcome o;
    o.sequence = sequence;
    o.icon = BoxIcon::Error;
    m_stopRequested = false;
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });
    for (int n = first; n <= last; ++n) {
        if (m_stopRequested) {
            o.result = SaleOutcome::Result::Interrupted;
            o.stoppedAt = n;
            o.icon = BoxIcon::Information;
            o.message = QStringLiteral("Validação em sequência interrompida. Bilhetes validados: ") +
                        (o.written.isEmpty() ? QStringLiteral("nenhum") : writtenText(o.written)) +
                        QStringLiteral(".");
            return o;
        }
        if (sequence && n > C) {
            // Past the last ticket there is no ticket row: the sequence ends like a single number would.
            o.result = SaleOutcome::Result::Stopped;
            o.stoppedAt = n;
            o.message = beyondLastTicket;
            return o;
        }
        const QString alreadyText =
            sequence
                ? QStringLiteral("Esse Bilhete [") + QString::number(n) +
                      QStringLiteral("] na Sequencia informada, já foi Validado anteriormente!")
                : QStringLiteral("Bilhete [ ") + text + QStringLiteral(" ] já foi Validado anteriormente!");
        auto already = [&] {
            o.result = SaleOutcome::Result::AlreadyValidated;
            o.stoppedAt = n;
            o.message = alreadyText;
            if (!sequence) o.title = QStringLiteral("Korvante");
            return o;
        };
        bool exists = false;
        QString error;
        if (!existsIn(m_ctx.tdm.CONEX_R(), n, &exists, &error)) {
            o.result = SaleOutcome::Result::Failed;
            o.stoppedAt = n;
            o.message = (sequence ? QStringLiteral("Erro ao Validar em Sequência. Detalhe do Erro: ")
                                  : QStringLiteral("Erro ao Validar. Detalhe do Erro: ")) +
                        error;
            return o;
        }
        if (exists) return already();
        const Written w = writeSale(n, input, withBuyerData, date);
        if (w.duplicate) return already();
        if (!w.ok) {
            o.result = SaleOutcome::Result::Failed;
            o.stoppedAt = n;
            o.conflict = w.conflict;
            o.message = w.conflict || w.closed
                            ? w.error
                            : (sequence ? QStringLiteral("Erro ao Validar em Sequência. Detalhe do Erro: ")
                                        : QStringLiteral("Erro ao Validar. Detalhe do Erro: ")) +
                                  w.error;
            return o;
        }
        o.written << n;
        if (sequence && m_betweenTickets) m_betweenTickets();
    }
    o.result = SaleOutcome::Result::Validated;
    o.message.clear();
    o.icon = BoxIcon::None;
    return o;
}
