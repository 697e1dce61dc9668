#pragma once

#include <QDialog>

class Dialogs;
class QLabel;
class QPushButton;
class QScrollArea;
class TicketSheet;

// The modal preview of a print run: pages are drawn when shown, so a long run opens at once;
// from here the user prints on a printer of choice or saves the sheet as PDF.
class TForm_Visualizar : public QDialog {
    Q_OBJECT
public:
    TForm_Visualizar(const TicketSheet &sheet, Dialogs &dialogs, QWidget *parent = nullptr);

    int currentPage() const { return m_page; }
    int renderedPages() const { return m_rendered; }
    void showPage(int page);

public Q_SLOTS:
    void BTN_ImprimirClick();
    void BTN_SalvarPDFClick();

private:
    const TicketSheet &m_sheet;
    Dialogs &m_dialogs;
    int m_page = 0;
    int m_rendered = 0;
    double m_zoom = 1.0;
    QLabel *IMG_Pagina;
    QLabel *LBL_Pagina;
    QScrollArea *m_scroll;
};
