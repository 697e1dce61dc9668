#include "salespage/SalesPageGenerator.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"
#include "salespage/PixCode.h"
#include "salespage/PixQrSvg.h"
#include "salespage/SalesPageLists.h"
#include "salespage/SalesPageWriter.h"

#include <QDir>

QString SalesPageGenerator::pagesFolder() const {
    return QDir(m_ctx.programFolder).filePath(QStringLiteral("RifaWhatsApp/HTML"));
}

bool SalesPageGenerator::buildInput(const SalesPageRequest &r, SalesPageInput *in, QString *error) const {
    const WorkingRaffle &raffle = m_ctx.raffle;
    in->raffleName = r.raffleName;
    in->valorDataRifa = raffle.ValorDataRifa;
    in->valorRifa = raffle.ValorRifa;
    in->textoPremios = raffle.TextoPremios;
    in->textoRegras = raffle.TextoRegras;
    in->maiorNumero = raffle.MaiorNumero;
    in->qtNumBilhete = raffle.QtNumBilhete;
    in->format = r.format;
    in->entre1 = r.entre1;
    in->entre2 = r.entre2;
    in->phone = r.phone;
    in->pixType = r.pixType;
    in->pixKey = r.pixKey;
    QString sellersError;
    in->sellers = SalesPageLists(m_ctx.tdm.CONEX_R()).sellers(&sellersError);
    if (!sellersError.isEmpty()) {
        if (error) *error = sellersError;
        return false;
    }
    in->tickets.clear();
    in->tickets.reserve(r.listing->rowCount());
    for (int row = 0; row < r.listing->rowCount(); ++row) {
        ListedTicket t = r.listing->ticket(row);
        if (t.numBilhete == 0) {
            if (error) *error = QStringLiteral("Não foi possível ler os bilhetes da lista.");
            return false;
        }
        in->tickets.append(std::move(t));
    }
    return true;
}

SalesPageGenerator::Outcome SalesPageGenerator::BTN_GerarClick(const SalesPageRequest &r) {
    Dialogs &dialogs = m_ctx.dialogs;
    if (r.total > 1500) {
        dialogs.error(
            QStringLiteral("Não é permitido gerar Página HTML de um total de Bilhetes superior a 1500"));
        return Outcome::Refused;
    }
    if (r.total > 750 &&
        !dialogs.question(
            QStringLiteral("KORVANTE"),
            QStringLiteral("É ideal que cada Página HMTL a ser gerada tenha até 750 Controles de "
                           "Bilhetes e depois você vai formando outros Blocos em intervalos "
                           "diferentes para gerar.\r\rMesmo assim, deseja continuar a Gerar essa "
                           "Quantidade?"),
            true))
        return Outcome::Refused;
    if (r.fileName.isEmpty()) {
        dialogs.message(QStringLiteral("KORVANTE"),
                        QStringLiteral("Você precisa informar o Nome de Arquivo a Gerar"), BoxIcon::None);
        return Outcome::NoFileName;
    }
    if (r.mode == TicketListing::Mode::FreeAll) {
        dialogs.notice(
            QStringLiteral("Só é permitido Gerar Bilhetes para fazer Página HTML se o Modelo de Pesquisa "
                           "for POR BLOCOS DE BILHETES"));
        return Outcome::Refused;
    }
    if (!r.listing || !r.listing->isOpen() || r.listing->rowCount() == 0) {
        dialogs.error(QStringLiteral("Você precisa Mostrar uma Lista de Rifas para Gerar!"));
        return Outcome::Refused;
    }
    if (r.phone.isEmpty()) {
        dialogs.error(
            QStringLiteral("É obrigatório informar o Telefone que tenha WhatsApp ativo da pessoa que "
                           "Receberá os Pedidos da Rifa"));
        return Outcome::Refused;
    }

    // The two later key kinds are always checked: the page shows the key as it must be typed.
    if (r.pixType == PixCode::cnpjType() || r.pixType == PixCode::randomKeyType()) {
        QString refusal;
        if (PixCode::prepareKey(r.pixType, r.pixKey, &refusal).isEmpty()) {
            dialogs.error(refusal);
            return Outcome::Refused;
        }
    }
    // The payment QR codes, only when the organiser gave the recipient's name.
    QList<SalesPagePix> pix;
    if (!r.recipientName.trimmed().isEmpty()) {
        QString refusal;
        pix = pixPayments(r, &refusal);
        if (pix.isEmpty()) {
            dialogs.error(refusal);
            return Outcome::Refused;
        }
    }

    const QString folder = pagesFolder();
    if (!QDir().mkpath(folder)) {
        dialogs.error(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(folder)));
        return Outcome::Failed;
    }
    WaitCursor wait;
    SalesPageInput input;
    QString error;
    const bool built = buildInput(r, &input, &error);
    input.pix = pix;
    if (!built ||
        !SalesPageWriter::write(QDir(folder).filePath(r.fileName + QStringLiteral(".html")), input, &error)) {
        wait.restore();
        dialogs.error(QStringLiteral("Não foi possível gravar a Página HTML: ") + error);
        return Outcome::Failed;
    }
    wait.restore();
    dialogs.information(QStringLiteral("Arquivo [ vendorifas ] Gerada com Sucesso."));
    return Outcome::Written;
}

QList<SalesPagePix> SalesPageGenerator::pixPayments(const SalesPageRequest &r, QString *refusal) const {
    PixCode::Input in;
    in.key = PixCode::prepareKey(r.pixType, r.pixKey, refusal);
    if (in.key.isEmpty()) return {};
    in.name = PixCode::plainText(r.recipientName, 25);
    in.city = PixCode::plainText(r.recipientCity, 15);
    if (in.name.isEmpty()) {
        *refusal = QStringLiteral("O Nome do Recebedor do PIX deve ter letras de A até Z.");
        return {};
    }
    if (in.city.isEmpty()) {
        *refusal = QStringLiteral("Informe a Cidade do Recebedor do PIX para gerar o QR Code de pagamento.");
        return {};
    }
    in.reference = PixCode::reference(QStringLiteral("RIFA") + m_ctx.raffle.CodRifaUsar +
                                      QStringLiteral("B") + r.entre1 + QStringLiteral("A") + r.entre2);
    // Money in whole cents: ten tickets of R$ 0,10 are exactly 1.00.
    const qint64 price = qRound64(m_ctx.raffle.ValorRifa * 100);
    QList<SalesPagePix> list;
    for (int count = 1; count <= 10; ++count) {
        in.cents = price * count;
        SalesPagePix p;
        p.code = PixCode::build(in);
        p.svg = p.code.isEmpty() ? QString() : PixQrSvg::svg(p.code, 3);
        if (p.svg.isEmpty()) {
            *refusal =
                QStringLiteral("Não foi possível montar o código PIX de pagamento com esses dados. Confira a "
                               "chave, o Nome e a Cidade do Recebedor e o valor da Rifa.");
            return {};
        }
        list << p;
    }
    return list;
}
