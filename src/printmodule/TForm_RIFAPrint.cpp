#include "printmodule/TForm_RIFAPrint.h"

#include "data/TDM.h"
#include "layout/PrintPackage.h"
#include "layout/TForm_pos.h"
#include "mainwindow/TForm_RIFA.h"
#include "mainwindow/WidgetMenuParts.h"
#include "platform/Dialogs.h"
#include "platform/FileAttributes.h"
#include "platform/ProfileFile.h"
#include "raffle/RaffleSelection.h"
#include "raffle/TForm_Usar.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {
constexpr quint32 kGrey = 5329233;
constexpr quint32 kGreyHover = 7721680;
constexpr quint32 kWhite = 0xFFFFFF;
} // namespace

QString TForm_RIFAPrint::missingControlFileMessage() {
    return QStringLiteral("Favor solicitar nova Geração dos Arquivos do Módulo de Impressão para trazê-lo para "
                          "pasta atual do seu KORVANTE - Módulo de Impressão!");
}

TForm_RIFAPrint::TForm_RIFAPrint(const AppServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(services, m_raffle) {
    IMG_FUNDO = MenuParts::setUpMenuWindow(this, QStringLiteral("KORVANTE 2.0 - MÓDULO DE IMPRESSÃO EXTERNA"),
                                           MenuArtwork::PrintModule);
    IMG_FUNDO->setMouseTracking(true);
    IMG_FUNDO->installEventFilter(this);

    // The main program's entries, in grey: nothing but the printing works here.
    LBL_CADASTRAR = addCaption("LBL_CADASTRAR", {165, 287}, QStringLiteral("Cadastrar"), 15, kGrey);
    addCaption("LBL_Validacao", {720, 287}, QStringLiteral("Validação"), 15, kGrey);
    addCaption("LBL_Vendedores", {75, 503}, QStringLiteral("Vendedores"), 15, kGrey);
    addCaption("LBL_GerarHTML", {285, 503}, QStringLiteral("Gerar Página HTML"), 15, kGrey);
    addCaption("LBL_Sorteio", {549, 503}, QStringLiteral("Sorteio Próprio"), 15, kGrey);
    addCaption("LBL_Consulta", {810, 503}, QStringLiteral("Consultar"), 15, kGrey);
    addCaption("LBL_Backup", {678, 117}, QStringLiteral("Backup/Restoure"), 13, kGrey);
    addCaption("LBL_Ajuda", {821, 117}, QStringLiteral("Ajuda ?"), 13, kGrey);
    addCaption("LBL_Uso", {30, 30}, QStringLiteral("Uso: Impressão"), 15, kWhite);

    Img_Person = addHotArea("Img_Person", {450, 196, 67, 73}, QString());
    LBL_Personalizar = addCaption("LBL_Personalizar", {440, 287}, QStringLiteral("Imprimir Rifa"), 15, kWhite);
    LBL_Personalizar->setCursor(Qt::PointingHandCursor);
    img_fechar = addHotArea("img_fechar", {906, 26, 34, 37}, QStringLiteral("Fechar"));
    IMG_EscolherRifa =
        addHotArea("IMG_EscolherRifa", {211, 607, 120, 27}, QStringLiteral("Escolha a Rifa que vai Trabalhar"));

    LBL_RifaUsar = MenuParts::createRaffleLabel(this);

    // The database file of a package is kept out of sight of the person at the printing computer.
    const QDir folder(m_ctx.programFolder);
    if (QFileInfo::exists(folder.filePath(PrintPackage::printModuleFileName())))
        FileAttributes::setHiddenSystem(folder.filePath(QStringLiteral("CRF.XML")));
}

QLabel *TForm_RIFAPrint::addCaption(const char *name, QPoint place, const QString &text, int pixelSize,
                                    quint32 colour) {
    return TForm_RIFA::menuCaption(this, name, place, text, pixelSize, colour);
}

QLabel *TForm_RIFAPrint::addHotArea(const char *name, QRect place, const QString &hint) {
    auto *area = new QLabel(this);
    area->setObjectName(QLatin1String(name));
    area->setGeometry(place);
    area->setAttribute(Qt::WA_TranslucentBackground);
    area->setToolTip(hint);
    area->setCursor(Qt::PointingHandCursor);
    area->installEventFilter(this);
    return area;
}

void TForm_RIFAPrint::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TForm_RIFAPrint::FormShow() {
    resize(970, 670);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ProfileFile control(QDir(m_ctx.programFolder).filePath(QLatin1String(PrintPackage::ControlFileName)));
    if (!control.exists()) {
        m_ctx.dialogs.message(QStringLiteral("KORVANTE"), missingControlFileMessage(), BoxIcon::None);
        // Deferred: the window that is being shown closes once its showing is over, ending the module.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    loadPackageRaffle(control.readString(QLatin1String(PrintPackage::ControlSection),
                                         QLatin1String(PrintPackage::RaffleKey), QStringLiteral("1")));
}

void TForm_RIFAPrint::loadPackageRaffle(const QString &codRifa) {
    m_raffle.TextoPremios.clear();
    m_raffle.TextoRegras.clear();
    bool ok = false;
    const int code = codRifa.trimmed().toInt(&ok);
    QString error;
    // A code that names no raffle reads as an empty row, that is an inactive raffle.
    if (!m_ctx.tdm.loadRaffleRow(ok ? code : 0, &error)) {
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler os dados da Rifa. Detalhe do Erro: ") + error);
        return;
    }
    const RaffleRow &row = m_ctx.tdm.CDS_RIfaUSar;
    if (!row.isLoaded() || !row.isActive()) {
        m_ctx.dialogs.error(RaffleSelection::inactiveMessage());
        return;
    }
    RaffleSelection::derive(row.record(), font(), m_raffle);
    LBL_RifaUsar->setText(m_raffle.LBL_RifaUsar);
}

void TForm_RIFAPrint::closeEvent(QCloseEvent *event) {
    m_ctx.tdm.closeMain();
    QWidget::closeEvent(event);
}

bool TForm_RIFAPrint::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == LBL_CADASTRAR) {
            QPalette pal = LBL_CADASTRAR->palette();
            pal.setColor(QPalette::WindowText, TForm_RIFA::colourOf(kGreyHover));
            LBL_CADASTRAR->setPalette(pal);
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == IMG_FUNDO) {
            if (QWindow *w = windowHandle()) w->startSystemMove();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        if (me->button() != Qt::LeftButton || !w || !w->rect().contains(me->position().toPoint())) break;
        if (watched == img_fechar) {
            img_fecharClick();
            return true;
        }
        if (watched == Img_Person || watched == LBL_Personalizar) {
            Img_PersonClick();
            return true;
        }
        if (watched == IMG_EscolherRifa) {
            IMG_EscolherRifaClick();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_RIFAPrint::Img_PersonClick() {
    if (!m_raffle.isChosen()) {
        m_ctx.dialogs.notice(QStringLiteral("Favor escolha uma Rifa a Trabalhar..."));
        return;
    }
    QString error;
    if (!m_ctx.tdm.loadRaffleRow(m_raffle.slot(), &error)) {
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler os dados da Rifa. Detalhe do Erro: ") + error);
        return;
    }
    TForm_pos designer(m_ctx, this, TForm_pos::Variant::PrintOnly);
    designer.exec();
}

void TForm_RIFAPrint::IMG_EscolherRifaClick() {
    // Its CONFIRMAR does nothing here: the working raffle stays the package's one.
    TForm_Usar chooser(m_ctx, this, false);
    chooser.exec();
    LBL_RifaUsar->setText(m_raffle.isChosen() ? LBL_RifaUsar->text() : m_raffle.LBL_RifaUsar);
}

void TForm_RIFAPrint::img_fecharClick() {
    close();
}
