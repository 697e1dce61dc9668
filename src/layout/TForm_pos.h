#pragma once

#include "data/AppContext.h"
#include "layout/PrintRun.h"
#include "layout/TicketLayout.h"

#include <QDialog>
#include <QPoint>
#include <QTextCharFormat>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTextEdit;
class QToolButton;
class DesignArea;

// The ticket designer: the ticket at true scale, every element dragged into place, the options
// and text boxes, and the print panel that starts a print run.
class TForm_pos : public QDialog {
    Q_OBJECT
public:
    // The print module shows a print-only variant of the same window.
    enum class Variant { Main, PrintOnly };

    explicit TForm_pos(AppContext &ctx, QWidget *parent = nullptr, Variant variant = Variant::Main);
    // The tickets of a group sent together (entries 1 to QtBilhetesEnvio of the validation window).
    void setSendList(const QStringList &tickets) { m_sendList = tickets; }
    ~TForm_pos() override;

    TicketLayout &layout() { return m_layout; }
    PrintRun &printRun() { return m_run; }
    bool hasUnsavedChanges() const;

    // Loads the stored layout into the design area.
    void CarregarLayout();

    QLineEdit *Edit_DE = nullptr;
    QLineEdit *Edit_ATE = nullptr;

public Q_SLOTS:
    void FormShow();
    void botaoSalvarAtivoClick(); // Save
    void BOTAO_IMPRIMIRClick();
    void Img_botaoImprimirClick(); // the print run
    void img_whatsClick();
    void img_fecharPOSClick();
    void SairClick();
    void BotaoGradeClick();
    void BotaoGradeSemClick();
    void Button3Click(); // ticket dimensions "Aplicar"
    void Button5Click(); // "Ajustar..."
    void BTN_SALVAR_BARRAClick();
    void BTN_SALVAR_BARRA_CClick();
    void DBCheckBox1Click();
    void DBC_USAR_CANHOTOClick();
    void DBCheckBox2Click();
    void DBComboBox1Change();
    void DBComboBox2Change();
    void DBComboBox3Change();
    void DBC_NumColunaChange();
    void Image54Click();
    void BTN_ObterImagemClick();
    void BTN_RemoverClick();
    void botao_img_LivreClick(int image);
    void AlterarDimensoesClick();
    void Button1Click(); // resize the free image
    void BTN_GravarNovaImagemClick();
    void FecharPanelImagemLivre();
    void ExcluirImagemClick();
    void Open_figuraClose(const QString &chosen);
    void GerarModuloClick(); // "Gerar Módulo para Impressão Externa"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;
    void showEvent(QShowEvent *event) override;

private:
    enum class Family { Barcodes, ControlNumbers, Numbers, AuthCode, TextBoxes, FreeImages, FormatBar };
    struct Draggable {
        QWidget *widget;
        Family family;
        QPoint *pos; // the element's place in the layout (null for the formatting bar)
    };

    void build();
    void buildToolbar();
    void buildSettings();
    void buildPanels();
    void buildMenus();
    void buildMainOptions();
    void buildTextAndImageMenus();
    // The print module's variant: what it may not change is locked or refused with a warning.
    bool printOnly() const;
    void lockForPrinting();
    bool refusedInPrintModule();
    void keepStored(QComboBox *box, const QString &column);
    void removeBackground();
    void placeWidgets();
    void applyFonts();
    void showPicture(QLabel *label, const TicketLayout::Picture &picture);

    // The raffle row, put into edit (shows the save button), posted and applied.
    QVariant field(const QString &column) const;
    void setField(const QString &column, const QVariant &value);
    void editRow();
    bool applyRow();
    bool saveRow(); // stores every shown element's place, applies, hides the save button
    bool toInt(const QString &text, int *value);

    void storeAfterDrag(Family family);
    void GravarPosQuadroTxt();
    void Ativar_canhoto();
    void writeTextBoxes();
    void setGrid(bool shown);
    void bindLine(QLineEdit *edit, const QString &column, bool numeric);
    void selectColour(QComboBox *box, int value);
    int colourOf(QComboBox *box) const;
    QTextEdit *textTarget() const;
    void formatSelection(const std::function<void(QTextCharFormat &, const QTextCharFormat &)> &change,
                         bool editsRow);
    void runPrint(bool whatsMode);
    void sendPictures(const TicketSheet &sheet);
    QStringList m_sendList;

    AppContext &m_ctx;
    Variant m_variant;
    TicketLayout m_layout;
    PrintRun m_run;

    // Transient state of the window.
    bool m_dragActive = false;
    QPoint m_lastCursor;
    bool m_moved = false;
    bool m_textMovePermission = false;
    QChar m_textTarget; // 'B' ticket box, 'C' stub box, none yet
    bool m_resizePending = false;
    int m_freeImage = 1;  // which free image the image menu acts on
    int m_pictureFor = 0; // 0 background art, 1 or 2 free image
    bool m_loading = false;
    bool m_gridShown = false;
    bool m_shown = false;

    QList<Draggable> m_draggables;

    // Toolbar
    QFrame *Panel1;
    QComboBox *cmb_NumID_Tam, *CMB_COR_ID_BIL, *cmb_numerosTam, *CMB_COR_NUM;
    QToolButton *BOTAO_IMPRIMIR, *botaoSalvarAtivo, *BOTAO_OPCOES, *BotaoGrade, *BotaoGradeSem;
    // Design area
    QScrollArea *m_scroll;
    DesignArea *Panel3;
    QWidget *Shape_DimBilhete;
    QLabel *img_fundo, *Img_LIVRE1, *IMG_LIVRE2;
    QLabel *BilheteNum1, *BilheteNum2, *Num_Autentic, *IMG_CODBARRA1, *IMG_CODBARRA2;
    QLabel *NumB[10];
    QTextEdit *DBR_TextoBasico, *DBR_TextoBasico_C;
    QWidget *Shape_traco;
    // Settings panel
    QFrame *Panel_apoio;
    QLineEdit *DBEdit1, *DBEdit2, *DBEdit3, *DBEdit4, *DBEdit_Livre1, *DBEdit_Livre2, *DBEdit5, *DBEdit6;
    QToolButton *Image54, *botao_img_Livre1, *botao_img_Livre2;
    QCheckBox *DBCheckBox2, *DBCheckBox1;
    QComboBox *DBComboBox1, *DBComboBox2, *DBC_NumColuna, *DBComboBox3;
    QPushButton *Button3, *Button5;
    // Floating panels
    QFrame *PANEL_TEXTOBASICO, *Panel_obterImagem, *Panel_Imagem_Livre, *Panel_Formatacao, *Panel_impre_pos;
    QLineEdit *DBEdit_TxtAlt, *DBEdit_TxtComp, *DBEdit_TxtCAlt, *DBEdit_TxtCComp;
    QCheckBox *DBC_USAR_CANHOTO;
    QPushButton *BTN_SALVAR_BARRA, *BTN_SALVAR_BARRA_C;
    QLabel *LBL_ImagemLivre;
    QLineEdit *ED_Largura, *ED_Altura;
    QPushButton *Button1, *BTN_GravarNovaImagem;
    QComboBox *cmb_fonte, *cmb_tam, *ColorBox1;
    QToolButton *IMG_Negrito, *IMG_Sublinhado;
    QToolButton *Img_botaoImprimir, *img_whats, *img_fecharPOS;
    // Menus
    QMenu *Pop, *PopTexto, *PopTexto_Canhoto, *Pop_imagemLivre;
    QAction *m_insertImageAction;
};
