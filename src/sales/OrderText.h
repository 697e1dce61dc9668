#pragma once

#include <QString>
#include <QStringList>

// An order message from the sales page as WhatsApp shows it (a label's bold asterisks, when the copy
// kept them, are taken off), read by line positions: ticket lines first, then seven lines of buyer
// data ending with the seller and the block. Lines are numbered 1 to L below.
class OrderText {
public:
    // The last seven lines are Nome, End., Cidade, Fone, TOTAL A PAGAR, Vend and Bloco.
    static constexpr int DataLines = 7;
    // One ticket line and the seven data lines: the least an order can be.
    static constexpr int MinimumLines = DataLines + 1;

    struct Buyer {
        QString nome;
        QString endereco;
        QString cidade;
        QString fone; // the item as written, "(11) 98765-4321"
    };
    struct Block {
        QString from;
        QString to;
    };

    explicit OrderText(const QString &text);

    QString text() const { return m_lines.join(u'\n'); }
    const QStringList &lines() const { return m_lines; }
    int count() const { return int(m_lines.size()); }
    bool isEmpty() const { return text().trimmed().isEmpty(); }
    // Lines 1 to L-7, where the tickets are; none for a text of fewer than eight lines.
    int ticketRange() const { return count() > DataLines ? count() - DataLines : 0; }
    // Indexes (from 0) of the lines of that range not yet processed.
    QList<int> ticketLines() const;

    static bool isTicketLine(const QString &line);
    // Characters 3 to 12 without surrounding blanks: "C-0042" gives "0042".
    static QString controlNumberOf(const QString &line);

    QString lastLine() const { return m_lines.isEmpty() ? QString() : m_lines.last(); }
    bool hasBlockLine() const { return lastLine().contains(QStringLiteral("Bloco")); }
    // Characters 7 to 26 of line L-1 without surrounding blanks ("12", "Nao Informar").
    QString seller() const;
    Buyer buyer() const;
    Block block() const;
    // The two digits after the first '(' and characters 7 to 24 without blanks and without the first '-'.
    static QString phoneDigits(const QString &item);

    void markDone(int index) { m_lines[index] += QStringLiteral("-OK"); }
    // Takes out every line of the ticket range that holds one of the sold lines.
    void removeLines(const QStringList &sold);
    // A replacement goes in as line 3, right under the header and its empty line.
    void insertTicket(const QString &ticketId);

private:
    QStringList m_lines;
};
