#pragma once

#include <QSqlDatabase>
#include <QString>

class Dialogs;

// Brings CRF.XML to this program's schema version through the steps of SchemaSteps, each written
// down as done only after its objects and data are committed. A database without a version is the
// delivered schema (version 1).
namespace SchemaUpgrade {

struct Outcome {
    enum class Result {
        Current,  // nothing to do
        Upgraded, // steps ran; the database is now at this program's version
        Newer,    // written by a newer program: left untouched
        Failed    // a step could not be completed; the steps before it stay done
    };
    Result result = Result::Failed;
    int found = 0;   // the version the database had
    QString message; // for the user when Newer or Failed
    bool ok() const { return result == Result::Current || result == Result::Upgraded; }
};

Outcome run(QSqlDatabase db);
// The version kept in the database: 1 without a version table; 0 with *error when it cannot be read.
int versionOf(QSqlDatabase db, QString *error);

// Start-up of the programs that keep the database: runs the steps and shows the message when the
// database cannot be used; false means no window may open.
bool atStart(QSqlDatabase db, Dialogs &dialogs);

} // namespace SchemaUpgrade
