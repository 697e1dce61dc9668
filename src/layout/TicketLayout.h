#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class RaffleRow;
class QSqlRecord;
class Registry;

// The ticket's layout as the designer shows it and the ticket sheet prints it: every element's
// place in the design area (whole pixels at 96 per inch), its visibility, the fonts, colours,
// pictures and text boxes, together with the options of the raffle row they came from.
class TicketLayout {
public:
    struct Placed {
        bool visible = false;
        QPoint pos;
    };
    struct Picture {
        bool visible = false;
        QRect rect;   // place and size in the design area
        QImage image; // what is shown (a resized free image until it is saved)
        bool stretched = false;
    };
    struct TextBox {
        bool visible = false;
        QPoint pos;
        QSize size; // on screen, from the millimetre fields
        QByteArray rtf;
    };
    // A problem met while loading that the designer reports.
    struct Problem {
        enum Kind { MissingBackground, MissingFreeImage1, MissingFreeImage2, UnusablePicture, PackagePicture } kind;
        QString text;
    };

    static constexpr int OutlineLeft = 15;
    static constexpr int OutlineTop = 20;
    static constexpr QSize DefaultOutline{436, 245};
    static constexpr QPoint DefaultTicketId{365, 31};
    static constexpr QPoint DefaultStubId{29, 31};
    static constexpr QPoint DefaultBarcode1{256, 272};
    static constexpr QPoint DefaultBarcode2{368, 272};
    static constexpr QPoint DefaultAuthCode{29, 234};
    // A free image never placed starts at the ticket's corner, where the background art starts.
    static constexpr QPoint DefaultFreeImage{OutlineLeft, OutlineTop};
    static constexpr QPoint DefaultTextOnLoad{94, 31};
    static constexpr QPoint DefaultTextSwitchedOn{150, 33};
    static constexpr QPoint DefaultTextAdjust{94, 47};
    static constexpr QPoint DefaultStubText{31, 31};
    static constexpr QSize DefaultTextSizeOnLoad{266, 224};
    static constexpr QSize DefaultTextSizeSwitchedOn{350, 224};
    static constexpr QSize DefaultStubTextSize{115, 178};
    static constexpr QSize BarcodeBox{66, 28};
    static QPoint defaultNumberPos(int k); // k = 1..10

    // Millimetres to pixels with the designer's integer arithmetic.
    static int outlinePixels(int mm) { return 3 * mm + (78 * mm) / 100; }
    static int textBoxPixels(int mm) { return 3 * mm + (75 * mm) / 100; }
    // Stored colour values are blue-green-red, low byte red.
    static QColor colour(int bgr);
    static int colourValue(const QColor &c);

    // Placeholders of the design area.
    static QString zeroString(const QString &modalidade);
    static QString ticketIdPlaceholder(const QString &modalidade);
    static QString stubIdPlaceholder(const QString &modalidade);
    static constexpr const char *AuthPlaceholder = "AAAA0000H";
    // Digits of the modality number format ("#0000" has 4); 0 when the text is none of the five.
    static int numberDigits(const QString &modalidade);

    // The warning shown on saving when the two barcodes, at the width of the code of the last ticket
    // and with their white margins, would run into each other; empty when they do not.
    QString barcodeOverlapWarning(int lastTicket) const;

    // The guide grid's registry value: 1 shows it; anything else (or nothing) is written back as 0.
    static bool readGrid(Registry &registry);

    // CarregarLayout: the stored layout with every default, pictures loaded from their files
    // (left out when picturesFromPaths is false: the print module takes them from its package).
    void load(const QSqlRecord &row, int perTicket, QList<Problem> *problems = nullptr,
              bool picturesFromPaths = true);
    // The print module's pictures: imd0.idx (background art), imd1.idx and imd2.idx (free images) of
    // its folder, for the pictures the row names; each is renamed to .jpg to be read and always back.
    void loadPackagePictures(const QString &folder, QList<Problem> *problems);

    // The store steps write held edits into the raffle's row; applying is the caller's.
    void storeBarcodePositions(RaffleRow &row) const;   // GravarPosCodBar
    void storeIdPositions(RaffleRow &row) const;        // GravarPosID_Bilhete
    void storeNumberPositions(RaffleRow &row) const;    // GravarPosNum_Bilhete
    void storeAuthPosition(RaffleRow &row) const;       // GravarPosNumAutentic
    void storeTextBoxPositions(RaffleRow &row) const;   // GravarPosQuadroTxt
    void storeFreeImagePositions(RaffleRow &row) const; // part of Save
    void storeFonts(RaffleRow &row) const;              // part of Save
    // Every element the design area shows, where it shows it, and a free image whose picture did not
    // load at the place it keeps: a save stores what the person sees.
    void storeShownPositions(RaffleRow &row) const;

    // Placing steps shared by the loading and the designer's options.
    void placeBarcodes(const QSqlRecord &row);
    void placeAuthCode(const QSqlRecord &row);
    void activateStub(const QSqlRecord &row); // Ativar_canhoto
    void placeStubSeparator();
    // False (picture unchanged) for a file that is not an image, is damaged or cut short.
    bool loadPicture(Picture &picture, const QString &path);
    static QString unusablePictureMessage(const QString &path);
    static constexpr int ArtworkAllocationLimitMB = 1024;
    void placeBackground(bool fullOutline);

    // Options as stored in the row.
    QString modalidade;
    int perTicket = 0;
    int usarNumId = 0;                         // USAR_NUM_ID_BILHETE 0, 1, 2
    int usarCBarra = 0;                        // USAR_CBARRA 0, 1, 2
    int qtColFolha = 0;                        // QT_COL_FOLHA 0, 2, 3
    QString usarAutentic;                      // USAR_AUTENTIC "S" / "N"
    int usarTextoBas = 0;                      // "Digitar Textos para usar na Rifa."
    int usarTextoBasC = 0;                     // "Usar também Canhoto"
    int dimBilheteAlt = 0, dimBilheteComp = 0; // mm
    int dimTextoAlt = 0, dimTextoComp = 0, dimTextoCAlt = 0, dimTextoCComp = 0; // mm
    int tamFonteId = 0, tamFonteNum = 0;
    int corFonteId = 0, corFonteNum = 0;
    QString artFundo;
    bool artExtendida = false;
    QString imgLivre[2];

    // What the design area shows.
    QSize outline = DefaultOutline;
    Placed bilheteNum[2]; // ticket, stub
    Placed numB[10];
    Placed codBarra[2];
    Placed autentic;
    TextBox texto, textoC;
    Placed traco; // the stub's dotted separator
    int tracoHeight = 0;
    Picture fundo;
    Picture livre[2];

    QRect outlineRect() const { return QRect(QPoint(OutlineLeft, OutlineTop), outline); }
};
