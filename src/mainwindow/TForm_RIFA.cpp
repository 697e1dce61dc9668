#include "mainwindow/TForm_RIFA.h"

#include "backup/TForm_BACK_REST.h"
#include "data/TDM.h"
#include "draw/TForm_SORTEIO.h"
#include "layout/TForm_pos.h"
#include "mainwindow/WidgetMenuParts.h"
#include "platform/Dialogs.h"
#include "platform/FileAttributes.h"
#include "platform/Shell.h"
#include "raffle/TForm_Cadastro.h"
#include "raffle/TForm_Usar.h"
#include "reports/TForm_Consulta.h"
#include "sales/TForm_Validacao.h"
#include "salespage/TForm_ListaDisp.h"
#include "sellers/TForm_vendedor.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr quint32 kPictureEntryHover = 0x75D2D0; // pale yellow
constexpr quint32 kStripEntryHover = 0xFFFF80;   // light cyan
constexpr quint32 kWhite = 0xFFFFFF;

} // namespace

QColor TForm_RIFA::colourOf(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString TForm_RIFA::helpManualAddress() {
    return QStringLiteral("https://www.korvante.com.br/ajuda/manual");
}
QString TForm_RIFA::videoLessonsAddress() {
    return QStringLiteral("https://www.korvante.com.br/ajuda/video-aulas");
}

TForm_RIFA::TForm_RIFA(const AppServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(services, m_raffle) {
    IMG_FUNDO = MenuParts::setUpMenuWindow(this, QStringLiteral("KORVANTE 2.0"), MenuArtwork::MainProgram);
    IMG_FUNDO->setMouseTracking(true);
    IMG_FUNDO->installEventFilter(this);

    struct Entry {
        const char *area;
        QRect place;
        const char *caption;
        QPoint captionAt;
        QString text;
        void (TForm_RIFA::*areaClick)();
        void (TForm_RIFA::*captionClick)(); // null: the caption is not clickable
    };
    const Entry entries[] = {
        {"Img_Cadastro",
         {166, 197, 67, 73},
         "LBL_CADASTRAR",
         {165, 287},
         QStringLiteral("Cadastrar"),
         &TForm_RIFA::Img_CadastroClick,
         &TForm_RIFA::LBL_CADASTRARClick},
        {"Img_Person",
         {450, 196, 67, 73},
         "LBL_Personalizar",
         {440, 287},
         QStringLiteral("Personalizar"),
         &TForm_RIFA::Img_PersonClick,
         &TForm_RIFA::LBL_PersonalizarClick},
        {"Img_valida",
         {721, 197, 67, 73},
         "LBL_Validacao",
         {720, 287},
         QStringLiteral("Validação"),
         &TForm_RIFA::Img_validaClick,
         &TForm_RIFA::LBL_ValidacaoClick},
        {"Img_Vendedor",
         {75, 415, 78, 67},
         "LBL_Vendedores",
         {75, 503},
         QStringLiteral("Vendedores"),
         &TForm_RIFA::Img_VendedorClick,
         nullptr},
        {"Img_HTML",
         {326, 413, 67, 73},
         "LBL_GerarHTML",
         {285, 503},
         QStringLiteral("Gerar Página HTML"),
         &TForm_RIFA::Img_HTMLClick,
         nullptr},
        {"Img_sorteio",
         {566, 408, 67, 73},
         "LBL_Sorteio",
         {549, 503},
         QStringLiteral("Sorteio Próprio"),
         &TForm_RIFA::Img_sorteioClick,
         nullptr},
        {"Img_Consulta",
         {814, 413, 67, 73},
         "LBL_Consulta",
         {810, 503},
         QStringLiteral("Consultar"),
         &TForm_RIFA::Img_ConsultaClick,
         nullptr},
    };
    for (const Entry &e : entries) {
        QLabel *area = addHotArea(e.area, e.place, QString(), true);
        QLabel *caption = addCaption(e.caption, e.captionAt, e.text, 15, e.captionClick != nullptr);
        m_clicks.insert(area, e.areaClick);
        if (e.captionClick) m_clicks.insert(caption, e.captionClick);
        for (QObject *o : {static_cast<QObject *>(area), static_cast<QObject *>(caption)}) {
            m_hoverTarget.insert(o, caption);
            m_hoverColour.insert(o, kPictureEntryHover);
        }
    }
    QLabel *backup = addCaption("LBL_Backup", {678, 117}, QStringLiteral("Backup/Restoure"), 13, true);
    QLabel *help = addCaption("LBL_Ajuda", {821, 117}, QStringLiteral("Ajuda ?"), 13, true);
    m_clicks.insert(backup, &TForm_RIFA::LBL_BackupClick);
    m_clicks.insert(help, &TForm_RIFA::LBL_AjudaClick);
    for (QLabel *l : {backup, help}) {
        m_hoverTarget.insert(l, l);
        m_hoverColour.insert(l, kStripEntryHover);
    }

    QLabel *close = addHotArea("img_fechar", {906, 26, 34, 37}, QStringLiteral("Fechar"), true);
    m_clicks.insert(close, &TForm_RIFA::img_fecharClick);
    QLabel *choose = addHotArea("IMG_EscolherRifa", {211, 607, 120, 27},
                                QStringLiteral("Escolha a Rifa que vai Trabalhar"), true);
    m_clicks.insert(choose, &TForm_RIFA::IMG_EscolherRifaClick);
    addHotArea("img_tiraOculto", {730, 606, 40, 25}, QString(), false);

    LBL_RifaUsar = MenuParts::createRaffleLabel(this);

    Pop_Ajuda = new QMenu(this);
    Pop_Ajuda->setObjectName(QStringLiteral("Pop_Ajuda"));
    QAction *manual = Pop_Ajuda->addAction(QStringLiteral("Manual de Ajuda"));
    manual->setObjectName(QStringLiteral("ManualdeAjuda1"));
    QAction *videos = Pop_Ajuda->addAction(QStringLiteral("Video Aulas"));
    videos->setObjectName(QStringLiteral("VideoAulas1"));
    connect(manual, &QAction::triggered, this, &TForm_RIFA::ManualdeAjuda1Click);
    connect(videos, &QAction::triggered, this, &TForm_RIFA::VideoAulas1Click);
}

QLabel *TForm_RIFA::addHotArea(const char *name, QRect place, const QString &hint, bool handCursor) {
    auto *area = new QLabel(this);
    area->setObjectName(QLatin1String(name));
    area->setGeometry(place);
    area->setAttribute(Qt::WA_TranslucentBackground);
    area->setToolTip(hint);
    if (handCursor) area->setCursor(Qt::PointingHandCursor);
    area->setMouseTracking(true);
    area->installEventFilter(this);
    return area;
}

QLabel *TForm_RIFA::menuCaption(QWidget *window, const char *name, QPoint place, const QString &text, int pixelSize,
                                quint32 colour) {
    auto *label = new QLabel(text, window);
    label->setObjectName(QLatin1String(name));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colourOf(colour));
    label->setPalette(pal);
    label->move(place);
    label->adjustSize();
    label->setMouseTracking(true);
    label->installEventFilter(window);
    return label;
}

QLabel *TForm_RIFA::addCaption(const char *name, QPoint place, const QString &text, int pixelSize,
                               bool handCursor) {
    QLabel *label = menuCaption(this, name, place, text, pixelSize, kWhite);
    if (handCursor) label->setCursor(Qt::PointingHandCursor);
    m_captions.append(label);
    return label;
}

void TForm_RIFA::MudarCor(QLabel *label, quint32 colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colourOf(colour));
    label->setPalette(pal);
    m_hover = true;
}

void TForm_RIFA::resetCaptions() {
    for (QLabel *l : m_captions) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colourOf(kWhite));
        l->setPalette(pal);
    }
    m_hover = false;
}

bool TForm_RIFA::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == IMG_FUNDO) {
            if (m_hover) resetCaptions();
        } else if (QLabel *caption = m_hoverTarget.value(watched)) {
            MudarCor(caption, m_hoverColour.value(watched));
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
        const auto handler = m_clicks.value(watched);
        auto *w = qobject_cast<QWidget *>(watched);
        if (handler && me->button() == Qt::LeftButton && w && w->rect().contains(me->position().toPoint())) {
            (this->*handler)();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (watched->objectName() == QLatin1String("img_tiraOculto")) {
            img_tiraOcultoDblClick();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_RIFA::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm_RIFA::FormShow() {
    resize(970, 670);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const QString printModule =
        QDir(m_ctx.programFolder).filePath(QStringLiteral("Korvante_PRINT") + Shell::executableSuffix());
    if (QFileInfo::exists(printModule)) {
        // A print package copied into this folder takes over: the print module runs instead of us.
        m_handingOver = true;
        // The embedded engine lets one program at a time open the files: ours go first.
        m_ctx.tdm.closeConnections();
        QTimer::singleShot(0, this, &QWidget::close);
        Shell::startDetached(printModule);
        return;
    }
    // Without a window manager the window is never activated; the chooser must still come up once.
    activateWindow();
    QTimer::singleShot(0, this, &TForm_RIFA::FormActivate);
}

bool TForm_RIFA::event(QEvent *event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return handled;
}

void TForm_RIFA::FormActivate() {
    if (m_tag != 0 || m_handingOver) return;
    m_tag = 1;
    // Deferred so that the activation that triggers it has finished before a modal window opens.
    QTimer::singleShot(0, this, &TForm_RIFA::openChooser);
}

void TForm_RIFA::closeEvent(QCloseEvent *event) {
    // A sequence of validations still running ends first, its window says what it validated,
    // and only then do the connections close.
    for (TForm_Validacao *v : findChildren<TForm_Validacao *>()) {
        if (!v->sequenceRunning()) continue;
        v->close();
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    m_ctx.tdm.closeMain();
    QWidget::closeEvent(event);
}

bool TForm_RIFA::needsRaffle(MenuEntry entry) {
    return entry != MenuEntry::Vendedores && entry != MenuEntry::Backup;
}

void TForm_RIFA::openEntry(MenuEntry entry) {
    if (needsRaffle(entry) && !m_raffle.isChosen()) {
        m_ctx.dialogs.notice(QStringLiteral("Favor escolha uma Rifa a Trabalhar..."));
        return;
    }
    switch (entry) {
    case MenuEntry::Cadastro: {
        // Opens on the working raffle; closing after an edit of it opens the chooser again.
        TForm_Cadastro form(m_ctx, this);
        form.exec();
        break;
    }
    case MenuEntry::Personalizar: {
        QString error;
        if (!m_ctx.tdm.loadRaffleRow(m_raffle.slot(), &error)) {
            m_ctx.dialogs.error(error);
            break;
        }
        TForm_pos designer(m_ctx, this);
        designer.exec();
        break;
    }
    case MenuEntry::Backup: {
        TForm_BACK_REST form(m_ctx, this);
        form.exec();
        break;
    }
    case MenuEntry::Vendedores: {
        TForm_vendedor form(m_ctx, this);
        form.exec();
        break;
    }
    case MenuEntry::Validacao: {
        QString error;
        if (!m_ctx.tdm.loadRaffleRow(m_raffle.slot(), &error)) {
            m_ctx.dialogs.error(error);
            break;
        }
        TForm_Validacao form(m_ctx, this);
        form.setEvento(m_ctx.tdm.CDS_RIfaUSar.nomeRifa());
        form.setValor(m_ctx.tdm.CDS_RIfaUSar.valor());
        form.exec();
        break;
    }
    case MenuEntry::Sorteio: {
        TForm_SORTEIO form(m_ctx, this);
        form.exec();
        break;
    }
    case MenuEntry::HTML: {
        QString error;
        if (!m_ctx.tdm.loadRaffleRow(m_raffle.slot(), &error)) {
            m_ctx.dialogs.error(error);
            break;
        }
        TForm_ListaDisp form(m_ctx, this);
        form.exec();
        break;
    }
    case MenuEntry::Consulta: {
        QString error;
        if (!m_ctx.tdm.loadRaffleRow(m_raffle.slot(), &error)) {
            m_ctx.dialogs.error(error);
            break;
        }
        TForm_Consulta form(m_ctx, this);
        form.setRifaDefinida(m_raffle.LBL_RifaUsar, m_ctx.tdm.CDS_RIfaUSar.modalidade());
        form.exec();
        break;
    }
    default:
        m_ctx.dialogs.information(
            QStringLiteral("Esta função ainda não está disponível nesta versão do KORVANTE."));
        break;
    }
    refreshRaffleLabel();
}

void TForm_RIFA::openChooser() {
    if (!isVisible()) return; // closed before the deferred first activation came round
    TForm_Usar chooser(m_ctx, this);
    chooser.exec();
    refreshRaffleLabel();
}

void TForm_RIFA::refreshRaffleLabel() {
    LBL_RifaUsar->setText(m_raffle.LBL_RifaUsar);
}

void TForm_RIFA::Img_CadastroClick() {
    openEntry(MenuEntry::Cadastro);
}
void TForm_RIFA::LBL_CADASTRARClick() {
    openEntry(MenuEntry::Cadastro);
}
void TForm_RIFA::Img_PersonClick() {
    openEntry(MenuEntry::Personalizar);
}
void TForm_RIFA::LBL_PersonalizarClick() {
    openEntry(MenuEntry::Personalizar);
}
void TForm_RIFA::Img_validaClick() {
    openEntry(MenuEntry::Validacao);
}
void TForm_RIFA::LBL_ValidacaoClick() {
    openEntry(MenuEntry::Validacao);
}
void TForm_RIFA::Img_VendedorClick() {
    openEntry(MenuEntry::Vendedores);
}
void TForm_RIFA::Img_HTMLClick() {
    openEntry(MenuEntry::HTML);
}
void TForm_RIFA::Img_sorteioClick() {
    openEntry(MenuEntry::Sorteio);
}
void TForm_RIFA::Img_ConsultaClick() {
    openEntry(MenuEntry::Consulta);
}
void TForm_RIFA::LBL_BackupClick() {
    openEntry(MenuEntry::Backup);
}
void TForm_RIFA::IMG_EscolherRifaClick() {
    openChooser();
}
void TForm_RIFA::LBL_AjudaClick() {
    Pop_Ajuda->popup(QCursor::pos());
}
void TForm_RIFA::ManualdeAjuda1Click() {
    Shell::open(QUrl(helpManualAddress()));
}
void TForm_RIFA::VideoAulas1Click() {
    Shell::open(QUrl(videoLessonsAddress()));
}
void TForm_RIFA::img_fecharClick() {
    close();
}

void TForm_RIFA::img_tiraOcultoDblClick() {
    FileAttributes::clearAll(QDir(m_ctx.programFolder).filePath(QStringLiteral("CRF.XML")));
}
