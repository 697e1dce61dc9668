#include "layout/PrintPackage.h"

#include "data/AppContext.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/ProfileFile.h"
#include "platform/Shell.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

PrintPackage::PrintPackage(AppContext &ctx) : m_ctx(ctx) {}

QString PrintPackage::packageFolder(const QString &chosen) {
    QString base = QDir::fromNativeSeparators(chosen);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base + u'/' + QLatin1String(FolderName);
}

QString PrintPackage::printModuleFileName() {
    return QStringLiteral("Korvante_PRINT") + Shell::executableSuffix();
}

QString PrintPackage::installedPrintModule(const QString &programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Korvante_moduloPrint/") + printModuleFileName());
}

QString PrintPackage::successMessage() {
    return QStringLiteral("PASTA com Cópia do Módulo de Impressão Externa Criada com Sucesso .\r\r"
                          "Leve essa PASTA para o computador que vai imprimir, instale nele o KORVANTE e "
                          "copie todo o conteúdo dessa PASTA para dentro da pasta do KORVANTE instalado, "
                          "substituindo os arquivos que já existirem.");
}

QString PrintPackage::createFailedMessage() {
    return QStringLiteral("Não foi possivel criar a pasta \\ModuloKorvante no Local de Gravação Informado. "
                          "Caso você esteja na PASTA do Local de gravação, saia dela e volte a tentar essa "
                          "Operação!");
}

QString PrintPackage::removeFailedMessage() {
    return QStringLiteral("Não foi possivel apagar a pasta \\MODULO_PRINT no Local de Gravação Informado. "
                          "Caso você esteja no Local de gravação, saia e volte a tentar essa Operação!");
}

bool PrintPackage::Apagar_pasta(const QString &folder) {
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &e : entries)
        QFile::remove(e.absoluteFilePath());
    if (QDir().rmdir(folder)) return true;
    m_ctx.dialogs.error(removeFailedMessage(), QStringLiteral("QUELMARO 6"));
    return false;
}

bool PrintPackage::CriandoArqSeg() {
    ProfileFile control(QDir(m_ctx.programFolder).filePath(QLatin1String(ControlFileName)));
    return control.writeString(QLatin1String(ControlSection), QLatin1String(RaffleKey),
                               QString::number(m_ctx.raffle.slot()));
}

namespace {

// A copy over a file of the same name. A missing source is left out; false only when a source that
// is there could not be copied (a full or removed pen drive).
bool copyOver(const QString &from, const QString &to, QStringList *failed) {
    if (from.trimmed().isEmpty() || !QFileInfo(from).isFile()) return true;
    QFile::remove(to);
    if (QFile::copy(from, to)) return true;
    QFile::remove(to);
    failed->append(QFileInfo(to).fileName());
    return false;
}

} // namespace

bool PrintPackage::build(const QString &chosenFolder, const PackagePictures &pictures,
                         const std::function<void(int)> &progress) {
    const QString folder = packageFolder(chosenFolder);
    if (QFileInfo::exists(folder)) Apagar_pasta(folder);
    if (!QDir().mkdir(folder)) {
        m_ctx.dialogs.error(createFailedMessage());
        return false;
    }
    CriandoArqSeg();

    const auto step = [&](int value) {
        if (progress) progress(value);
    };
    step(0);
    const QDir app(m_ctx.programFolder);
    const QDir out(folder);
    QStringList failed;
    QString reopenError;
    {
        WaitCursor wait;
        copyOver(app.filePath(QLatin1String(ControlFileName)), out.filePath(QLatin1String(ControlFileName)),
                 &failed);
        step(10);
        // A database file is copied whole only while no connection of ours holds it open.
        m_ctx.tdm.closeConnections();
        copyOver(app.filePath(QStringLiteral("ID_BASE.FDB")), out.filePath(QStringLiteral("ID_BASE.FDB")),
                 &failed);
        step(30);
        copyOver(app.filePath(QStringLiteral("CRF.XML")), out.filePath(QStringLiteral("CRF.XML")), &failed);
        const bool reopened = m_ctx.tdm.reopenConnections(&reopenError);
        step(60);
        copyOver(installedPrintModule(m_ctx.programFolder), out.filePath(printModuleFileName()), &failed);
        step(75);
        const QString sources[3] = {pictures.artFundo, pictures.livre1, pictures.livre2};
        const int after[3] = {85, 90, 100};
        for (int i = 0; i < 3; ++i) {
            copyOver(sources[i].trimmed(), out.filePath(pictureFileName(i)), &failed);
            step(after[i]);
        }
        if (reopened) reopenError.clear();
    }
    if (!reopenError.isEmpty())
        m_ctx.dialogs.error(QStringLiteral("Erro ao reabrir os bancos de dados depois da cópia: ") + reopenError);
    if (!failed.isEmpty()) {
        // A package without its files must not look like one that is ready to take away.
        m_ctx.dialogs.error(QStringLiteral("Não foi possível copiar para a PASTA do Módulo de Impressão "
                                           "Externa o(s) arquivo(s): %1. Verifique o Local de Gravação "
                                           "(espaço livre, Pen-drive conectado) e volte a tentar essa "
                                           "Operação!")
                                .arg(failed.join(QStringLiteral(", "))));
        return false;
    }
    if (!reopenError.isEmpty()) return false;
    m_ctx.dialogs.information(successMessage());
    return true;
}
