#pragma once

#include "layout/TicketSheet.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// Ticket pictures for WhatsApp: each queued ticket drawn by the ticket sheet's own renderer into a
// JPEG of the page's top-left region, and the text lines of the tickets' numbers and codes.
class TicketPictures {
public:
    // The ticket's outline plus the page's left and bottom margins on both sides (7 mm each).
    static QSize pictureSize(const TicketLayout &layout);
    // Empties the picture folder of its files (its subfolders, the sales pages among them, stay),
    // creating it when it is missing.
    static bool clearFolder(const QString &folder, QString *error);
    // One picture per ticket; false (with *error naming the file) when one cannot be written.
    static bool QrpToImg(const TicketLayout &layout, int digits, const QList<QueuedTicket> &tickets,
                         const QString &folder, QString *error);
    // Page 1 of a sheet holding only that ticket, cut to the picture's size.
    static QImage picture(const TicketLayout &layout, int digits, const QueuedTicket &ticket);

    // The two lists of the sending window: control number in bold, then its numbers ("-" between,
    // five per line for ten numbers); the second list adds the authentication code.
    struct NumberLines {
        QStringList withoutCode, withCode;
    };
    static NumberLines MostrarNumMemo(const QList<QueuedTicket> &tickets, int digits, int perTicket);
};
