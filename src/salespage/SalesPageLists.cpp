#include "salespage/SalesPageLists.h"

#include <QSqlError>
#include <QSqlQuery>

SalesPageLists::SalesPageLists(QSqlDatabase db) : m_db(db) {
    m_phones.setGeneratedKey(QStringLiteral("AUTOCOD_FONE"));
}

bool SalesPageLists::openPhones(QString *error) {
    return m_phones.open(m_db, QStringLiteral("TELEFONE"), QStringLiteral("select * from Telefone"), {},
                         error);
}

bool SalesPageLists::openFileNames(QString *error) {
    return m_fileNames.open(m_db, QStringLiteral("LIST_ARQUIVOS"),
                            QStringLiteral("select * from LIST_ARQUIVOS"), {}, error);
}

QStringList SalesPageLists::phoneEntries() const {
    QStringList entries;
    for (int r = 0; r < m_phones.rowCount(); ++r)
        entries << m_phones.value(r, QStringLiteral("DDD")).toString() + u' ' +
                       m_phones.value(r, QStringLiteral("TELEFONE")).toString();
    return entries;
}

QStringList SalesPageLists::fileNames() const {
    QStringList names;
    for (int r = 0; r < m_fileNames.rowCount(); ++r)
        names << m_fileNames.value(r, QStringLiteral("NOME_ARQUIVO")).toString();
    return names;
}

bool SalesPageLists::addPhone(const QString &ddd, const QString &telefone, QString *error) {
    const int row = m_phones.appendRow();
    m_phones.setValue(row, QStringLiteral("DDD"), ddd);
    m_phones.setValue(row, QStringLiteral("TELEFONE"), telefone);
    if (!m_phones.applyUpdates(error)) {
        m_phones.cancelUpdates();
        return false;
    }
    return openPhones(error);
}

bool SalesPageLists::removePhone(int row, QString *error) {
    if (row < 0 || row >= m_phones.rowCount()) return false;
    if (!m_phones.applyDeletion(row, error)) return false;
    return openPhones(error);
}

bool SalesPageLists::addFileName(const QString &name, QString *error) {
    const int row = m_fileNames.appendRow();
    m_fileNames.setValue(row, QStringLiteral("NOME_ARQUIVO"), name);
    if (!m_fileNames.applyUpdates(error)) {
        m_fileNames.cancelUpdates();
        return false;
    }
    return openFileNames(error);
}

bool SalesPageLists::removeFileName(int row, QString *error) {
    if (row < 0 || row >= m_fileNames.rowCount()) return false;
    if (!m_fileNames.applyDeletion(row, error)) return false;
    return openFileNames(error);
}

QString SalesPageLists::phoneRefusal(const QString &ddd, const QString &telefone) {
    // Stored as typed or not at all: a longer number would be cut by its column.
    if (ddd.size() > MaxDddLength)
        return QStringLiteral("O DDD pode ter no máximo %1 dígitos! Nada foi gravado.").arg(MaxDddLength);
    if (telefone.size() > MaxPhoneLength)
        return QStringLiteral("O Número do Telefone pode ter no máximo %1 dígitos! Nada foi gravado.")
            .arg(MaxPhoneLength);
    return {};
}

QString SalesPageLists::fileNameRefusal(const QString &name) {
    if (name.size() > MaxFileNameLength)
        return QStringLiteral("O Nome do Arquivo pode ter no máximo %1 caracteres! Nada foi gravado.")
            .arg(MaxFileNameLength);
    // "html" only in lower case: a name holding HTML in capitals is accepted.
    if (name.contains(QStringLiteral("html")) || name.contains(u'.'))
        return QStringLiteral(
            "Não precisa informar a extensão .HTML ou conter pontos, digite só letras de A até Z "
            "ou letras com números de 0 até 9");
    if (name.contains(u' ') || name.contains(u'/') || name.contains(u'@'))
        return QStringLiteral(
            "Não use espaços ou caracteres especiais para formar o nome. Digite só letras de A "
            "até Z ou letras com números de 0 até 9");
    return {};
}

QList<SalesPageSeller> SalesPageLists::sellers(QString *error) const {
    QList<SalesPageSeller> list;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select  * from CAD_VENDEDOR"))) {
        if (error) *error = q.lastError().text();
        return list;
    }
    const int code = q.record().indexOf(QStringLiteral("COD_VEND"));
    const int name = q.record().indexOf(QStringLiteral("NOME_VEND"));
    while (q.next())
        list.append({q.value(code), q.value(name).toString()});
    return list;
}
