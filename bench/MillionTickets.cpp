#include "MillionTickets.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

bool MillionTickets::prepare(const QString &folder, QString *error) {
    const QString main = folder + QStringLiteral("/CRF.XML");
    const QString name = QStringLiteral("million-fill");
    if (!DatabaseFiles::createInFolder(folder, error) || !DatabaseCreator::setForcedWrites(main, false, error) ||
        !TDM::openConnection(name, main, error))
        return false;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::database(name);
        QSqlQuery q(db);
        ok = q.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                                   "INSERT INTO %2 (NUMBILHETE, N1) VALUES (:I, :I - 1); I = I + 1; END END")
                        .arg(Count)
                        .arg(QLatin1String(Table))) &&
             q.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA DO MILHAO', MODALIDADE='000000 - 999999', "
                                   "USAR_QT_NUM='1 Número', VLR_RIFA=2.5 WHERE CODRIFA=1"));
        if (!ok) *error = q.lastError().text();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok && DatabaseCreator::setForcedWrites(main, true, error);
}
