#include "sales/WidgetValidationFile.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/WidgetDateEdit.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>

namespace {

QFont arialFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

WidgetValidationFile::WidgetValidationFile(AppContext &ctx, SalesService &sales, bool &modoImportacao,
                                           QWidget *window)
    : QFrame(window), m_ctx(ctx), m_import(ctx, sales), m_modoImportacao(modoImportacao) {
    setObjectName(QStringLiteral("Panel_Exportar"));
    setGeometry(540, 200, 340, 200);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);

    auto *title = new QLabel(QStringLiteral("Como deseja Exportar?"), this);
    title->setGeometry(0, 0, 340, 30);
    title->setAlignment(Qt::AlignCenter);
    title->setFont(arialFont(15, true));
    title->setAutoFillBackground(true);
    QPalette tp = title->palette();
    tp.setColor(QPalette::Window, QColor(0, 0x40, 0));
    tp.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(tp);

    Img_FecharExport = new QLabel(QStringLiteral("X"), this);
    Img_FecharExport->setObjectName(QStringLiteral("Img_FecharExport"));
    Img_FecharExport->setGeometry(312, 4, 22, 22);
    Img_FecharExport->setAlignment(Qt::AlignCenter);
    Img_FecharExport->setPalette(tp);
    Img_FecharExport->setCursor(Qt::PointingHandCursor);
    Img_FecharExport->setToolTip(QStringLiteral("Fechar"));
    Img_FecharExport->installEventFilter(this);

    auto *period = new QLabel(QStringLiteral("Marque o Período dos Bilhetes Validados:"), this);
    period->setGeometry(16, 44, 310, 20);
    period->setFont(arialFont(13, true));

    auto addDate = [this](const char *name, const QString &caption, int y) {
        auto *label = new QLabel(caption, this);
        label->setGeometry(40, y + 2, 40, 20);
        label->setFont(arialFont(13, true));
        // Typed digits are taken as in every date field ("05122026" or "05/12/2026").
        auto *edit = new WidgetDateEdit(QLatin1String(name), this);
        edit->setGeometry(84, y, 130, 26);
        edit->setToday(m_ctx.clock.today());
        edit->setDate(m_ctx.clock.today());
        return edit;
    };
    Date_Export1 = addDate("Date_Export1", QStringLiteral("De:"), 76);
    Date_Export2 = addDate("Date_Export2", QStringLiteral("Ate:"), 112);

    Button7 = new QPushButton(QStringLiteral("INICIAR"), this);
    Button7->setObjectName(QStringLiteral("Button7"));
    Button7->setGeometry(110, 154, 120, 32);
    Button7->setAutoDefault(false);
    connect(Button7, &QPushButton::clicked, this, &WidgetValidationFile::Button7Click);

    hide();
}

bool WidgetValidationFile::takesAction(QAction *action) {
    if (action->objectName() == u"Exportar1") {
        connect(action, &QAction::triggered, this, &WidgetValidationFile::Exportar1Click);
        return true;
    }
    if (action->objectName() == u"Importar1") {
        connect(action, &QAction::triggered, this, &WidgetValidationFile::Importar1Click);
        return true;
    }
    return false;
}

void WidgetValidationFile::Exportar1Click() {
    show();
    raise();
    Date_Export1->setFocus();
}

void WidgetValidationFile::Button7Click() {
    const auto from = Date_Export1->date();
    const auto to = Date_Export2->date();
    for (const auto &[date, field] : {std::pair{from, Date_Export1}, std::pair{to, Date_Export2}}) {
        if (date && date->isValid()) continue;
        field->setFocus();
        m_ctx.dialogs.error(QStringLiteral("Favor, informe as Datas De e Ate válidas ( dd/mm/aaaa )!"));
        return;
    }
    ValidationExport exporter(m_ctx);
    const ValidationExport::Result r = exporter.run(*from, *to);
    m_ctx.dialogs.message(QStringLiteral("KORVANTE"), r.message, r.icon);
    if (r.written && r.records > 0) Shell::open(QUrl::fromLocalFile(m_ctx.programFolder));
}

void WidgetValidationFile::Importar1Click() {
    if (m_modoImportacao) return; // one import at a time
    const QString path =
        m_ctx.dialogs.chooseOpenFile(QStringLiteral("Importar Validações"), m_ctx.programFolder,
                                     QStringLiteral("Arquivo de Bilhetes (R*.dat)"));
    if (path.isEmpty()) return;

    // Made at the first record, so it never shows over the file's question.
    std::unique_ptr<QProgressDialog> dialog;
    QElapsedTimer sinceRepaint;
    m_import.progress = [&](int done, int total) {
        if (!dialog) {
            dialog = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Parar"), 0, total, window());
            dialog->setObjectName(QStringLiteral("Progresso_Importacao"));
            dialog->setWindowTitle(QStringLiteral("KORVANTE"));
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setMinimumDuration(0);
            dialog->setAutoClose(false);
            dialog->setAutoReset(false);
            dialog->setValue(0);
            sinceRepaint.start();
        }
        if (done == 1 || done >= total || sinceRepaint.elapsed() >= 40) {
            sinceRepaint.restart();
            dialog->setLabelText(
                QStringLiteral("Importando validações: registro %1 de %2...").arg(done).arg(total));
            dialog->setValue(done);
            QCoreApplication::processEvents();
        }
        return !dialog->wasCanceled();
    };
    m_import.finished = [&] { dialog.reset(); };
    m_import.run(path, m_modoImportacao);
    m_import.progress = nullptr;
    m_import.finished = nullptr;
}

bool WidgetValidationFile::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Img_FecharExport && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
