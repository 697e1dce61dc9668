#include "layout/TForm_Visualizar.h"

#include "layout/WidgetPrintProgress.h"
#include "platform/Dialogs.h"
#include "reports/PagedDocument.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

TForm_Visualizar::TForm_Visualizar(const PagedDocument &sheet, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_sheet(sheet), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm_Visualizar"));
    setWindowTitle(QStringLiteral("KORVANTE - Visualização da Impressão"));
    resize(900, 700);

    auto *bar = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        bar->addWidget(b);
        return b;
    };
    QPushButton *first = button("BTN_Primeira", QStringLiteral("|<"));
    QPushButton *prev = button("BTN_Anterior", QStringLiteral("<"));
    LBL_Pagina = new QLabel(this);
    LBL_Pagina->setObjectName(QStringLiteral("LBL_Pagina"));
    bar->addWidget(LBL_Pagina);
    QPushButton *next = button("BTN_Proxima", QStringLiteral(">"));
    QPushButton *last = button("BTN_Ultima", QStringLiteral(">|"));
    auto *zoom = new QComboBox(this);
    zoom->setObjectName(QStringLiteral("CMB_Zoom"));
    for (int z : {50, 75, 100, 150, 200})
        zoom->addItem(QStringLiteral("%1%").arg(z), z);
    zoom->setCurrentIndex(2);
    bar->addWidget(zoom);
    bar->addStretch();
    QPushButton *print = button("BTN_Imprimir", QStringLiteral("Imprimir..."));
    QPushButton *pdf = button("BTN_SalvarPDF", QStringLiteral("Salvar PDF..."));
    QPushButton *close = button("BTN_Fechar", QStringLiteral("Fechar"));

    IMG_Pagina = new QLabel;
    IMG_Pagina->setObjectName(QStringLiteral("IMG_Pagina"));
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(IMG_Pagina);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *v = new QVBoxLayout(this);
    v->addLayout(bar);
    v->addWidget(m_scroll);

    connect(first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(prev, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QPushButton::clicked, this, [this] { showPage(m_sheet.pageCount() - 1); });
    connect(zoom, &QComboBox::activated, this, [this, zoom](int i) {
        m_zoom = zoom->itemData(i).toInt() / 100.0;
        showPage(m_page);
    });
    connect(print, &QPushButton::clicked, this, &TForm_Visualizar::BTN_ImprimirClick);
    connect(pdf, &QPushButton::clicked, this, &TForm_Visualizar::BTN_SalvarPDFClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    showPage(0);
}

void TForm_Visualizar::setDocumentTitles(const QString &printTitle, const QString &pdfTitle) {
    m_printTitle = printTitle;
    m_pdfTitle = pdfTitle;
}

void TForm_Visualizar::showPage(int page) {
    m_page = qBound(0, page, m_sheet.pageCount() - 1);
    QImage img = PageOutput::pageImage(m_sheet, m_page, 96);
    ++m_rendered;
    if (m_zoom != 1.0) img = img.scaled(img.size() * m_zoom, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    IMG_Pagina->setPixmap(QPixmap::fromImage(img));
    IMG_Pagina->resize(img.size());
    LBL_Pagina->setText(QStringLiteral("Página %1 de %2").arg(m_page + 1).arg(m_sheet.pageCount()));
}

void TForm_Visualizar::BTN_ImprimirClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(1);
    QPrintDialog choose(&printer, this);
    choose.setWindowTitle(m_printTitle);
    if (choose.exec() != QDialog::Accepted) return;
    WidgetPrintProgress progress(this, QStringLiteral("Imprimindo..."));
    bool cancelled = false;
    const bool done = PageOutput::render(
        m_sheet, printer, [&progress](int page, int pages) { return progress.step(page, pages); }, &cancelled);
    if (cancelled) {
        printer.abort();
        return;
    }
    if (!done) m_dialogs.error(QStringLiteral("Não foi possível imprimir na impressora escolhida."));
}

void TForm_Visualizar::BTN_SalvarPDFClick() {
    QString path = m_dialogs.chooseSaveFile(m_pdfTitle, QString(), QStringLiteral("Arquivos PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    WidgetPrintProgress progress(this, QStringLiteral("Gravando o arquivo PDF..."));
    bool cancelled = false;
    const bool done = PageOutput::writePdf(
        m_sheet, path, [&progress](int page, int pages) { return progress.step(page, pages); }, &cancelled);
    // A cancelled PDF is removed, and that is all.
    if (!done && !cancelled) m_dialogs.error(QStringLiteral("Não foi possível gravar o arquivo PDF ") + path);
}
