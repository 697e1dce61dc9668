#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One table, column, index, sequence or trigger that the schema gained after the delivered one. It
// is created only when missing, so a step that was interrupted can run again.
struct SchemaObject {
    enum class Kind { Table, Column, Index, Sequence, Trigger };
    Kind kind;
    QString table; // the table of a column
    QString name;
    QString ddl; // the statement that creates it

    static SchemaObject newTable(const QString &name, const QString &ddl) {
        return {Kind::Table, {}, name, ddl};
    }
    // "ALTER TABLE table ADD column type".
    static SchemaObject newColumn(const QString &table, const QString &column, const QString &type);
    static SchemaObject newIndex(const QString &name, const QString &ddl) {
        return {Kind::Index, {}, name, ddl};
    }
    static SchemaObject newSequence(const QString &name) {
        return {Kind::Sequence, {}, name, QStringLiteral("CREATE SEQUENCE ") + name};
    }
    static SchemaObject newTrigger(const QString &name, const QString &ddl) {
        return {Kind::Trigger, {}, name, ddl};
    }
};

// What brings a database from the version before to `version`: its objects first, each committed on
// its own (the engine applies DDL at commit), then its data statements in one transaction. Data
// statements must give the same rows when run twice.
struct SchemaStep {
    int version;
    QString what; // for the message when it fails
    QList<SchemaObject> objects;
    QStringList data;
};

// The steps of CRF.XML's schema, oldest first. Version 1 is the delivered schema (SchemaScript); every
// table or column added since arrives through a step here, never from a window.
namespace SchemaSteps {
const QList<SchemaStep> &all();
// The version this program writes: the last step's.
int currentVersion();

// Where the version is kept: one row, written last by every step.
QString versionTable();
QStringList createVersionTable(int version);
} // namespace SchemaSteps
