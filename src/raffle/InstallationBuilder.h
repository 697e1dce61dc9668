#pragma once

#include <QString>
#include <functional>

class Dialogs;
class Random;

// Prepares a whole new installation: both database files, BS1 and every ticket table dealt.
class InstallationBuilder {
public:
    // stage: "BS1" or a ticket table's name.
    using Progress = std::function<void(const QString &stage, qint64 done, qint64 total)>;

    InstallationBuilder(Dialogs &dialogs, Random &random) : m_dialogs(dialogs), m_random(random) {}
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Refuses a folder that already holds either file. The files appear under their names only
    // when everything is done; a failure leaves neither behind.
    bool build(const QString &folder, QString *error);
    // The working files take their final names in the folder; a file already there under either
    // name stays as it is, and so do the working files (for the caller to throw away).
    static bool nameFiles(const QString &mainWork, const QString &printWork, const QString &folder,
                          QString *error);

private:
    Dialogs &m_dialogs;
    Random &m_random;
    Progress m_progress;
};
