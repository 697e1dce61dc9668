#pragma once

#include <QString>
#include <QStringList>
#include <functional>

struct AppContext;

// The three picture paths of the designer that the package carries as imd0.idx .. imd2.idx.
struct PackagePictures {
    QString artFundo; // "Arte de Fundo"
    QString livre1;   // "Imagem Livre 1"
    QString livre2;   // "Imagem Livre 2"
};

// Writes the ModuloKorvante folder that the print module runs from on another computer: the control
// file naming the working raffle, copies of both databases, the print module and the pictures.
class PrintPackage {
public:
    static constexpr const char *FolderName = "ModuloKorvante";
    static constexpr const char *ControlFileName = "zqPrint.dll";
    static constexpr const char *ControlSection = "KORVANTE";
    static constexpr const char *RaffleKey = "COD_RIFA";

    explicit PrintPackage(AppContext &ctx);

    // The package folder inside the chosen one, with a single separator also at a drive root.
    static QString packageFolder(const QString &chosen);
    // The print module of the installation, the source of the package's copy.
    static QString installedPrintModule(const QString &programFolder);
    static QString printModuleFileName();
    static QString pictureFileName(int i) { return QStringLiteral("imd%1.idx").arg(i); }

    // Every file of the folder removed (not its sub-folders), then the folder; a failure is reported.
    bool Apagar_pasta(const QString &folder);
    // The control file in the program folder, COD_RIFA of section KORVANTE set to the working raffle.
    bool CriandoArqSeg();

    // "Prepara Módulo de Impressão Externa": true once the success message was shown. The gauge
    // follows through progress (0..100).
    bool build(const QString &chosenFolder, const PackagePictures &pictures,
               const std::function<void(int)> &progress = {});

    static QString successMessage();
    static QString createFailedMessage();
    static QString removeFailedMessage();

private:
    AppContext &m_ctx;
};
