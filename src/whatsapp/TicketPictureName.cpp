#include "whatsapp/TicketPictureName.h"

#include <QChar>

QString TicketPictureName::fileName(int numBilhete, int digits) {
    return QStringLiteral("Bilhete_") + QStringLiteral("%1").arg(numBilhete, digits, 10, QChar(u'0')) +
           QStringLiteral(".jpg");
}
