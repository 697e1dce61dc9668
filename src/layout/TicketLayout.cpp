#include "layout/TicketLayout.h"

#include "data/RaffleRow.h"
#include "layout/Code128.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSqlRecord>
#include <QVariant>

namespace {

int intOf(const QSqlRecord &row, const char *column) {
    return row.value(QLatin1String(column)).toInt();
}
QString textOf(const QSqlRecord &row, const char *column) {
    return row.value(QLatin1String(column)).toString().trimmed();
}
QPoint posOf(const QSqlRecord &row, const QString &prefix) {
    return QPoint(row.value(prefix + QStringLiteral("_L")).toInt(),
                  row.value(prefix + QStringLiteral("_T")).toInt());
}
// The stored place, or the default when the element was never placed (left below 1).
QPoint storedOr(const QSqlRecord &row, const QString &prefix, QPoint fallback) {
    const QPoint p = posOf(row, prefix);
    return p.x() < 1 ? fallback : p;
}
void put(RaffleRow &t, const QString &column, const QVariant &v) {
    t.setValue(column, v);
}
void putPos(RaffleRow &t, const QString &prefix, QPoint p) {
    put(t, prefix + QStringLiteral("_L"), p.x());
    put(t, prefix + QStringLiteral("_T"), p.y());
}

const char *const kModalities[] = {"00 - 99", "000 - 999", "0000 - 9999", "00000 - 99999", "000000 - 999999"};

} // namespace

QPoint TicketLayout::defaultNumberPos(int k) {
    static const QPoint p[10] = {{365, 74}, {365, 106}, {365, 138}, {365, 178}, {365, 218},
                                 {285, 74}, {285, 106}, {285, 138}, {285, 178}, {285, 208}};
    return k >= 1 && k <= 10 ? p[k - 1] : QPoint();
}

QColor TicketLayout::colour(int bgr) {
    const auto v = quint32(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int TicketLayout::colourValue(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QString TicketLayout::zeroString(const QString &modalidade) {
    const qsizetype i = modalidade.indexOf(QStringLiteral(" -"));
    return i < 0 ? modalidade : modalidade.left(i);
}

int TicketLayout::numberDigits(const QString &modalidade) {
    for (int i = 0; i < 5; ++i)
        if (modalidade == QLatin1String(kModalities[i])) return i + 2;
    return 0;
}

QString TicketLayout::ticketIdPlaceholder(const QString &modalidade) {
    const int d = numberDigits(modalidade);
    return d == 0 ? QStringLiteral("C-000000") : QStringLiteral("C-") + QString(d - 1, u'0') + u'1';
}

QString TicketLayout::stubIdPlaceholder(const QString &modalidade) {
    const int d = numberDigits(modalidade);
    if (d == 0) return QStringLiteral("C-000000");
    // The two largest modalities show the same number on both labels.
    return QStringLiteral("C-") + QString(d - 1, u'0') + (d <= 4 ? u'2' : u'1');
}

bool TicketLayout::readGrid(Registry &registry) {
    const bool shown = registry.contains(QStringLiteral("GRADE")) &&
                       registry.value(QStringLiteral("GRADE")).toString().trimmed() == QLatin1String("1");
    registry.setValue(QStringLiteral("GRADE"), shown ? 1 : 0);
    return shown;
}

QString TicketLayout::unusablePictureMessage(const QString &path) {
    return QStringLiteral("A imagem [ %1 ] não pode ser usada: o arquivo não é uma imagem JPG válida, ou "
                          "está danificado ou incompleto.")
        .arg(path);
}

namespace {
// A JPEG cut short still decodes (the rest comes out grey): its end marker must follow the last scan.
bool jpegIsWhole(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = f.readAll();
    if (!data.startsWith("\xFF\xD8")) return true; // not a JPEG: the reader decides
    const qsizetype scan = data.lastIndexOf("\xFF\xDA");
    return scan >= 0 && data.indexOf("\xFF\xD9", scan) > scan;
}
} // namespace

bool TicketLayout::loadPicture(Picture &picture, const QString &path) {
    // Artwork up to 8,000 x 8,000 pixels (256 MB decoded) is above Qt's default limit of 128 MB.
    if (QImageReader::allocationLimit() < ArtworkAllocationLimitMB)
        QImageReader::setAllocationLimit(ArtworkAllocationLimitMB);
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage img = reader.read();
    if (img.isNull() || !jpegIsWhole(path)) return false;
    picture.image = img;
    return true;
}

QString TicketLayout::barcodeOverlapWarning(int lastTicket) const {
    if (!codBarra[0].visible || !codBarra[1].visible || lastTicket <= 0) return {};
    const QString code = QString::number(lastTicket);
    const int width = int(Code128::modulesA(code).size());
    // Barcode 1's bars start one pixel into its box, barcode 2's at its edge.
    const int left1 = codBarra[0].pos.x() + 1, left2 = codBarra[1].pos.x();
    const bool sameRows = qAbs(codBarra[0].pos.y() - codBarra[1].pos.y()) < Code128::BarHeight;
    const auto intrudes = [width](int bars, int other) {
        return bars < other + width + Code128::QuietZone && other - Code128::QuietZone < bars + width;
    };
    if (!sameRows || (!intrudes(left1, left2) && !intrudes(left2, left1))) return {};
    return QStringLiteral("ATENÇÃO... os dois Códigos de Barras vão se encostar na impressão: o código do "
                          "último Bilhete (%1) tem %2 pixels de largura, mais uma margem branca de %3 pixels "
                          "de cada lado. Afaste os dois Códigos de Barras para que o leitor consiga lê-los.")
        .arg(code)
        .arg(width)
        .arg(Code128::QuietZone);
}

void TicketLayout::placeBackground(bool fullOutline) {
    const QRect o = outlineRect();
    fundo.rect = fullOutline ? o : QRect(o.topLeft(), o.size() - QSize(2, 2));
    fundo.stretched = artExtendida;
}

void TicketLayout::placeBarcodes(const QSqlRecord &row) {
    codBarra[0].visible = usarCBarra == 1 || usarCBarra == 2;
    codBarra[1].visible = usarCBarra == 2;
    codBarra[0].pos = storedOr(row, QStringLiteral("POS_CBARRA1"), DefaultBarcode1);
    codBarra[1].pos = storedOr(row, QStringLiteral("POS_CBARRA2"), DefaultBarcode2);
}

void TicketLayout::placeAuthCode(const QSqlRecord &row) {
    autentic.visible = usarAutentic == QLatin1String("S");
    const QPoint stored = posOf(row, QStringLiteral("POS_COD_AUTENTIC"));
    autentic.pos = stored.x() > 0 && autentic.visible ? stored : DefaultAuthCode;
}

void TicketLayout::activateStub(const QSqlRecord &row) {
    textoC.size = dimTextoCAlt <= 0 ? DefaultStubTextSize
                                    : QSize(textBoxPixels(dimTextoCComp), textBoxPixels(dimTextoCAlt));
    textoC.pos = storedOr(row, QStringLiteral("POS_TEXTO_BAS_C"), DefaultStubText);
    if (usarTextoBasC == 1) {
        placeStubSeparator();
        traco.visible = true;
        textoC.visible = true;
    }
}

void TicketLayout::placeStubSeparator() {
    tracoHeight = textoC.size.height();
    traco.pos = QPoint(textoC.pos.x() + textoC.size.width() + 5, textoC.pos.y());
}

void TicketLayout::load(const QSqlRecord &row, int perTicketCount, QList<Problem> *problems,
                        bool picturesFromPaths) {
    *this = TicketLayout();
    perTicket = perTicketCount;
    modalidade = textOf(row, "MODALIDADE");
    usarNumId = intOf(row, "USAR_NUM_ID_BILHETE");
    usarCBarra = intOf(row, "USAR_CBARRA");
    qtColFolha = intOf(row, "QT_COL_FOLHA");
    usarAutentic = textOf(row, "USAR_AUTENTIC");
    usarTextoBas = intOf(row, "USAR_TEXTO_BAS");
    usarTextoBasC = intOf(row, "USAR_TEXTO_BAS_C");
    dimBilheteAlt = intOf(row, "DIM_BILHETE_ALT");
    dimBilheteComp = intOf(row, "DIM_BILHETE_COMP");
    dimTextoAlt = intOf(row, "DIM_TEXTO_BAS_ALT");
    dimTextoComp = intOf(row, "DIM_TEXTO_BAS_COMP");
    dimTextoCAlt = intOf(row, "DIM_TEXTO_BAS_C_ALT");
    dimTextoCComp = intOf(row, "DIM_TEXTO_BAS_C_COMP");
    tamFonteId = intOf(row, "TAM_FONTE_ID_BILH");
    tamFonteNum = intOf(row, "TAM_FONTE_POS_N");
    corFonteId = intOf(row, "COR_FONTE_ID_BILH");
    corFonteNum = intOf(row, "COR_FONTE_POS_N");
    artFundo = textOf(row, "ART_FUNDO");
    artExtendida = textOf(row, "ART_EXTENDIDA") == QLatin1String("S");
    imgLivre[0] = row.value(QStringLiteral("IMG_LIVRE1")).toString();
    imgLivre[1] = row.value(QStringLiteral("IMG_LIVRE2")).toString();
    texto.rtf = row.value(QStringLiteral("TEXTO_BASICO")).toByteArray();
    textoC.rtf = row.value(QStringLiteral("TEXTO_BASICO_C")).toByteArray();

    // Control numbers: a label never placed shows at its default with either option, so that what is
    // shown, stored and printed is the same place.
    bilheteNum[0].pos = storedOr(row, QStringLiteral("POS_NUMBILHETE"), DefaultTicketId);
    bilheteNum[1].pos = storedOr(row, QStringLiteral("POS_NUMCANHOTO"), DefaultStubId);
    bilheteNum[0].visible = usarNumId == 1 || usarNumId == 2;
    bilheteNum[1].visible = usarNumId == 2;

    if (dimBilheteAlt > 0) outline = QSize(outlinePixels(dimBilheteComp), outlinePixels(dimBilheteAlt));

    if (picturesFromPaths && !artFundo.isEmpty()) {
        if (QFileInfo::exists(artFundo) && loadPicture(fundo, artFundo)) {
            placeBackground(false);
            fundo.visible = true;
        } else if (QFileInfo::exists(artFundo)) {
            // A file that is there but does not load keeps its name: only a missing one is removed.
            if (problems) problems->append({Problem::UnusablePicture, unusablePictureMessage(artFundo)});
        } else if (problems) {
            problems->append(
                {Problem::MissingBackground,
                 QStringLiteral("Não foi possível carregar a imagem de Fundo do Bilhete no caminho que "
                                "estava gravado anteriormente [ ") +
                     artFundo +
                     QStringLiteral(" ]\r\rCaso queira essa imagem de fundo, favor incluir novamente em "
                                    "ARTE DE FUNDO")});
        }
    }

    for (int i = 0; i < 2; ++i) {
        // The place is kept whether or not the picture loads: a missing file never moves it.
        livre[i].rect.moveTopLeft(storedOr(row, QStringLiteral("IMG_LIVRE%1").arg(i + 1), DefaultFreeImage));
        const QString &path = imgLivre[i];
        if (!picturesFromPaths || path.isEmpty()) continue;
        if (QFileInfo::exists(path) && loadPicture(livre[i], path)) {
            livre[i].rect.setSize(livre[i].image.size());
            livre[i].visible = true;
        } else if (QFileInfo::exists(path)) {
            if (problems) problems->append({Problem::UnusablePicture, unusablePictureMessage(path)});
        } else if (problems) {
            problems->append(
                {i == 0 ? Problem::MissingFreeImage1 : Problem::MissingFreeImage2,
                 QStringLiteral("ATENÇÃO...Não foi mais possível localizar o arquivo de Imagem Livre %1 "
                                "no caminho Definido: ")
                         .arg(i + 1) +
                     path +
                     QStringLiteral("\r\rFavor exclua essa Definição de Imagem e coloque outra ou deixe "
                                    "Vazio!")});
        }
    }

    placeBarcodes(row);

    texto.pos = storedOr(row, QStringLiteral("POS_TEXTO_BAS"), DefaultTextOnLoad);
    texto.size = dimTextoAlt < 1 ? DefaultTextSizeOnLoad
                                 : QSize(textBoxPixels(dimTextoComp), textBoxPixels(dimTextoAlt));
    textoC.pos = storedOr(row, QStringLiteral("POS_TEXTO_BAS_C"), DefaultStubText);
    textoC.size = DefaultStubTextSize;
    if (usarTextoBas == 1) {
        texto.visible = true;
        activateStub(row);
    }

    placeAuthCode(row);

    for (int k = 1; k <= 10; ++k) {
        Placed &n = numB[k - 1];
        n.visible = k <= 5 ? perTicket >= k : perTicket >= 10;
        n.pos = storedOr(row, QStringLiteral("POS_N%1").arg(k), defaultNumberPos(k));
    }
}

namespace {

// Reads a package picture under its .jpg name and gives the file back its .idx name, whatever the
// outcome. A leftover .jpg of an earlier run that blocks the renaming does not stop the reading.
bool readPackagePicture(TicketLayout &layout, TicketLayout::Picture &picture, const QString &idx,
                        QString *why) {
    const QString jpg = idx.left(idx.size() - 4) + QStringLiteral(".jpg");
    const bool renamed = QFile::rename(idx, jpg);
    const QString source = renamed ? jpg : idx;
    bool ok = false;
    if (!QFileInfo::exists(source)) {
        *why = QStringLiteral("o arquivo não existe");
    } else {
        ok = layout.loadPicture(picture, source);
        // The reader's own text is in English: a person is told the file is damaged.
        if (!ok) *why = QStringLiteral("o arquivo está danificado ou não é uma imagem");
    }
    if (renamed) QFile::rename(jpg, idx);
    return ok;
}

} // namespace

// The places come from load(), whatever the package files hold.
void TicketLayout::loadPackagePictures(const QString &folder, QList<Problem> *problems) {
    const QDir dir(folder);
    const auto fail = [&](const QString &idx, const QString &why) {
        if (problems)
            problems->append({Problem::PackagePicture,
                              QStringLiteral("Não foi possível carregar a imagem %1 do pacote de impressão "
                                             "(%2). Prepare um novo pacote no computador principal "
                                             "(\"Prepara Módulo de Impressão Externa\") e copie-o para "
                                             "esta pasta.")
                                  .arg(QDir::toNativeSeparators(idx), why)});
    };
    if (!artFundo.isEmpty()) {
        const QString idx = dir.filePath(QStringLiteral("imd0.idx"));
        QString why;
        if (readPackagePicture(*this, fundo, idx, &why)) {
            placeBackground(false);
            fundo.visible = true;
        } else {
            fail(idx, why);
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (imgLivre[i].isEmpty()) continue;
        const QString idx = dir.filePath(QStringLiteral("imd%1.idx").arg(i + 1));
        QString why;
        if (readPackagePicture(*this, livre[i], idx, &why)) {
            livre[i].rect.setSize(livre[i].image.size());
            livre[i].visible = true;
        } else {
            fail(idx, why);
        }
    }
}

void TicketLayout::storeBarcodePositions(RaffleRow &t) const {
    if (codBarra[0].visible) putPos(t, QStringLiteral("POS_CBARRA1"), codBarra[0].pos);
    if (codBarra[1].visible) putPos(t, QStringLiteral("POS_CBARRA2"), codBarra[1].pos);
}

void TicketLayout::storeIdPositions(RaffleRow &t) const {
    putPos(t, QStringLiteral("POS_NUMBILHETE"), bilheteNum[0].pos);
    putPos(t, QStringLiteral("POS_NUMCANHOTO"), bilheteNum[1].pos);
}

void TicketLayout::storeNumberPositions(RaffleRow &t) const {
    for (int k = 1; k <= 10; ++k)
        putPos(t, QStringLiteral("POS_N%1").arg(k), numB[k - 1].pos);
}

void TicketLayout::storeAuthPosition(RaffleRow &t) const {
    putPos(t, QStringLiteral("POS_COD_AUTENTIC"), autentic.pos);
}

void TicketLayout::storeTextBoxPositions(RaffleRow &t) const {
    putPos(t, QStringLiteral("POS_TEXTO_BAS"), texto.pos);
    if (textoC.visible) putPos(t, QStringLiteral("POS_TEXTO_BAS_C"), textoC.pos);
}

void TicketLayout::storeFreeImagePositions(RaffleRow &t) const {
    for (int i = 0; i < 2; ++i)
        if (!imgLivre[i].isEmpty())
            putPos(t, QStringLiteral("IMG_LIVRE%1").arg(i + 1), livre[i].rect.topLeft());
}

void TicketLayout::storeShownPositions(RaffleRow &t) const {
    for (int i = 0; i < 2; ++i)
        if (bilheteNum[i].visible)
            putPos(t, i == 0 ? QStringLiteral("POS_NUMBILHETE") : QStringLiteral("POS_NUMCANHOTO"),
                   bilheteNum[i].pos);
    for (int k = 1; k <= 10; ++k)
        if (numB[k - 1].visible) putPos(t, QStringLiteral("POS_N%1").arg(k), numB[k - 1].pos);
    storeBarcodePositions(t);
    if (autentic.visible) storeAuthPosition(t);
    if (texto.visible) putPos(t, QStringLiteral("POS_TEXTO_BAS"), texto.pos);
    if (textoC.visible) putPos(t, QStringLiteral("POS_TEXTO_BAS_C"), textoC.pos);
    storeFreeImagePositions(t);
}

void TicketLayout::storeFonts(RaffleRow &t) const {
    put(t, QStringLiteral("COR_FONTE_ID_BILH"), corFonteId);
    put(t, QStringLiteral("COR_FONTE_POS_N"), corFonteNum);
    put(t, QStringLiteral("TAM_FONTE_ID_BILH"), tamFonteId);
    put(t, QStringLiteral("TAM_FONTE_POS_N"), tamFonteNum);
}
