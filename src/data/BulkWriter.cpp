#include "data/BulkWriter.h"

#include "data/FirebirdClient.h"

#include <QHash>
#include <vector>

namespace {

using FirebirdClient::statusText;

XSQLDA *allocate(int n) {
    auto *da = static_cast<XSQLDA *>(calloc(1, XSQLDA_LENGTH(n)));
    da->version = SQLDA_VERSION1;
    da->sqln = short(n);
    return da;
}

} // namespace

struct BulkWriter::Impl {
    struct Statement {
        isc_stmt_handle handle = 0;
        XSQLDA *params = nullptr;
        std::vector<short> nulls;
    };
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    QHash<QString, Statement> prepared;

    bool fail(QString *error) {
        if (error) *error = statusText(status);
        return false;
    }

    void dropStatements() {
        for (Statement &s : prepared) {
            ISC_STATUS_ARRAY ignored;
            if (s.handle) isc_dsql_free_statement(ignored, &s.handle, DSQL_drop);
            free(s.params);
        }
        prepared.clear();
    }

    Statement *prepare(const QString &sql, QString *error) {
        auto it = prepared.find(sql);
        if (it != prepared.end()) return &it.value();
        Statement s;
        if (isc_dsql_allocate_statement(status, &db, &s.handle)) return fail(error), nullptr;
        const QByteArray text = sql.toUtf8();
        if (isc_dsql_prepare(status, &tr, &s.handle, 0, text.constData(), SQL_DIALECT_V6, nullptr)) {
            ISC_STATUS_ARRAY ignored;
            isc_dsql_free_statement(ignored, &s.handle, DSQL_drop);
            return fail(error), nullptr;
        }
        s.params = allocate(1);
        if (isc_dsql_describe_bind(status, &s.handle, SQL_DIALECT_V6, s.params)) return fail(error), nullptr;
        if (s.params->sqld > s.params->sqln) {
            const int n = s.params->sqld;
            free(s.params);
            s.params = allocate(n);
            if (isc_dsql_describe_bind(status, &s.handle, SQL_DIALECT_V6, s.params))
                return fail(error), nullptr;
        }
        // The null flags must live where the stored statement keeps them.
        Statement &kept = prepared.insert(sql, s).value();
        kept.nulls.assign(kept.params->sqld, 0);
        for (int i = 0; i < kept.params->sqld; ++i) {
            XSQLVAR &v = kept.params->sqlvar[i];
            v.sqltype = SQL_LONG | 1; // every parameter an integer, never null
            v.sqllen = sizeof(ISC_LONG);
            v.sqlscale = 0;
            v.sqlind = &kept.nulls[i];
        }
        return &kept;
    }

    bool run(Statement &s, const qint32 *values, int count, QString *error) {
        if (count != s.params->sqld) {
            if (error)
                *error = QStringLiteral("%1 valores para %2 parâmetros").arg(count).arg(s.params->sqld);
            return false;
        }
        for (int i = 0; i < count; ++i)
            s.params->sqlvar[i].sqldata = reinterpret_cast<char *>(const_cast<qint32 *>(values + i));
        if (isc_dsql_execute(status, &tr, &s.handle, SQL_DIALECT_V6, count ? s.params : nullptr))
            return fail(error);
        return true;
    }
};

BulkWriter::BulkWriter() : d(std::make_unique<Impl>()) {}

BulkWriter::~BulkWriter() {
    rollback();
    if (d->db) {
        ISC_STATUS_ARRAY ignored;
        isc_detach_database(ignored, &d->db);
    }
}

bool BulkWriter::open(const QString &connection, QString *error, bool readOnly) {
    const FirebirdClient::ParameterBlock dpb;
    const QByteArray name = connection.toUtf8();
    if (isc_attach_database(d->status, 0, name.constData(), &d->db, dpb.size(), dpb.data()))
        return d->fail(error);
    static char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                         isc_tpb_wait};
    // A reader sees one moment of the data, and never blocks a writer.
    static char readTpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency};
    if (readOnly ? isc_start_transaction(d->status, &d->tr, 1, &d->db, short(sizeof readTpb), readTpb)
                 : isc_start_transaction(d->status, &d->tr, 1, &d->db, short(sizeof tpb), tpb))
        return d->fail(error);
    return true;
}

bool BulkWriter::executeValues(const QString &sql, const QVariantList &values, QString *error) {
    isc_stmt_handle handle = 0;
    if (isc_dsql_allocate_statement(d->status, &d->db, &handle)) return d->fail(error);
    const auto drop = [&] {
        ISC_STATUS_ARRAY ignored;
        isc_dsql_free_statement(ignored, &handle, DSQL_drop);
    };
    const QByteArray text = sql.toUtf8();
    if (isc_dsql_prepare(d->status, &d->tr, &handle, 0, text.constData(), SQL_DIALECT_V6, nullptr)) {
        drop();
        return d->fail(error);
    }
    const int n = int(values.size());
    std::unique_ptr<XSQLDA, decltype(&free)> params(allocate(qMax(1, n)), &free);
    if (isc_dsql_describe_bind(d->status, &handle, SQL_DIALECT_V6, params.get())) {
        drop();
        return d->fail(error);
    }
    if (params->sqld != n) {
        if (error) *error = QStringLiteral("%1 valores para %2 parâmetros").arg(n).arg(params->sqld);
        drop();
        return false;
    }
    std::vector<short> nulls(size_t(n), 0);
    std::vector<ISC_LONG> ints(size_t(n), 0);
    std::vector<QByteArray> texts(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        XSQLVAR &v = params->sqlvar[i];
        const QVariant &value = values.at(i);
        v.sqlind = &nulls[size_t(i)];
        v.sqlscale = 0;
        if (value.isNull()) {
            nulls[size_t(i)] = -1;
            v.sqltype = SQL_LONG | 1;
            v.sqllen = sizeof(ISC_LONG);
            v.sqldata = reinterpret_cast<char *>(&ints[size_t(i)]);
        } else if (value.typeId() == QMetaType::QString) {
            texts[size_t(i)] = value.toString().toUtf8(); // the attachment speaks UTF-8
            v.sqltype = SQL_TEXT | 1;
            v.sqlsubtype = 0;
            v.sqllen = short(texts[size_t(i)].size());
            v.sqldata = texts[size_t(i)].data();
        } else {
            ints[size_t(i)] = ISC_LONG(value.toInt());
            v.sqltype = SQL_LONG | 1;
            v.sqllen = sizeof(ISC_LONG);
            v.sqldata = reinterpret_cast<char *>(&ints[size_t(i)]);
        }
    }
    const bool ok = !isc_dsql_execute(d->status, &d->tr, &handle, SQL_DIALECT_V6, n ? params.get() : nullptr);
    if (!ok) d->fail(error);
    drop();
    return ok;
}

bool BulkWriter::select(const QString &sql, const QVector<qint32> &params, const Row &row, QString *error) {
    Impl::Statement *s = d->prepare(sql, error);
    if (!s) return false;
    // The columns, all read as integers.
    std::unique_ptr<XSQLDA, decltype(&free)> out(allocate(1), &free);
    if (isc_dsql_describe(d->status, &s->handle, SQL_DIALECT_V6, out.get())) return d->fail(error);
    if (out->sqld > out->sqln) {
        out.reset(allocate(out->sqld));
        if (isc_dsql_describe(d->status, &s->handle, SQL_DIALECT_V6, out.get())) return d->fail(error);
    }
    const int columns = out->sqld;
    std::vector<ISC_LONG> values(size_t(qMax(1, columns)), 0);
    std::vector<short> nullFlags(size_t(qMax(1, columns)), 0);
    std::vector<bool> nullsAsBool(size_t(qMax(1, columns)), false);
    for (int i = 0; i < columns; ++i) {
        XSQLVAR &v = out->sqlvar[i];
        v.sqltype = SQL_LONG | 1;
        v.sqllen = sizeof(ISC_LONG);
        v.sqlscale = 0;
        v.sqldata = reinterpret_cast<char *>(&values[size_t(i)]);
        v.sqlind = &nullFlags[size_t(i)];
    }
    if (!d->run(*s, params.constData(), int(params.size()), error)) return false;
    std::unique_ptr<bool[]> nulls(new bool[size_t(qMax(1, columns))]);
    bool ok = true;
    for (;;) {
        const ISC_STATUS fetched = isc_dsql_fetch(d->status, &s->handle, SQL_DIALECT_V6, out.get());
        if (fetched == 100) break;
        if (fetched) {
            ok = d->fail(error);
            break;
        }
        for (int i = 0; i < columns; ++i) {
            nulls[size_t(i)] = nullFlags[size_t(i)] < 0;
            if (nulls[size_t(i)]) values[size_t(i)] = 0;
        }
        if (!row(values.data(), nulls.get(), columns)) break;
    }
    ISC_STATUS_ARRAY ignored;
    isc_dsql_free_statement(ignored, &s->handle, DSQL_close);
    return ok;
}

bool BulkWriter::execute(const QString &sql, const QVector<qint32> &values, QString *error) {
    return executePrepared(sql, values.constData(), int(values.size()), error);
}

bool BulkWriter::executePrepared(const QString &sql, const qint32 *values, int count, QString *error) {
    Impl::Statement *s = d->prepare(sql, error);
    return s && d->run(*s, values, count, error);
}

bool BulkWriter::commit(QString *error) {
    d->dropStatements();
    if (d->tr && isc_commit_transaction(d->status, &d->tr)) return d->fail(error);
    d->tr = 0;
    return true;
}

void BulkWriter::rollback() {
    d->dropStatements();
    if (d->tr) {
        ISC_STATUS_ARRAY ignored;
        isc_rollback_transaction(ignored, &d->tr);
        d->tr = 0;
    }
}

QString BulkWriter::insertBlock(const QString &table, const QString &columns, int width, int rows,
                                const QString &constants) {
    QStringList declarations, inserts;
    const QString tail = constants.isEmpty() ? QString() : u',' + constants;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < width; ++c) {
            const int p = r * width + c;
            declarations << QStringLiteral("p%1 INTEGER = ?").arg(p);
            values << QStringLiteral(":p%1").arg(p);
        }
        inserts << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3%4);").arg(table, columns, values.join(u','), tail);
    }
    return QStringLiteral("EXECUTE BLOCK (%1) AS BEGIN %2 END")
        .arg(declarations.join(QStringLiteral(", ")), inserts.join(u' '));
}
