#pragma once

#include "layout/WidgetDesignerPanel.h"

class QPushButton;

// "ALTERAR DIMENSÕES": a new size for a free image, tried on screen and then written as a new picture.
class WidgetFreeImagePanel : public WidgetDesignerPanel {
    Q_OBJECT
public:
    explicit WidgetFreeImagePanel(QWidget *window);

    // Shows the panel for free image 1 or 2 at its present size.
    void open(int image, QSize size);
    QString widthText() const;
    QString heightText() const;
    // "Gravar Nova Imagem" is offered once a size was typed.
    void setSaveEnabled(bool enabled);
    void lockForPrinting();

Q_SIGNALS:
    void applyClicked();
    void saveImageClicked();
    void closeClicked();

private:
    QLabel *LBL_ImagemLivre;
    QLineEdit *ED_Largura, *ED_Altura;
    QPushButton *Button1, *BTN_GravarNovaImagem;
};
