#include "draw/DrawRecordReport.h"

#include "draw/FederalDraw.h"
#include "reports/TicketLookup.h"

#include "data/Fingerprint.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <cctype>

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

QString DrawRecordReport::ruleExplained(const DrawRecord &r) {
    switch (FederalDraw::ruleOfCode(r.regra).value_or(FederalRule::ProximoPremio)) {
    case FederalRule::MaisProximo:
        return QStringLiteral("Regra: vale o número do 1º prêmio; se ele não estiver em um Bilhete pago, ganha o "
                              "número vendido mais próximo dele, contando para cima e para baixo (depois do maior "
                              "número da modalidade volta ao menor); em empate, vence o número acima (o maior).");
    case FederalRule::Organizacao:
        return QStringLiteral("Regra: vale somente o número do 1º prêmio; se ele não estiver em um Bilhete pago, o "
                              "prêmio fica com a organização.");
    default:
        return QStringLiteral("Regra: vale o número do 1º prêmio; se ele não estiver em um Bilhete pago, vale o do "
                              "2º prêmio, e assim até o 5º; o primeiro que estiver em um Bilhete pago ganha.");
    }
}

QString DrawRecordReport::decisionText(const DrawRecord &r) {
    if (r.modo != u"FEDERAL" || r.semGanhador()) return {};
    const int maior = highestOf(r.modalidade);
    auto n = [&](int v) { return NumberFormat::number(v, maior); };
    if (r.numReferencia >= 0) {
        QString t = QStringLiteral("O número do 1º prêmio, %1, não está em um Bilhete pago: vale o número vendido "
                                   "mais próximo dele, %2 (Bilhete %3).")
                        .arg(n(r.numReferencia), r.sorteado, NumberFormat::ticketId(r.numBilhete, maior));
        if (r.empateCom >= 0)
            t += QStringLiteral(" Empate: %1 e %2 estão igualmente próximos de %3; pela regra vence o número "
                                "acima, %2.")
                     .arg(n(r.empateCom), r.sorteado, n(r.numReferencia));
        return t;
    }
    for (int i = 0; i < 5; ++i)
        if (r.bilPremio[i] == r.numBilhete && r.pagoPremio[i] == u"S")
            return i == 0 ? QStringLiteral("O número do 1º prêmio, %1, está no Bilhete pago %2.")
                                .arg(n(r.numPremio[0]), NumberFormat::ticketId(r.numBilhete, maior))
                          : QStringLiteral("Os números dos prêmios anteriores não estão em Bilhetes pagos: vale o "
                                           "%1º prêmio, número %2, no Bilhete pago %3.")
                                .arg(i + 1)
                                .arg(n(r.numPremio[i]), NumberFormat::ticketId(r.numBilhete, maior));
    return {};
}

int DrawRecordReport::layout(QPainter &p, int only, int pages) const {
    const DrawRecord &r = m_record;
    const int maior = highestOf(r.modalidade);
    constexpr double kTop = 200, kBottom = 2760;
    int page = 0;
    double y = kTop;
    const bool paint = only >= 0;
    auto here = [&] { return paint && page == only; };
    auto footer = [&] {
        if (!here()) return;
        p.setFont(font(9));
        p.drawLine(QPointF(kLeft, 2800), QPointF(kRight, 2800));
        p.drawText(QRectF(kLeft, 2810, kWidth, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Korvante 2.0"));
        p.drawText(QRectF(kLeft, 2810, kWidth, 60), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Registro nº %1 - página %2 de %3").arg(r.id).arg(page + 1).arg(pages));
    };
    auto room = [&](double height) {
        if (y + height <= kBottom || y == kTop) return;
        footer();
        ++page;
        y = kTop;
    };
    // A block of text wrapped to the width, moved whole to the next page when it does not fit.
    auto line = [&](const QString &text, double points, bool bold = false, double gap = 20,
                    Qt::Alignment align = Qt::AlignLeft) {
        p.setFont(font(points, bold));
        const int flags = int(align) | Qt::TextWordWrap;
        const QRectF used = p.boundingRect(QRectF(kLeft, 0, kWidth, 100000), flags, text);
        room(used.height());
        if (here()) p.drawText(QRectF(kLeft, y, kWidth, used.height() + 10), flags, text);
        y += used.height() + gap;
    };
    auto rule = [&] {
        room(30);
        if (here()) p.drawLine(QPointF(kLeft, y), QPointF(kRight, y));
        y += 30;
    };

    if (here()) {
        p.fillRect(QRectF(kLeft, y, kWidth, 120), Qt::black);
        p.setPen(Qt::white);
        p.setFont(font(18, true));
        p.drawText(QRectF(kLeft, y, kWidth, 120), Qt::AlignCenter, QStringLiteral("ATA DO SORTEIO"));
        p.setPen(Qt::black);
    }
    y += 170;
    if (r.anulado())
        line(QStringLiteral("REGISTRO ANULADO em %1").arg(BrasiliaTime::shown(r.anuladoEm)), 14, true, 30);
    line(r.nomeRifa, 16, true, 30, Qt::AlignHCenter);
    line(QStringLiteral("Data do Sorteio: %1        Modalidade: %2").arg(date(r.dataEvento), r.modalidade), 11);
    line(QStringLiteral("Prêmio(s):"), 11, true, 5);
    QString prizes = r.premios.trimmed();
    prizes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prizes.replace(u'\r', u'\n');
    if (prizes.isEmpty()) prizes = QStringLiteral("-");
    for (const QString &paragraph : prizes.split(u'\n'))
        line(paragraph.isEmpty() ? QStringLiteral(" ") : paragraph, 11, false, 4);
    y += 26;
    rule();

    line(QStringLiteral("COMO FOI SORTEADO"), 12, true);
    QString mode = modeText(r);
    if (r.modo == u"FEDERAL" && r.horaExtracao.isValid())
        mode += QStringLiteral(" às %1 (horário de Brasília)").arg(r.horaExtracao.toString(QStringLiteral("HH:mm")));
    line(mode, 11);
    if (r.modo == u"FEDERAL") {
        line(ruleLine(r), 11, false, 10);
        line(ruleExplained(r), 10, false, 25);
        const double cols[] = {kLeft, kLeft + 250, kLeft + 600, kLeft + 900, kLeft + 1250};
        const QString heads[] = {QStringLiteral("Prêmio"), QStringLiteral("Resultado"), QStringLiteral("Número"),
                                 QStringLiteral("Bilhete"), QStringLiteral("Situação")};
        room(75 + 5 * 60);
        p.setFont(font(11, true));
        if (here())
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
            if (here())
                for (int c = 0; c < 5; ++c)
                    p.drawText(QPointF(cols[c], y + 45), cells[c]);
            y += 60;
        }
        y += 20;
    }
    rule();

    line(QStringLiteral("RESULTADO"), 12, true);
    if (r.anulado()) line(QStringLiteral("ESTE REGISTRO FOI ANULADO: o resultado abaixo não vale."), 11, true);
    if (r.semGanhador()) {
        line(QStringLiteral("SEM GANHADOR"), 16, true);
        if (r.modo == u"FEDERAL") {
            const auto code = FederalDraw::ruleOfCode(r.regra);
            line(code == FederalRule::Organizacao
                     ? QStringLiteral("O número do 1º prêmio não está em um Bilhete pago: o prêmio fica com a "
                                      "organização.")
                     : QStringLiteral("Nenhum dos 5 prêmios caiu em um Bilhete pago desta Rifa."),
                 11);
        }
    } else {
        if (const QString decision = decisionText(r); !decision.isEmpty()) line(decision, 11);
        line(QStringLiteral("Bilhete Ganhador: %1").arg(NumberFormat::ticketId(r.numBilhete, maior)), 16, true);
        line(QStringLiteral("Números do Bilhete: %1").arg(r.numeros), 11);
        line(QStringLiteral("Pago: %1        Autenticação: %2")
                 .arg(r.pago == u"S" ? QStringLiteral("Sim") : QStringLiteral("Não"),
                      r.autentic.isEmpty() ? QStringLiteral("-") : r.autentic),
             11);
        line(QStringLiteral("Vendido em: %1").arg(date(r.dataVal)), 11);
        line(QStringLiteral("Comprador: %1").arg(r.nome.isEmpty() ? QStringLiteral("-") : r.nome), 11);
        const QString city = r.uf.isEmpty() ? r.cidade : r.cidade + u'/' + r.uf;
        line(QStringLiteral("Cidade: %1").arg(city.isEmpty() ? QStringLiteral("-") : city), 11);
        line(QStringLiteral("Fone: %1").arg(r.fone.isEmpty() ? QStringLiteral("-") : r.fone), 11);
    }
    rule();

    line(QStringLiteral("VENDAS E IMPRESSÕES DIGITAIS (SHA-256)"), 12, true);
    if (r.encerradoEm.isValid()) {
        line(QStringLiteral("Vendas encerradas em %1 - %2 Bilhetes vendidos.")
                 .arg(BrasiliaTime::shown(r.encerradoEm))
                 .arg(r.qtVendidos),
             11, false, 5);
        line(QStringLiteral("Impressão digital da lista de vendidos:"), 10, false, 2);
        line(r.hashVendas, 10, true);
    } else {
        line(QStringLiteral("Vendas não encerradas quando o sorteio foi registrado."), 11);
    }
    line(QStringLiteral("Impressão digital da distribuição dos números (tabela %1):")
             .arg(r.tabela.isEmpty() ? QStringLiteral("-") : r.tabela),
         10, false, 2);
    line(r.hashTabela.isEmpty() ? QStringLiteral("sem impressão digital guardada") : r.hashTabela, 10, true, 5);
    if (r.hashTabelaOrigem == u"encerramento")
        line(QStringLiteral("Calculada no encerramento das vendas: a tabela não tinha impressão digital guardada "
                            "da sua distribuição."),
             10);
    if (!r.eventos.isEmpty()) {
        line(QStringLiteral("Histórico das vendas:"), 10, true, 5);
        for (const auto &e : r.eventos) {
            const QString text = e[0] == u"ENCERRADO"
                                     ? QStringLiteral("Encerradas em %1 (%2 vendidos, impressão digital %3)")
                                           .arg(e[1], e[2], e[3])
                                 : e[0] == u"REABERTO" ? QStringLiteral("Reabertas em %1").arg(e[1])
                                                       : QStringLiteral("Zeradas em %1 (fim do encerramento)").arg(e[1]);
            line(text, 9, false, 4);
        }
        y += 10;
    }
    rule();
    line(QStringLiteral("Registrado em %1 às %2")
             .arg(r.registradoEm.date().toString(QStringLiteral("dd/MM/yyyy")),
                  r.registradoEm.time().toString(QStringLiteral("HH:mm:ss"))),
         10);
    footer();
    return page + 1;
}

bool DrawRecordReport::render(QPagedPaintDevice &device) const {
    device.setPageSize(pageSize());
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double scale = device.logicalDpiX() / UnitsPerInch;
    painter.scale(scale, scale);
    painter.setPen(Qt::black);
    const int pages = layout(painter, -1, 0);
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        layout(painter, page, pages);
    }
    return painter.end();
}

QByteArray DrawRecordReport::pdf(QString *error) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setTitle(QStringLiteral("Ata do Sorteio"));
        writer.setCreator(QStringLiteral("Korvante 2.0"));
        if (!render(writer)) {
            if (error) *error = QStringLiteral("não foi possível montar a Ata do Sorteio");
            return {};
        }
    }
    QByteArray bytes = buffer.data();
    // The writer stamps the time of writing and fresh identifiers: both become the record's, in
    // place and of the same length, so the offsets of the file stay right.
    const QDateTime when = m_record.registradoEm.isValid() ? m_record.registradoEm.toUTC()
                                                             : QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    const QByteArray seed = QCryptographicHash::hash(
        QByteArray::number(m_record.id) + when.toString(Qt::ISODate).toLatin1() + m_record.nomeRifa.toUtf8(),
        QCryptographicHash::Sha256);
    static const QRegularExpression pdfDate(QStringLiteral("D:(\\d{14})"));
    const QByteArray stamp = when.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    QString text = QString::fromLatin1(bytes);
    for (auto m = pdfDate.globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        bytes.replace(match.capturedStart(1), 14, stamp);
    }
    static const QRegularExpression xmpDate(QStringLiteral("(\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2})"));
    const QByteArray isoStamp = when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
    for (auto m = xmpDate.globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        bytes.replace(match.capturedStart(1), 19, isoStamp);
    }
    // uuids (xmp ids) and the trailer's /ID of 32 hex digits.
    static const QRegularExpression ids(
        QStringLiteral("([0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}|<[0-9a-fA-F]{32}>)"));
    const QByteArray hex = seed.toHex();
    for (auto m = ids.globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        QByteArray fixed = match.captured(1).toLatin1();
        int k = 0;
        for (char &c : fixed)
            if (std::isxdigit(static_cast<unsigned char>(c))) c = hex.at(k++ % hex.size());
        bytes.replace(match.capturedStart(1), fixed.size(), fixed);
    }
    return bytes;
}

bool DrawRecordReport::writePdf(const QString &path, QString *error) const {
    const QByteArray bytes = pdf(error);
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error && error->isEmpty()) *error = QStringLiteral("não foi possível gravar o arquivo %1").arg(path);
        return false;
    }
    return true;
}
