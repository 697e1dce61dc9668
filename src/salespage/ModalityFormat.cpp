#include "salespage/ModalityFormat.h"

#include <QStringList>

ModalityFormat ModalityFormat::fromModalidade(const QString &modalidade) {
    static const QStringList known = {QStringLiteral("00 - 99"), QStringLiteral("000 - 999"),
                                      QStringLiteral("0000 - 9999"), QStringLiteral("00000 - 99999"),
                                      QStringLiteral("000000 - 999999")};
    const int k = int(known.indexOf(modalidade.trimmed()));
    return ModalityFormat(k < 0 ? 1 : k + 2);
}

QString ModalityFormat::format(qint64 number) const {
    if (number < 0) return u'-' + QString::number(-number).rightJustified(m_width, u'0');
    return QString::number(number).rightJustified(m_width, u'0');
}
