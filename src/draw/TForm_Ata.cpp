#include "draw/TForm_Ata.h"

#include "data/Fingerprint.h"
#include "data/WorkingRaffle.h"
#include "draw/DrawRecordReport.h"
#include "platform/Dialogs.h"
#include "reports/TicketLookup.h"

#include <QHeaderView>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>

namespace {

QString modeName(const DrawRecord &r) {
    if (r.modo == u"FEDERAL") return QStringLiteral("Loteria Federal %1").arg(r.extracao);
    if (r.modo == u"TODOS") return QStringLiteral("Próprio - todos");
    if (r.modo == u"PAGOS") return QStringLiteral("Próprio - pagos");
    return QStringLiteral("Giro da Sorte");
}

int highestOf(const QString &modalidade) {
    const QString first = modalidade.section(u' ', 0, 0);
    return first.isEmpty() ? 99 : QString(first.size(), u'9').toInt();
}

} // namespace

TForm_Ata::TForm_Ata(AppContext &ctx, int preferredId, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_records(ctx) {
    setObjectName(QStringLiteral("TForm_Ata"));
    setWindowTitle(QStringLiteral("KORVANTE - Ata do Sorteio"));
    setFixedSize(720, 420);
    auto *title = new QLabel(QStringLiteral("Sorteios registrados desta Rifa"), this);
    title->setGeometry(12, 8, 500, 24);
    Grid_Sorteios = new QTableWidget(0, 5, this);
    Grid_Sorteios->setObjectName(QStringLiteral("Grid_Sorteios"));
    Grid_Sorteios->setGeometry(12, 36, 696, 320);
    Grid_Sorteios->setHorizontalHeaderLabels({QStringLiteral("Nº"), QStringLiteral("Registrado em"),
                                              QStringLiteral("Como"), QStringLiteral("Ganhador"),
                                              QStringLiteral("Anulado")});
    Grid_Sorteios->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_Sorteios->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_Sorteios->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Sorteios->verticalHeader()->hide();
    Grid_Sorteios->horizontalHeader()->setStretchLastSection(true);
    for (int c : {0, 1, 2, 3})
        Grid_Sorteios->setColumnWidth(c, c == 0 ? 50 : 150);
    auto button = [this](const char *name, const QString &text, int x) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 370, 150, 32);
        b->setAutoDefault(false);
        return b;
    };
    BTN_Imprimir = button("BTN_Imprimir", QStringLiteral("Imprimir Ata"), 12);
    BTN_AtaPDF = button("BTN_AtaPDF", QStringLiteral("Ata em PDF"), 172);
    BTN_Anular = button("BTN_Anular", QStringLiteral("Anular Registro"), 332);
    QPushButton *fechar = button("BTN_Fechar", QStringLiteral("Fechar"), 558);
    connect(BTN_Imprimir, &QPushButton::clicked, this, &TForm_Ata::BTN_ImprimirClick);
    connect(BTN_AtaPDF, &QPushButton::clicked, this, &TForm_Ata::BTN_AtaPDFClick);
    connect(BTN_Anular, &QPushButton::clicked, this, &TForm_Ata::BTN_AnularClick);
    connect(fechar, &QPushButton::clicked, this, &QDialog::accept);
    load(preferredId);
}

void TForm_Ata::load(int chooseId) {
    QString error;
    m_list = m_records.list(m_ctx.raffle.slot(), &error);
    if (!error.isEmpty())
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler o registro do Sorteio. Detalhe do Erro: ") + error);
    Grid_Sorteios->setRowCount(int(m_list.size()));
    int chosenRow = 0;
    for (int row = 0; row < m_list.size(); ++row) {
        const DrawRecord &r = m_list[row];
        if (r.id == chooseId) chosenRow = row;
        const QString winner = r.semGanhador() ? QStringLiteral("sem ganhador")
                                               : NumberFormat::ticketId(r.numBilhete, highestOf(r.modalidade));
        const QString cells[] = {QString::number(r.id),
                                 r.registradoEm.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), modeName(r),
                                 winner,
                                 r.anulado() ? QStringLiteral("ANULADO em ") + BrasiliaTime::shown(r.anuladoEm)
                                             : QString()};
        for (int c = 0; c < 5; ++c)
            Grid_Sorteios->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    if (!m_list.isEmpty()) Grid_Sorteios->selectRow(chosenRow);
}

const DrawRecord *TForm_Ata::chosen() {
    const int row = Grid_Sorteios->currentRow();
    if (row >= 0 && row < m_list.size()) return &m_list[row];
    m_ctx.dialogs.notice(QStringLiteral("Ainda não existe Sorteio registrado desta Rifa para a Ata do Sorteio."));
    return nullptr;
}

void TForm_Ata::BTN_ImprimirClick() {
    const DrawRecord *r = chosen();
    if (!r) return;
    const DrawRecordReport report(*r);
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageSize(report.pageSize());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("Preview_Ata"));
    preview.setWindowTitle(QStringLiteral("Ata do Sorteio"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&report](QPrinter *p) { report.render(*p); });
    preview.exec();
}

void TForm_Ata::BTN_AtaPDFClick() {
    const DrawRecord *r = chosen();
    if (!r) return;
    const QString path = m_ctx.dialogs.chooseSaveFile(QStringLiteral("Salvar a Ata do Sorteio"), m_ctx.programFolder,
                                                      QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    QString error;
    if (DrawRecordReport(*r).writePdf(path, &error))
        m_ctx.dialogs.information(QStringLiteral("Ata do Sorteio gravada em: ") + path);
    else
        m_ctx.dialogs.error(QStringLiteral("Erro ao gravar a Ata do Sorteio. Detalhe do Erro: ") + error);
}

void TForm_Ata::BTN_AnularClick() {
    const DrawRecord *r = chosen();
    if (!r) return;
    if (r->anulado()) {
        m_ctx.dialogs.notice(QStringLiteral("O Registro nº %1 já foi anulado.").arg(r->id));
        return;
    }
    const int id = r->id;
    const QString what = r->modo == u"FEDERAL" ? QStringLiteral(" (Extração %1)").arg(r->extracao) : QString();
    if (!m_ctx.dialogs.question(QStringLiteral("KORVANTE"),
                                QStringLiteral("Deseja ANULAR o Registro nº %1%2? O registro anulado continua "
                                               "listado e é impresso na Ata como ANULADO; a mesma Extração pode "
                                               "então ser registrada de novo.")
                                    .arg(id)
                                    .arg(what),
                                false, BoxIcon::Warning))
        return;
    QString error;
    if (!m_records.annul(id, &error)) {
        m_ctx.dialogs.error(QStringLiteral("O registro não foi anulado. Detalhe do Erro: ") + error);
        return;
    }
    m_ctx.dialogs.information(QStringLiteral("Registro nº %1 anulado.").arg(id));
    load(id);
}
