#include "data/SchemaUpgrade.h"

#include "data/SchemaSteps.h"
#include "data/ScopedTransaction.h"
#include "platform/Dialogs.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

bool exists(QSqlDatabase db, const SchemaObject &o, bool *found, QString *error) {
    using K = SchemaObject::Kind;
    QString sql;
    switch (o.kind) {
    case K::Table:
        sql = QStringLiteral("SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?");
        break;
    case K::Column:
        sql = QStringLiteral(
            "SELECT 1 FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = ? AND RDB$FIELD_NAME = ?");
        break;
    case K::Index:
        sql = QStringLiteral("SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = ?");
        break;
    case K::Sequence:
        sql = QStringLiteral("SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?");
        break;
    case K::Trigger:
        sql = QStringLiteral("SELECT 1 FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = ?");
        break;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        *error = q.lastError().text();
        return false;
    }
    if (o.kind == K::Column) q.addBindValue(o.table);
    q.addBindValue(o.name);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    *found = q.next();
    return true;
}

// Creates the object unless it is there; committed at once. Another computer may create it at the
// same moment: then its statement fails but the object is there.
bool ensure(QSqlDatabase db, const SchemaObject &o, QString *error) {
    bool found = false;
    if (!exists(db, o, &found, error)) return false;
    if (found) return true;
    QSqlQuery q(db);
    if (q.exec(o.ddl)) return true;
    const QString why = q.lastError().text();
    q.finish();
    if (exists(db, o, &found, error) && found) return true;
    *error = why;
    return false;
}

bool runData(QSqlDatabase db, const QStringList &statements, QString *error) {
    if (statements.isEmpty()) return true;
    ScopedTransaction transaction(db);
    if (!transaction.active()) {
        *error = transaction.error().text();
        return false;
    }
    for (const QString &s : statements) {
        QSqlQuery q(db);
        if (!q.exec(s)) {
            *error = q.lastError().text();
            return false;
        }
    }
    if (transaction.commit()) return true;
    *error = transaction.error().text();
    return false;
}

bool writeVersion(QSqlDatabase db, int version, QString *error) {
    ScopedTransaction transaction(db);
    if (!transaction.active()) {
        *error = transaction.error().text();
        return false;
    }
    {
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("UPDATE VERSAO_BANCO SET VERSAO = ?"))) {
            *error = q.lastError().text();
            return false;
        }
        q.addBindValue(version);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
        if (q.numRowsAffected() == 0) {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO VERSAO_BANCO (VERSAO) VALUES (?)"));
            insert.addBindValue(version);
            if (!insert.exec()) {
                *error = insert.lastError().text();
                return false;
            }
        }
    }
    if (transaction.commit()) return true;
    *error = transaction.error().text();
    return false;
}

QString failedMessage(const QSqlDatabase &db, const QString &what, const QString &detail) {
    return QStringLiteral("Não foi possível atualizar o banco de dados %1 (%2). O programa não pode "
                          "trabalhar com ele assim.\r\rDetalhe do Erro: %3")
        .arg(db.databaseName(), what, detail);
}

} // namespace

namespace SchemaUpgrade {

int versionOf(QSqlDatabase db, QString *error) {
    bool hasTable = false;
    QString why;
    if (!exists(db, SchemaObject::newTable(SchemaSteps::versionTable(), {}), &hasTable, &why)) {
        if (error) *error = why;
        return 0;
    }
    if (!hasTable) return 1;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT MAX(VERSAO) FROM VERSAO_BANCO")) || !q.next()) {
        if (error) *error = q.lastError().text();
        return 0;
    }
    // A table left without its row by an interrupted first upgrade: the steps are run again.
    return q.value(0).isNull() ? 1 : q.value(0).toInt();
}

Outcome run(QSqlDatabase db) {
    Outcome o;
    QString error;
    o.found = versionOf(db, &error);
    const int current = SchemaSteps::currentVersion();
    if (o.found == 0) {
        o.message = failedMessage(db, QStringLiteral("versão do banco ilegível"), error);
        return o;
    }
    if (o.found > current) {
        o.result = Outcome::Result::Newer;
        o.message =
            QStringLiteral("O banco de dados %1 foi atualizado por uma versão mais nova do KORVANTE "
                           "(versão %2 do banco de dados; este programa conhece até a versão %3). Para não "
                           "danificar os dados, ele não será aberto: instale a versão mais nova do KORVANTE "
                           "neste computador.")
                .arg(db.databaseName())
                .arg(o.found)
                .arg(current);
        return o;
    }
    if (o.found == current) {
        o.result = Outcome::Result::Current;
        return o;
    }
    const QStringList versionTable = SchemaSteps::createVersionTable(1);
    if (!ensure(db, SchemaObject::newTable(SchemaSteps::versionTable(), versionTable.first()), &error)) {
        o.message = failedMessage(db, QStringLiteral("tabela de versão"), error);
        return o;
    }
    for (const SchemaStep &step : SchemaSteps::all()) {
        if (step.version <= o.found) continue;
        bool done = true;
        for (const SchemaObject &object : step.objects)
            if (!ensure(db, object, &error)) {
                done = false;
                break;
            }
        done = done && runData(db, step.data, &error) && writeVersion(db, step.version, &error);
        if (!done) {
            o.message =
                failedMessage(db, QStringLiteral("versão %1: %2").arg(step.version).arg(step.what), error);
            return o;
        }
    }
    o.result = Outcome::Result::Upgraded;
    return o;
}

bool atStart(QSqlDatabase db, Dialogs &dialogs) {
    const Outcome o = run(db);
    if (o.ok()) return true;
    dialogs.error(o.message);
    return false;
}

} // namespace SchemaUpgrade
