#include "layout/TicketPictures.h"

#include "whatsapp/TicketPictureName.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

QSize TicketPictures::pictureSize(const TicketLayout &layout) {
    const double margin = TicketSheet::mmToPx(TicketSheet::MarginMm);
    return QSize(qRound(layout.outline.width() + 2 * margin), qRound(layout.outline.height() + 2 * margin));
}

bool TicketPictures::clearFolder(const QString &folder, QString *error) {
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Não foi possível criar a pasta ") + QDir::toNativeSeparators(folder);
        return false;
    }
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!QFile::remove(f.absoluteFilePath())) {
            if (error)
                *error = QStringLiteral("Não foi possível apagar ") +
                         QDir::toNativeSeparators(f.absoluteFilePath());
            return false;
        }
    }
    return true;
}

QImage TicketPictures::picture(const TicketLayout &layout, int digits, const QueuedTicket &ticket) {
    TicketSheet sheet(layout, digits, true);
    sheet.setTickets({ticket});
    QImage img(pictureSize(layout), QImage::Format_RGB32);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    img.fill(Qt::white);
    QPainter p(&img);
    // One page pixel per picture pixel, from the paper corner.
    sheet.paintPage(p, 0);
    return img;
}

bool TicketPictures::QrpToImg(const TicketLayout &layout, int digits, const QList<QueuedTicket> &tickets,
                              const QString &folder, QString *error) {
    for (const QueuedTicket &t : tickets) {
        const QString path = QDir(folder).filePath(TicketPictureName::fileName(t.numBilhete, digits));
        QImageWriter writer(path, "jpg");
        if (!writer.write(picture(layout, digits, t))) {
            if (error)
                *error = QStringLiteral("Não foi possível gravar a imagem ") +
                         QDir::toNativeSeparators(path) + QStringLiteral(": ") + writer.errorString();
            return false;
        }
    }
    return true;
}

TicketPictures::NumberLines TicketPictures::MostrarNumMemo(const QList<QueuedTicket> &tickets, int digits,
                                                           int perTicket) {
    NumberLines lines;
    auto formatted = [digits](const QVariant &n) {
        return QStringLiteral("%1").arg(n.toInt(), digits, 10, QChar(u'0'));
    };
    for (const QueuedTicket &t : tickets) {
        const QString id = QStringLiteral("*C-") + formatted(t.numBilhete) + u'*';
        lines.withoutCode << id;
        lines.withCode << id + QStringLiteral(" [ Aut. ") + t.autDigital.trimmed() + QStringLiteral(" ]");
        const int k = qBound(1, perTicket, 10);
        QStringList numbers;
        for (int i = 0; i < k; ++i)
            numbers << formatted(t.numbers[i]);
        // Ten numbers make two lines of five.
        QList<QStringList> numberLines;
        if (k == 10)
            numberLines = {numbers.mid(0, 5), numbers.mid(5)};
        else
            numberLines = {numbers};
        for (const QStringList &l : numberLines) {
            lines.withoutCode << l.join(u'-');
            lines.withCode << l.join(u'-');
        }
    }
    return lines;
}
