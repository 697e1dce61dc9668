#pragma once

#include <QDialog>

class Dialogs;
class QLabel;
class QPushButton;
class QScrollArea;
class PagedDocument;

// The modal preview of a print run or a report: pages are drawn when shown, so a long run opens at
// once; from here the user prints on a printer of choice or saves the pages as PDF.
class TForm_Visualizar : public QDialog {
    Q_OBJECT
public:
    TForm_Visualizar(const PagedDocument &sheet, Dialogs &dialogs, QWidget *parent = nullptr);
    // Titles of the print dialog and of the PDF file choice (the ticket sheet's by default).
    void setDocumentTitles(const QString &printTitle, const QString &pdfTitle);

    int currentPage() const { return m_page; }
    int renderedPages() const { return m_rendered; }
    void showPage(int page);

public Q_SLOTS:
    void BTN_ImprimirClick();
    void BTN_SalvarPDFClick();

private:
    const PagedDocument &m_sheet;
    QString m_printTitle = QStringLiteral("Imprimir Bilhetes");
    QString m_pdfTitle = QStringLiteral("Salvar Bilhetes em PDF");
    Dialogs &m_dialogs;
    int m_page = 0;
    int m_rendered = 0;
    double m_zoom = 1.0;
    QLabel *IMG_Pagina;
    QLabel *LBL_Pagina;
    QScrollArea *m_scroll;
};
