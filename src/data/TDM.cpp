#include "data/TDM.h"

#include "data/DatabaseCreator.h"
#include "data/FirebirdClient.h"
#include "data/SqlText.h"
#include "data/TicketTables.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// cadastro_temp's columns besides CODRIFA.
const QStringList &printCopyColumns() {
    static const QStringList columns = {
        QStringLiteral("DATA_EVENTO"),      QStringLiteral("RIFA_ATIVA"),
        QStringLiteral("PREMIOS"),          QStringLiteral("REGRAS_SORT"),
        QStringLiteral("LINK_SORT"),        QStringLiteral("NOME_RIFA"),
        QStringLiteral("VLR_RIFA"),         QStringLiteral("MODALIDADE"),
        QStringLiteral("USAR_QT_NUM"),      QStringLiteral("USAR_NUM_ID_BILHETE"),
        QStringLiteral("POS_NUMBILHETE_L"), QStringLiteral("POS_NUMBILHETE_T"),
        QStringLiteral("POS_NUMCANHOTO_L"), QStringLiteral("POS_NUMCANHOTO_T"),
        QStringLiteral("ART_FUNDO"),        QStringLiteral("ART_EXTENDIDA"),
        QStringLiteral("POS_ARTFUNDO_L"),   QStringLiteral("POS_ARTFUNDO_T"),
        QStringLiteral("IMG_LIVRE1"),       QStringLiteral("IMG_LIVRE2"),
        QStringLiteral("IMG_LIVRE1_L"),     QStringLiteral("IMG_LIVRE1_T"),
        QStringLiteral("IMG_LIVRE2_L"),     QStringLiteral("IMG_LIVRE2_T"),
        QStringLiteral("TEXTO_BASICO"),     QStringLiteral("POS_TEXTO_BAS_L"),
        QStringLiteral("POS_TEXTO_BAS_T"),  QStringLiteral("DIM_TEXTO_BAS_ALT"),
        QStringLiteral("TEXTO_BASICO_C"),   QStringLiteral("DIM_TEXTO_BAS_COMP")};
    return columns;
}

} // namespace

TDM::TDM(QString programFolder, Dialogs &dialogs)
    : m_programFolder(std::move(programFolder)), m_dialogs(dialogs) {}

TDM::~TDM() {
    CDS_RIfaUSar.close();
    for (const char *name : {MainConnectionName, PrintConnectionName}) {
        {
            QSqlDatabase db = QSqlDatabase::database(QLatin1String(name), false);
            if (db.isValid()) db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(name));
    }
}

QSqlDatabase TDM::CONEX_R() const {
    return QSqlDatabase::database(QLatin1String(MainConnectionName), false);
}
QSqlDatabase TDM::CONEX_PRINT() const {
    return QSqlDatabase::database(QLatin1String(PrintConnectionName), false);
}

bool TDM::openConnection(const QString &name, const QString &path, QString *error) {
    QSqlDatabase db = QSqlDatabase::contains(name)
                          ? QSqlDatabase::database(name, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
    if (db.isOpen()) db.close();
    db.setDatabaseName(path);
    db.setUserName(DatabaseCreator::user());
    db.setPassword(DatabaseCreator::password());
    db.setConnectOptions(QStringLiteral("ISC_DPB_SQL_ROLE_NAME=RoleName"));
    if (db.open()) return true;
    if (error) *error = db.lastError().text();
    return false;
}

bool TDM::open(QString *error) {
    const DatabaseLocation loc = DatabaseLocation::fromConfig(m_programFolder);
    m_mainPath = DatabaseLocation::localMainPath(m_programFolder);
    m_printPath = DatabaseLocation::localPrintPath(m_programFolder);
    if (!loc.isLocal()) {
        // Reaching the server's CRF.XML is how we learn that its folder can be reached. A bounded
        // attempt first: the driver itself would wait minutes on a server that never answers.
        if (m_connectingNotice) m_connectingNotice(true, loc.server.trimmed());
        const bool reached = FirebirdClient::probe(loc.serverMainPath(), m_serverWaitSeconds, nullptr) &&
                             openConnection(QLatin1String(MainConnectionName), loc.serverMainPath(), nullptr);
        if (m_connectingNotice) m_connectingNotice(false, loc.server.trimmed());
        if (reached) {
            m_mainPath = loc.serverMainPath();
            m_printPath = loc.serverPrintPath();
        } else if (!m_unreachableNotice) {
            m_dialogs.notice(loc.unreachableMessage());
        } else if (!m_unreachableNotice(loc.unreachableMessage())) {
            if (error) error->clear();
            return false;
        }
    }
    if (!CONEX_R().isOpen() && !openConnection(QLatin1String(MainConnectionName), m_mainPath, error))
        return false;
    return openConnection(QLatin1String(PrintConnectionName), m_printPath, error);
}

void TDM::closeMain() {
    CDS_RIfaUSar.close();
    QSqlDatabase db = CONEX_R();
    if (db.isValid()) db.close();
}

void TDM::shutDownEngine() {
    fb_shutdown(10000, fb_shutrsn_app_stopped);
}

void TDM::closeConnections() {
    for (QSqlDatabase db : {CONEX_R(), CONEX_PRINT()})
        if (db.isValid()) db.close();
}

bool TDM::reopenConnections(QString *error) {
    return openConnection(QLatin1String(MainConnectionName), m_mainPath, error) &&
           openConnection(QLatin1String(PrintConnectionName), m_printPath, error);
}

bool TDM::loadRaffleRow(int codRifa, QString *error) {
    return CDS_RIfaUSar.load(CONEX_R(), codRifa, error);
}

void TDM::AtualCadBaseID(const QSqlRecord &raffleRow) {
    QStringList sets;
    for (const QString &c : printCopyColumns())
        sets << c + QStringLiteral("=:") + c.toLower();
    QSqlQuery q(CONEX_PRINT());
    if (!q.prepare(QStringLiteral("Update cadastro_temp set %1 Where codrifa=:CodRifa").arg(sets.join(u','))))
        return;
    for (const QString &c : printCopyColumns())
        q.bindValue(u':' + c.toLower(), sqlValue(raffleRow.value(c)));
    q.bindValue(QStringLiteral(":CodRifa"), raffleRow.value(QStringLiteral("CODRIFA")));
    q.exec(); // silent on failure: the copy is only for the print module
}

QString TDM::TotalBilhetes(int numbers, int perTicket, QString *error) {
    const QString table = TicketTables::nameFor(numbers - 1, perTicket);
    if (table.isEmpty()) {
        if (error) *error = QStringLiteral("Não existe base de números para esta combinação.");
        return {};
    }
    qint64 count = numbers; // one number per ticket: every number of the modality is a ticket
    if (perTicket != 1) {
        WaitCursor wait;
        QSqlQuery q(CONEX_R());
        if (!q.exec(QStringLiteral("Select count(N1) as Total from ") + table) || !q.next()) {
            if (error) *error = q.lastError().text();
            return {};
        }
        count = q.value(0).toLongLong();
    }
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(count) + QStringLiteral(" Bilhetes");
}
