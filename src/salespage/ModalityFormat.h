#pragma once

#include <QString>

// Control numbers and ticket numbers as people read them: zero-padded to the modality's width
// ("#0000" for "0000 - 9999"); a wider number keeps all its digits.
class ModalityFormat {
public:
    ModalityFormat() = default;
    explicit ModalityFormat(int width) : m_width(width < 1 ? 1 : width) {}
    // From the MODALIDADE text of the raffle; an unknown text pads nothing.
    static ModalityFormat fromModalidade(const QString &modalidade);

    int width() const { return m_width; }
    QString format(qint64 number) const;
    QString ticketId(qint64 controlNumber) const { return QStringLiteral("C-") + format(controlNumber); }

private:
    int m_width = 1;
};
