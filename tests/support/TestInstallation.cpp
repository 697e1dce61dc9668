#include "support/TestInstallation.h"

#include "data/DatabaseFiles.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

TestInstallation::TestInstallation(bool createDatabases) {
    registry = std::make_unique<Registry>(m_dir.filePath(QStringLiteral("registry.ini")));
    if (createDatabases) {
        QString error;
        if (!DatabaseFiles::createInFolder(m_dir.path(), &error)) m_error = error;
    }
}

TestInstallation::~TestInstallation() {
    m_ctx.reset();
    tdm.reset();
}

bool TestInstallation::openTdm() {
    tdm = std::make_unique<TDM>(m_dir.path(), dialogs);
    QString error;
    if (!tdm->open(&error)) {
        m_error = error;
        return false;
    }
    return true;
}

AppServices TestInstallation::services() {
    if (!tdm) openTdm();
    return AppServices{*tdm, dialogs, clock, random, *registry, m_dir.path()};
}

AppContext &TestInstallation::context() {
    if (!m_ctx) m_ctx = std::make_unique<AppContext>(services(), raffle);
    return *m_ctx;
}

QVariant TestInstallation::scalar(const QString &sql, const QVariantList &values) {
    QSqlQuery q(tdm->CONEX_R());
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning() << "SQL failed:" << sql << q.lastError().text();
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

bool TestInstallation::exec(const QString &sql, const QVariantList &values) {
    QSqlQuery q(tdm->CONEX_R());
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning() << "SQL failed:" << sql << q.lastError().text();
        return false;
    }
    return true;
}

bool TestInstallation::execElsewhere(const QString &sql) {
    bool done = false;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("elsewhere"));
        other.setDatabaseName(file(QStringLiteral("CRF.XML")));
        other.setUserName(QStringLiteral("SYSDBA"));
        other.setPassword(QStringLiteral("quillmoss"));
        if (other.open()) {
            QSqlQuery q(other);
            done = q.exec(sql);
            if (!done) qWarning() << "SQL failed:" << sql << q.lastError().text();
            other.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("elsewhere"));
    return done;
}

int TestInstallation::count(const QString &table) {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
}
