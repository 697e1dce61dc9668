#pragma once

#include "data/AppContext.h"
#include "layout/PrintRun.h"
#include "layout/TicketLayout.h"
#include "layout/WidgetDesignArea.h"

#include <QDialog>
#include <QTextCharFormat>
#include <functional>

class QComboBox;
class QLineEdit;
class QMenu;
class QScrollArea;
class TicketSheet;
class WidgetBackgroundArtPanel;
class WidgetDesignerPrintPanel;
class WidgetDesignerSettings;
class WidgetDesignerToolbar;
class WidgetFormatBar;
class WidgetFreeImagePanel;
class WidgetTextBoxPanel;

// The ticket designer: the ticket at true scale, every element dragged into place, the options
// and text boxes, and the print panel that starts a print run. Each panel is its own widget; the
// window composes them and routes what a person does in one to the layout, the row and the others.
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

    // The print panel's range.
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
    void reject() override;
    void showEvent(QShowEvent *event) override;

private:
    using Family = WidgetDesignArea::Family;

    void build();
    void connectToolbar();
    void connectSettings();
    void connectTextBoxes();
    void connectFormatBar();
    void buildMenus();
    void buildMainOptions();
    void buildImageMenu();
    // The print module's variant: what it may not change is locked or refused with a warning.
    bool printOnly() const;
    void lockForPrinting();
    bool refusedInPrintModule();
    void keepStored(QComboBox *box, const QString &column);
    void removeBackground();
    void reportProblems(const QList<TicketLayout::Problem> &problems);
    void fontsChosen();

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
    void formatSelection(const std::function<void(QTextCharFormat &, const QTextCharFormat &)> &change,
                         bool editsRow);
    void runPrint(bool whatsMode);
    void takeShownSizes();
    void sendPictures(const TicketSheet &sheet);
    QLineEdit *freeImageField(int image) const;
    QStringList m_sendList;

    AppContext &m_ctx;
    Variant m_variant;
    TicketLayout m_layout;
    PrintRun m_run;

    // Transient state of the window.
    bool m_resizePending = false;
    int m_freeImage = 1;  // which free image the image menu acts on
    int m_pictureFor = 0; // 0 background art, 1 or 2 free image
    bool m_loading = false;
    bool m_shown = false;

    // The panels, composed and routed here.
    WidgetDesignerToolbar *m_toolbar;
    QScrollArea *m_scroll;
    WidgetDesignArea *m_area;
    WidgetDesignerSettings *m_settings;
    WidgetTextBoxPanel *m_textBoxes;
    WidgetBackgroundArtPanel *m_backgroundArt;
    WidgetFreeImagePanel *m_freeImagePanel;
    WidgetFormatBar *m_formatBar;
    WidgetDesignerPrintPanel *m_printPanel;
    // Menus
    QMenu *Pop, *Pop_imagemLivre;
    QAction *m_insertImageAction;
};
