#pragma once

#include <QFrame>

class QComboBox;
class QToolButton;

// The designer's top bar: the fonts of the control numbers and of the ticket's numbers, and the
// buttons Imprimir, Gravar, Opções, Grade and Sair.
class WidgetDesignerToolbar : public QFrame {
    Q_OBJECT
public:
    explicit WidgetDesignerToolbar(QWidget *window);

    // "Gravar" stands active while the row holds changes not yet stored.
    void setSaveNeeded(bool needed);
    bool saveNeeded() const;
    void setGridShown(bool shown);
    void showFonts(int idSize, int idColour, int numberSize, int numberColour);

    QString idSizeText() const;
    QString numberSizeText() const;
    int idColour() const;
    int numberColour() const;

Q_SIGNALS:
    void printClicked();
    void saveClicked();
    void optionsClicked();
    void gridClicked(bool show);
    void closeClicked();
    void idSizeChosen(const QString &text);
    void numberSizeChanged(const QString &text);
    void idColourChosen(int colour);
    void numberColourChosen(int colour);

private:
    QComboBox *cmb_NumID_Tam, *CMB_COR_ID_BIL, *cmb_numerosTam, *CMB_COR_NUM;
    QToolButton *BOTAO_IMPRIMIR, *botaoSalvarAtivo, *BOTAO_OPCOES, *BotaoGrade, *BotaoGradeSem,
        *img_fecharPOS;
};
