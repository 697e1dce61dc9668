#include "reports/DrawRecordReport.h"

#include "draw/FederalDraw.h"
#include "reports/TicketLookup.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr double kLeft = 200, kRight = 1900, kWidth = kRight - kLeft; // 20 mm margins on A4 (2100)

QFont font(double points, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(qRound(points * 254.0 / 72.0)); // points in tenths of a millimetre
    f.setBold(bold);
    return f;
}

// Highest number of the modality from its text ("000 - 999" gives 999).
int highestOf(const QString &modalidade) {
    const QString first = modalidade.section(u' ', 0, 0);
    return first.isEmpty() ? 99 : QString(first.size(), u'9').toInt();
}

QString date(const QDate &d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QStringLiteral("-");
}

} // namespace

QString DrawRecordReport::modeText(const DrawRecord &r) {
    if (r.modo == u"TODOS")
        return QStringLiteral("Sorteio Próprio: número gerado como os da Loteria Federal, todos os Bilhetes "
                              "concorrem. Número sorteado: ") +
               r.sorteado;
    if (r.modo == u"PAGOS")
        return QStringLiteral("Sorteio Próprio entre os Números dos Bilhetes pagos. Número sorteado: ") +
               r.sorteado;
    if (r.modo == u"CONTROLE")
        return QStringLiteral("Sorteio Próprio - Giro da Sorte, pelo Controle dos Bilhetes pagos. Controle "
                              "sorteado: ") +
               r.sorteado;
    return QStringLiteral("Pela Loteria Federal - Extração nº %1 de %2")
        .arg(r.extracao, date(r.dataExtracao));
}

QString DrawRecordReport::ruleLine(const DrawRecord &r) {
    const auto rule = FederalDraw::ruleOfCode(r.regra);
    return QStringLiteral("Se o número não foi vendido: ") + (rule ? FederalDraw::ruleText(*rule) : r.regra);
}

void DrawRecordReport::paintPage(QPainter &p, int) const {
    const DrawRecord &r = m_record;
    const int maior = highestOf(r.modalidade);
    p.save();
    p.setPen(Qt::black);
    double y = 200;
    // A long text is cut at maxHeight so that the record always fits its one page.
    auto line = [&](const QString &text, double points, bool bold = false, double gap = 20,
                    Qt::Alignment align = Qt::AlignLeft, double maxHeight = 300) {
        p.setFont(font(points, bold));
        const QRectF box(kLeft, y, kWidth, maxHeight);
        const QRectF used = p.boundingRect(box, int(align) | Qt::TextWordWrap, text);
        p.save();
        p.setClipRect(box);
        p.drawText(box, int(align) | Qt::TextWordWrap, text);
        p.restore();
        y += qMin(used.height(), maxHeight) + gap;
    };
    auto rule = [&] {
        p.drawLine(QPointF(kLeft, y), QPointF(kRight, y));
        y += 30;
    };

    p.fillRect(QRectF(kLeft, y, kWidth, 120), Qt::black);
    p.setPen(Qt::white);
    p.setFont(font(18, true));
    p.drawText(QRectF(kLeft, y, kWidth, 120), Qt::AlignCenter, QStringLiteral("ATA DO SORTEIO"));
    p.setPen(Qt::black);
    y += 170;
    line(r.nomeRifa, 16, true, 30, Qt::AlignHCenter);
    line(QStringLiteral("Data do Sorteio: %1        Modalidade: %2").arg(date(r.dataEvento), r.modalidade),
         11);
    line(QStringLiteral("Prêmio(s):"), 11, true, 5);
    line(r.premios.trimmed().isEmpty() ? QStringLiteral("-") : r.premios.trimmed(), 11, false, 30,
         Qt::AlignLeft, 450);
    rule();

    line(QStringLiteral("COMO FOI SORTEADO"), 12, true);
    line(modeText(r), 11);
    if (r.modo == u"FEDERAL") {
        line(ruleLine(r), 11, false, 25);
        const double cols[] = {kLeft, kLeft + 250, kLeft + 600, kLeft + 900, kLeft + 1250};
        const QString heads[] = {QStringLiteral("Prêmio"), QStringLiteral("Resultado"),
                                 QStringLiteral("Número"), QStringLiteral("Bilhete"),
                                 QStringLiteral("Situação")};
        p.setFont(font(11, true));
        for (int c = 0; c < 5; ++c)
            p.drawText(QPointF(cols[c], y + 45), heads[c]);
        y += 75;
        p.setFont(font(11));
        for (int i = 0; i < 5; ++i) {
            const bool hasTicket = r.bilPremio[i] > 0;
            const QString cells[] = {
                QStringLiteral("%1º").arg(i + 1), r.premio[i],
                r.numPremio[i] < 0 ? QStringLiteral("-") : NumberFormat::number(r.numPremio[i], maior),
                hasTicket ? NumberFormat::ticketId(r.bilPremio[i], maior) : QStringLiteral("nenhum"),
                !hasTicket                ? QStringLiteral("sem Bilhete")
                : r.pagoPremio[i] == u"S" ? QStringLiteral("pago")
                                          : QStringLiteral("não pago")};
            for (int c = 0; c < 5; ++c)
                p.drawText(QPointF(cols[c], y + 45), cells[c]);
            y += 60;
        }
        y += 20;
    }
    rule();

    line(QStringLiteral("RESULTADO"), 12, true);
    if (r.semGanhador()) {
        line(QStringLiteral("SEM GANHADOR"), 16, true);
        if (r.modo == u"FEDERAL") {
            const auto code = FederalDraw::ruleOfCode(r.regra);
            line(
                code == FederalRule::Organizacao
                    ? QStringLiteral("O número do 1º prêmio não está em um Bilhete pago: o prêmio fica com a "
                                     "organização.")
                    : QStringLiteral("Nenhum dos 5 prêmios caiu em um Bilhete pago desta Rifa."),
                11);
        }
    } else {
        line(QStringLiteral("Bilhete Ganhador: %1").arg(NumberFormat::ticketId(r.numBilhete, maior)), 16,
             true);
        line(QStringLiteral("Números do Bilhete: %1").arg(r.numeros), 11);
        line(QStringLiteral("Pago: %1        Autenticação: %2")
                 .arg(r.pago == u"S" ? QStringLiteral("Sim") : QStringLiteral("Não"),
                      r.autentic.isEmpty() ? QStringLiteral("-") : r.autentic),
             11);
        line(QStringLiteral("Comprador: %1").arg(r.nome.isEmpty() ? QStringLiteral("-") : r.nome), 11);
        const QString city = r.uf.isEmpty() ? r.cidade : r.cidade + u'/' + r.uf;
        line(QStringLiteral("Cidade: %1").arg(city.isEmpty() ? QStringLiteral("-") : city), 11);
        line(QStringLiteral("Fone: %1").arg(r.fone.isEmpty() ? QStringLiteral("-") : r.fone), 11);
    }
    rule();
    line(QStringLiteral("Registrado em %1 às %2")
             .arg(r.registradoEm.date().toString(QStringLiteral("dd/MM/yyyy")),
                  r.registradoEm.time().toString(QStringLiteral("HH:mm:ss"))),
         10);

    p.setFont(font(9));
    p.drawLine(QPointF(kLeft, 2800), QPointF(kRight, 2800));
    p.drawText(QRectF(kLeft, 2810, kWidth, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Korvante 2.0"));
    p.drawText(QRectF(kLeft, 2810, kWidth, 60), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Registro nº %1").arg(r.id));
    p.restore();
}

bool DrawRecordReport::render(QPagedPaintDevice &device) const {
    device.setPageSize(pageSize());
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double scale = device.logicalDpiX() / UnitsPerInch;
    painter.scale(scale, scale);
    paintPage(painter, 0);
    return painter.end();
}

bool DrawRecordReport::writePdf(const QString &path, QString *error) const {
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(QStringLiteral("Ata do Sorteio"));
    writer.setCreator(QStringLiteral("Korvante 2.0"));
    if (!render(writer) || !QFileInfo(path).size()) {
        if (error) *error = QStringLiteral("não foi possível gravar o arquivo %1").arg(path);
        return false;
    }
    return true;
}
