#include "whatsapp/TForm_Whats.h"

#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/WaitCursor.h"
#include "salespage/OrderMessage.h"
#include "whatsapp/TicketPictureName.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

const QString kOk = QStringLiteral("-OK");

QString withoutOk(QString entry) {
    if (entry.endsWith(kOk)) entry.chop(kOk.size());
    return entry;
}

bool isDigitKey(const QKeyEvent *e) {
    const QString t = e->text();
    return t.size() == 1 && t.at(0).isDigit() && t.at(0).unicode() < 128;
}

} // namespace

TForm_Whats::TForm_Whats(AppContext &ctx, QList<int> tickets, int digits, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_tickets(std::move(tickets)), m_digits(digits) {
    setObjectName(QStringLiteral("TForm_Whats"));
    setWindowTitle(QStringLiteral("Transferir Bilhete por WhatsApp"));
    setFixedSize(720, 470);

    img_zap = new QLabel(this);
    img_zap->setObjectName(QStringLiteral("img_zap"));
    img_zap->setGeometry(13, 10, 440, 250);
    img_zap->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    img_zap->setFrameShape(QFrame::Box);

    List_IMG = new QListWidget(this);
    List_IMG->setObjectName(QStringLiteral("List_IMG"));
    List_IMG->setGeometry(466, 10, 240, 160);
    List_IMG->setSortingEnabled(true);
    connect(List_IMG, &QListWidget::currentRowChanged, this, [this] { List_IMGClick(); });

    Button1 = new QPushButton(QStringLiteral("COPIAR IMAGEM"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(466, 176, 240, 30);
    connect(Button1, &QPushButton::clicked, this, &TForm_Whats::Button1Click);
    addLabel(QStringLiteral("Acessar Pasta"), {466, 212, 90, 18});
    Label5 = addLabel(QStringLiteral("Click aqui"), {560, 212, 100, 18});
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->setStyleSheet(QStringLiteral("color: #0000C0; text-decoration: underline"));
    Label5->installEventFilter(this);

    Memo_NumBilhete1 = new QPlainTextEdit(this);
    Memo_NumBilhete1->setObjectName(QStringLiteral("Memo_NumBilhete1"));
    Memo_NumBilhete2 = new QPlainTextEdit(this);
    Memo_NumBilhete2->setObjectName(QStringLiteral("Memo_NumBilhete2"));
    for (QPlainTextEdit *m : {Memo_NumBilhete1, Memo_NumBilhete2}) {
        m->setGeometry(13, 268, 300, 120);
        m->setReadOnly(true);
    }
    Memo_NumBilhete2->hide();
    Check_autentica = new QCheckBox(QStringLiteral("Incluir código de autenticação"), this);
    Check_autentica->setObjectName(QStringLiteral("Check_autentica"));
    Check_autentica->setGeometry(13, 392, 300, 20);
    connect(Check_autentica, &QCheckBox::toggled, this, [this](bool on) {
        Memo_NumBilhete1->setVisible(!on);
        Memo_NumBilhete2->setVisible(on);
    });
    BTN_CopiarNum = new QPushButton(QStringLiteral("COPIAR SÓ NÚMEROS"), this);
    BTN_CopiarNum->setObjectName(QStringLiteral("BTN_CopiarNum"));
    BTN_CopiarNum->setGeometry(13, 416, 180, 30);
    connect(BTN_CopiarNum, &QPushButton::clicked, this, &TForm_Whats::BTN_CopiarNumClick);
    LBL_AvisoCopiar = addLabel(QStringLiteral("Copiado com Sucesso!"), {13, 448, 300, 18});
    LBL_AvisoCopiar->setObjectName(QStringLiteral("LBL_AvisoCopiar"));
    LBL_AvisoCopiar->hide();

    addLabel(QStringLiteral("Link que Será Publicado o Resultado ou Transmissão"), {330, 268, 380, 18});
    addLabel(QStringLiteral(" ( Instagran/Face/Canal )"), {330, 286, 380, 18});
    ED_LINK = new QLineEdit(this);
    ED_LINK->setObjectName(QStringLiteral("ED_LINK"));
    ED_LINK->setGeometry(330, 306, 376, 24);
    Button2 = new QPushButton(QStringLiteral("COPIAR LINK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(330, 334, 130, 28);
    connect(Button2, &QPushButton::clicked, this, &TForm_Whats::Button2Click);
    LBL_AvisoCopiar_Link = addLabel(QStringLiteral("Copiado com Sucesso!"), {468, 339, 140, 18});
    LBL_AvisoCopiar_Link->setObjectName(QStringLiteral("LBL_AvisoCopiar_Link"));
    LBL_AvisoCopiar_Link->hide();

    LBL_CodPais = addLabel(QStringLiteral("Cód.País..:"), {330, 372, 70, 18});
    LBL_CodPais->hide();
    Ed_CodPais = new QLineEdit(QStringLiteral("55"), this);
    Ed_CodPais->setObjectName(QStringLiteral("Ed_CodPais"));
    Ed_CodPais->setGeometry(400, 370, 40, 24);
    Ed_CodPais->hide();
    addLabel(QStringLiteral("DDD"), {330, 398, 40, 18});
    Ed_DDD = new QLineEdit(this);
    Ed_DDD->setObjectName(QStringLiteral("Ed_DDD"));
    Ed_DDD->setGeometry(330, 416, 44, 26);
    Ed_DDD->setMaxLength(3);
    addLabel(QStringLiteral("Nº TELEFONE"), {382, 398, 120, 18});
    Ed_telefone = new QLineEdit(this);
    Ed_telefone->setObjectName(QStringLiteral("Ed_telefone"));
    Ed_telefone->setGeometry(382, 416, 130, 26);
    Ed_telefone->setMaxLength(15);
    addLabel(QStringLiteral("Acessar ==>"), {516, 420, 86, 18});
    img_whats = new QToolButton(this);
    img_whats->setObjectName(QStringLiteral("img_whats"));
    img_whats->setText(QStringLiteral("WhatsApp"));
    img_whats->setToolTip(QStringLiteral("Enviar Imagem Valida por WhatsApp"));
    img_whats->setGeometry(604, 410, 100, 36);
    connect(img_whats, &QToolButton::clicked, this, &TForm_Whats::img_whatsClick);
    for (QWidget *w : {static_cast<QWidget *>(Ed_DDD), static_cast<QWidget *>(Ed_telefone),
                       static_cast<QWidget *>(Ed_CodPais)})
        w->installEventFilter(this);
    for (QPushButton *b : {Button1, BTN_CopiarNum, Button2})
        b->setAutoDefault(false);

    Label16 = addLabel(QStringLiteral("Instruções de uso, click aqui..."), {466, 236, 240, 18});
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setCursor(Qt::PointingHandCursor);
    Label16->installEventFilter(this);

    Panel_Instrucoes = new QFrame(this);
    Panel_Instrucoes->setObjectName(QStringLiteral("Panel_Instrucoes"));
    Panel_Instrucoes->setFrameShape(QFrame::Box);
    Panel_Instrucoes->setAutoFillBackground(true);
    Panel_Instrucoes->setGeometry(13, 224, 694, 236);
    auto instruction = [&](const QString &text, QRect place, bool bold = false) {
        QLabel *l = addLabel(text, place, Panel_Instrucoes);
        l->setWordWrap(true);
        QFont f = l->font();
        f.setBold(bold);
        l->setFont(f);
        return l;
    };
    instruction(QStringLiteral("INSTRUÇÕES DE USO DESSE RECURSO"), {8, 4, 600, 18}, true);
    instruction(
        QStringLiteral("VOCÊ DEVERÁ ESTÁ USANDO O WHATSAPP WEB NESSE COMPUTADOR PARA USAR ESSES RECURSOS"),
        {8, 22, 660, 18});
    instruction(QStringLiteral("INSTRUÇÕES ENVIA IMAGEM DO BILHETE"), {8, 44, 330, 18}, true);
    instruction(
        QStringLiteral("1.Click no Bilhete na Lista ao Lado.\r\n2. Depois Click em COPIAR\r\n3. Click em "
                       "Acessar ZAP ( Caso o ZAP não esteja aberto )\r\n4. Ao entra na área de Digitar a "
                       "MSG, pressione"),
        {8, 62, 330, 70});
    instruction(QStringLiteral("CTRL + V"), {8, 132, 80, 18}, true)
        ->setStyleSheet(QStringLiteral("color: #C00000"));
    instruction(QStringLiteral("para  Colar a Imagem do Bilhete"), {90, 132, 240, 18});
    instruction(
        QStringLiteral("Obs.: Caso queira mandar todas a imagens de RIFAS de uma vez só, basta abrir a pasta "
                       "com as Imagens dos Bilhetes, Selecionar todas, usar o Copiar(Ctrl+C) e Colar(Ctrl+V) "
                       "no Whastapp do Comprador."),
        {8, 152, 330, 76});
    // The title takes two lines in the column.
    instruction(QStringLiteral("INSTRUÇÕES PARA ENVIAR SÓ OS NÚMEROS DO BILHETES"), {350, 44, 330, 34}, true);
    instruction(
        QStringLiteral("1.Click no botão Copiar so Nùmeros\r\n2. Acesse o WhasApp do comprador ( caso ja não "
                       "esteja com ele aberto )\r\n3. Apos entrar na área de Digitar a MSG, pressione as "
                       "teclas:"),
        {350, 78, 330, 70});
    instruction(QStringLiteral("CTRL + V"), {350, 148, 80, 18}, true)
        ->setStyleSheet(QStringLiteral("color: #C00000"));
    instruction(QStringLiteral("Obs.: Caso use a Opção de Copiar Só os Números, ele já vai incluso o Link de "
                               "Resultados ( se o Campo estiver preenchido para uso )"),
                {350, 168, 330, 60});
    Img_FecharInstrucoes = addLabel(QStringLiteral("X"), {670, 4, 18, 18}, Panel_Instrucoes);
    Img_FecharInstrucoes->setObjectName(QStringLiteral("Img_FecharInstrucoes"));
    Img_FecharInstrucoes->setCursor(Qt::PointingHandCursor);
    Img_FecharInstrucoes->installEventFilter(this);
    Panel_Instrucoes->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TForm_Whats::Timer1Timer);
}

QLabel *TForm_Whats::addLabel(const QString &text, QRect place, QWidget *parent) {
    auto *l = new QLabel(text, parent ? parent : this);
    l->setGeometry(place);
    return l;
}

QString TForm_Whats::chatMessage() {
    return QStringLiteral("Segue Imagem Autenticada do(s) Bilhete(s) Comprado(s). Desde já muito Grato!");
}

QString TForm_Whats::pictureFolder() const {
    return QDir(m_ctx.programFolder).filePath(QStringLiteral("RifaWhatsApp"));
}

void TForm_Whats::setNumberLines(const QStringList &withoutCode, const QStringList &withCode) {
    Memo_NumBilhete1->setPlainText(withoutCode.join(u'\n'));
    Memo_NumBilhete2->setPlainText(withCode.join(u'\n'));
}

void TForm_Whats::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm_Whats::FormShow() {
    List_IMG->clear();
    setFixedWidth(720);
    for (int n : m_tickets)
        List_IMG->addItem(QFileInfo(TicketPictureName::fileName(n, m_digits)).completeBaseName());
    if (List_IMG->count() > 0) List_IMG->setCurrentRow(0);
    List_IMGClick();
    m_actionTaken = false;
    Ed_telefone->setFocus();
    const QString fone = m_ctx.raffle.FoneEnvio;
    if (fone.size() < 10) {
        Ed_telefone->setText(fone);
    } else {
        Ed_DDD->setText(fone.left(2));
        Ed_telefone->setText(fone.mid(2, 10));
    }
    // The main window and the designer stay out of the way while the buyer's chat is served.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && (w->objectName() == u"TForm_RIFA" || w->objectName() == u"TForm_pos"))
            m_aside.hide(w);
    ED_LINK->setText(m_ctx.raffle.LinkSorteio);
}

QString TForm_Whats::entryFile(int row) const {
    const QListWidgetItem *item = List_IMG->item(row);
    if (!item) return {};
    return QDir(pictureFolder()).filePath(withoutOk(item->text()) + QStringLiteral(".jpg"));
}

void TForm_Whats::List_IMGClick() {
    img_zap->clear();
    const QString path = entryFile(List_IMG->currentRow());
    if (path.isEmpty() || !QFile::exists(path)) return;
    QPixmap picture(path);
    // A picture larger than the preview is shown whole, scaled down, never cut.
    const QSize room = img_zap->contentsRect().size();
    if (picture.width() > room.width() || picture.height() > room.height())
        picture = picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    img_zap->setPixmap(picture);
}

void TForm_Whats::copyFile(const QString &path) {
    // As a file, so that Ctrl+V in the chat attaches it (the platform's file list on Windows).
    auto *mime = new QMimeData;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    mime->setUrls({url});
    mime->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + url.toEncoded());
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TForm_Whats::Button1Click() {
    const int row = List_IMG->currentRow();
    if (row < 0) return;
    copyFile(entryFile(row));
    QListWidgetItem *item = List_IMG->item(row);
    item->setText(withoutOk(item->text()) + kOk);
    m_actionTaken = true;
}

QString TForm_Whats::numbersText() const {
    QStringList lines{QStringLiteral("`BILHETES CONFIRMADOS`")};
    const QPlainTextEdit *memo = Check_autentica->isChecked() ? Memo_NumBilhete2 : Memo_NumBilhete1;
    if (!memo->toPlainText().isEmpty()) lines << memo->toPlainText().split(u'\n');
    if (!ED_LINK->text().isEmpty())
        lines << QStringLiteral(" ") << QStringLiteral("*Resultado/Transmissao:*") << ED_LINK->text();
    return lines.join(QStringLiteral("\r\n"));
}

void TForm_Whats::BTN_CopiarNumClick() {
    QGuiApplication::clipboard()->setText(numbersText());
    m_numbersBlinks = 14;
    Timer1->start(300);
    m_actionTaken = true;
}

void TForm_Whats::Button2Click() {
    if (ED_LINK->text().isEmpty()) {
        m_ctx.dialogs.notice(QStringLiteral("Você precisa informar um Link!"));
        return;
    }
    QGuiApplication::clipboard()->setText(ED_LINK->text());
    m_linkBlinks = 8;
    Timer1->start(300);
}

void TForm_Whats::Timer1Timer() {
    auto blink = [](QLabel *notice, int &count) {
        if (count > 0) {
            notice->setVisible(!notice->isVisible());
            --count;
        } else {
            notice->hide();
        }
    };
    blink(LBL_AvisoCopiar, m_numbersBlinks);
    blink(LBL_AvisoCopiar_Link, m_linkBlinks);
}

void TForm_Whats::img_whatsClick() {
    if (Ed_DDD->text().trimmed().isEmpty()) {
        Ed_DDD->setFocus();
        m_ctx.dialogs.notice(QStringLiteral("Favor informe o DDD"));
        return;
    }
    if (Ed_telefone->text().trimmed().isEmpty()) {
        Ed_telefone->setFocus();
        m_ctx.dialogs.notice(QStringLiteral("Favor informe o Nº do Telefone"));
        return;
    }
    if (List_IMG->count() == 1) copyFile(entryFile(0));
    const QString phone = Ed_CodPais->text() + Ed_DDD->text() + Ed_telefone->text();
    Shell::open(QUrl::fromEncoded(OrderMessage::clickToChatAddress().toUtf8() +
                                  "?phone=" + QUrl::toPercentEncoding(phone) +
                                  "&text=" + QUrl::toPercentEncoding(chatMessage())));
    m_actionTaken = true;
}

void TForm_Whats::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F10) {
        LBL_CodPais->show();
        Ed_CodPais->show();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm_Whats::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_F10) {
            keyPressEvent(ke);
            return true;
        }
        const bool control = ke->text().isEmpty() || ke->key() == Qt::Key_Backspace;
        if (watched == Ed_DDD || watched == Ed_CodPais) return !(control || isDigitKey(ke));
        if (watched == Ed_telefone) {
            if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
                img_whatsClick();
                return true;
            }
            return !(control || isDigitKey(ke) || ke->text() == QStringLiteral(","));
        }
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Label5) {
            WaitCursor wait;
            Shell::open(QUrl::fromLocalFile(pictureFolder()));
            return true;
        }
        if (watched == Label16) {
            Panel_Instrucoes->move(13, 224);
            Panel_Instrucoes->show();
            Panel_Instrucoes->raise();
            return true;
        }
        if (watched == Img_FecharInstrucoes) {
            Panel_Instrucoes->hide();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Whats::done(int result) {
    if (!m_actionTaken &&
        !m_ctx.dialogs.question(
            QStringLiteral("KORVANTE"),
            QStringLiteral("Você não não Tomou alguma Ação nessa Tela, como COPIAR e COLAR no "
                           "WhatsApp do Comprador. Realmente deseja Fechar essa tela?"),
            false))
        return;
    m_aside.restore();
    m_ctx.raffle.QtBilhetesEnvio = 0;
    // The next sending finds its phone in its own buyers' rows.
    m_ctx.raffle.FoneEnvio.clear();
    QDialog::done(result);
    Ed_telefone->clear();
}
