#include "salespage/SalesPageSettings.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QSet>

namespace {

const QString kSection = QStringLiteral("EXTRA");

// Set once and never cleared while the program runs: closing a later, untouched window still writes.
QSet<QString> &changedFolders() {
    static QSet<QString> folders;
    return folders;
}

} // namespace

SalesPageSettings::SalesPageSettings(QString programFolder)
    : m_folder(QDir::cleanPath(programFolder)),
      m_path(QDir(m_folder).filePath(QStringLiteral("config.ini"))) {}

bool SalesPageSettings::exists() const {
    return ProfileFile(m_path).exists();
}

int SalesPageSettings::foneGerHtml() const {
    return ProfileFile(m_path).readInteger(kSection, QStringLiteral("FONE_GER_HTML"), 0);
}

int SalesPageSettings::tipoPix() const {
    return ProfileFile(m_path).readInteger(kSection, QStringLiteral("TIPO_PIX"), 0);
}

QString SalesPageSettings::pix() const {
    return ProfileFile(m_path).readString(kSection, QStringLiteral("PIX"));
}

QString SalesPageSettings::pixNome() const {
    return ProfileFile(m_path).readString(kSection, QStringLiteral("PIX_NOME"));
}

QString SalesPageSettings::pixCidade() const {
    return ProfileFile(m_path).readString(kSection, QStringLiteral("PIX_CIDADE"));
}

bool SalesPageSettings::write(int foneGerHtml, int tipoPix, const QString &pix, const QString &pixNome,
                              const QString &pixCidade) const {
    ProfileFile file(m_path);
    return file.writeString(kSection, QStringLiteral("FONE_GER_HTML"), QString::number(foneGerHtml)) &&
           file.writeString(kSection, QStringLiteral("TIPO_PIX"), QString::number(tipoPix)) &&
           file.writeString(kSection, QStringLiteral("PIX"), pix) &&
           file.writeString(kSection, QStringLiteral("PIX_NOME"), pixNome) &&
           file.writeString(kSection, QStringLiteral("PIX_CIDADE"), pixCidade);
}

bool SalesPageSettings::changed() const {
    return changedFolders().contains(m_folder);
}

void SalesPageSettings::setChanged() const {
    changedFolders().insert(m_folder);
}
