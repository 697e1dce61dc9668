#pragma once

#include "data/AppContext.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "support/RecordingDialogs.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <memory>

// A program folder of its own with both database files, the services a window needs and an open TDM.
class TestInstallation {
public:
    // Creates the databases unless told not to (then only the folder exists).
    explicit TestInstallation(bool createDatabases = true);
    ~TestInstallation();

    QString folder() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Opens the TDM over this folder (reading config.ini like the program does).
    bool openTdm();
    AppServices services();
    AppContext &context(); // services plus a working raffle of the test's own

    // Runs one statement on CONEX_R and returns the first column of the first row.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    bool exec(const QString &sql, const QVariantList &values = {});
    int count(const QString &table);
    // Runs one statement on a connection of its own to CRF.XML, as another computer would.
    bool execElsewhere(const QString &sql);

    RecordingDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
    SeededRandom random{12345};
    std::unique_ptr<Registry> registry;
    std::unique_ptr<TDM> tdm;
    WorkingRaffle raffle;

private:
    QTemporaryDir m_dir;
    QString m_error;
    std::unique_ptr<AppContext> m_ctx;
};
