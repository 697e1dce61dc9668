#include "raffle/TForm_Usar.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>

namespace {

QLabel *boldLabel(const QString &text, int pixelSize, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace

TForm_Usar::TForm_Usar(AppContext &ctx, QWidget *parent, bool confirmSetsRaffle)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_ctx(ctx), m_selection(ctx.tdm, ctx.raffle),
      m_confirmSetsRaffle(confirmSetsRaffle) {
    setObjectName(QStringLiteral("TForm_Usar"));
    setWindowTitle(QStringLiteral("KORVANTE"));
    setFixedSize(375, 195);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    QLabel *title = boldLabel(QStringLiteral("CONTROLE DE RIFAS A TRABALHAR"), 19, this);
    title->setObjectName(QStringLiteral("LBL_Titulo"));
    title->setGeometry(0, 0, 375, 34);
    title->setAlignment(Qt::AlignCenter);
    title->setAutoFillBackground(true);
    QPalette titlePal = title->palette();
    titlePal.setColor(QPalette::Window, QColor(0, 0x40, 0));
    titlePal.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(titlePal);

    auto *box = new QFrame(this);
    box->setObjectName(QStringLiteral("GroupBox1"));
    box->setFrameShape(QFrame::Box);
    box->setGeometry(12, 44, 351, 88);
    QLabel *caption = boldLabel(QStringLiteral("ESCOLHA A RIFA PARA TRABALHAR"), 13, box);
    caption->setObjectName(QStringLiteral("LBL_Escolha"));
    caption->setGeometry(10, 12, 331, 18);

    CMB_RIFA = new QComboBox(box);
    CMB_RIFA->setObjectName(QStringLiteral("CMB_RIFA"));
    CMB_RIFA->setEditable(false);
    CMB_RIFA->setGeometry(10, 40, 331, 26);
    CMB_RIFA->installEventFilter(this);

    BTN_ESCOLHER = new QPushButton(QStringLiteral("Escolher Depois"), this);
    BTN_ESCOLHER->setObjectName(QStringLiteral("BTN_ESCOLHER"));
    BTN_ESCOLHER->setGeometry(12, 148, 150, 34);
    BTN_CONFIRMAR = new QPushButton(QStringLiteral("CONFIRMAR"), this);
    BTN_CONFIRMAR->setObjectName(QStringLiteral("BTN_CONFIRMAR"));
    BTN_CONFIRMAR->setGeometry(213, 148, 150, 34);
    QFont bold = BTN_CONFIRMAR->font();
    bold.setBold(true);
    BTN_CONFIRMAR->setFont(bold);

    setTabOrder(CMB_RIFA, BTN_CONFIRMAR);
    setTabOrder(BTN_CONFIRMAR, BTN_ESCOLHER);
    CMB_RIFA->setFocus();

    connect(BTN_CONFIRMAR, &QPushButton::clicked, this, &TForm_Usar::BTN_CONFIRMARClick);
    connect(BTN_ESCOLHER, &QPushButton::clicked, this, &TForm_Usar::BTN_ESCOLHERClick);
}

void TForm_Usar::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm_Usar::FormShow() {
    QStringList items;
    QString error;
    if (!m_selection.activeRaffleItems(&items, &error))
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler o Cadastro de Rifas. Detalhe do Erro: ") + error);
    CMB_RIFA->clear();
    CMB_RIFA->addItems(items);
    if (auto *model = qobject_cast<QStandardItemModel *>(CMB_RIFA->model()))
        for (int i = 0; i < model->rowCount(); ++i)
            model->item(i)->setSizeHint(QSize(0, 16));
    CMB_RIFA->setCurrentIndex(-1);
    if (CMB_RIFA->count() > 0) CMB_RIFA->setCurrentIndex(0);
}

bool TForm_Usar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == CMB_RIFA && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BTN_CONFIRMAR->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Usar::BTN_CONFIRMARClick() {
    if (!m_confirmSetsRaffle || CMB_RIFA->currentIndex() < 0) return;
    QString error;
    switch (m_selection.confirm(CMB_RIFA->currentText(), font(), &error)) {
    case RaffleSelection::Outcome::Chosen:
        accept();
        break;
    case RaffleSelection::Outcome::Inactive:
        m_ctx.dialogs.error(RaffleSelection::inactiveMessage());
        break;
    case RaffleSelection::Outcome::Failed:
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler os dados da Rifa. Detalhe do Erro: ") + error);
        break;
    case RaffleSelection::Outcome::NothingSelected:
        break;
    }
}

void TForm_Usar::BTN_ESCOLHERClick() {
    m_selection.escolherDepois();
    m_leftByChoice = true;
    reject();
}

void TForm_Usar::reject() {
    // Esc or closing: the working raffle may have been edited meanwhile, so it follows its stored row.
    if (m_confirmSetsRaffle && !m_leftByChoice) {
        QString error;
        if (!m_selection.reloadWorking(font(), &error))
            m_ctx.dialogs.error(QStringLiteral("Erro ao ler os dados da Rifa. Detalhe do Erro: ") + error);
    }
    m_leftByChoice = false;
    QDialog::reject();
}
