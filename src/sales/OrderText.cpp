#include "sales/OrderText.h"

#include <QRegularExpression>

namespace {

// Up to 35 characters after the first ':' of the line.
QString itemOf(const QString &line) {
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? QString() : line.mid(colon + 1, 35);
}

} // namespace

OrderText::OrderText(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    t.replace(QChar::ParagraphSeparator, u'\n');
    t.replace(QChar::LineSeparator, u'\n');
    m_lines = t.split(u'\n');
    // Some ways of copying keep WhatsApp's bold markers: " *Nome:* X" reads as " Nome: X".
    static const QRegularExpression bold(QStringLiteral("^(\\s*)\\*([^*]*:)\\*"));
    for (QString &line : m_lines)
        line.replace(bold, QStringLiteral("\\1\\2"));
}

bool OrderText::isTicketLine(const QString &line) {
    return line.contains(QStringLiteral("C-")) && !line.contains(QStringLiteral("-OK"));
}

QString OrderText::controlNumberOf(const QString &line) {
    return line.mid(2, 10).trimmed();
}

QList<int> OrderText::ticketLines() const {
    QList<int> found;
    for (int i = 0; i < ticketRange(); ++i)
        if (isTicketLine(m_lines[i])) found << i;
    return found;
}

QString OrderText::seller() const {
    if (count() < 2) return {};
    return m_lines[count() - 2].mid(6, 20).trimmed();
}

OrderText::Buyer OrderText::buyer() const {
    Buyer b;
    for (const QString &line : m_lines) {
        const QString t = line.trimmed();
        if (t.contains(QStringLiteral("Nome:"))) b.nome = itemOf(line);
        if (t.contains(QStringLiteral("End.:"))) b.endereco = itemOf(line);
        if (t.contains(QStringLiteral("Cidade:"))) b.cidade = itemOf(line);
        if (t.contains(QStringLiteral("Fone:"))) b.fone = itemOf(line);
    }
    return b;
}

QString OrderText::phoneDigits(const QString &item) {
    const qsizetype paren = item.indexOf(u'(');
    const QString ddd = paren < 0 ? QString() : item.mid(paren + 1, 2);
    QString number = item.mid(6, 18).trimmed();
    const qsizetype dash = number.indexOf(u'-');
    if (dash >= 0) number.remove(dash, 1);
    return ddd + number;
}

OrderText::Block OrderText::block() const {
    const QString s = lastLine().mid(7, 20).trimmed();
    Block b;
    const qsizetype ao = s.indexOf(QStringLiteral(" ao"));
    b.from = (ao < 0 ? s : s.left(ao)).trimmed();
    const qsizetype firstAo = s.indexOf(QStringLiteral("ao"));
    b.to = firstAo < 0 ? QString() : s.mid(firstAo + 3).trimmed();
    return b;
}

void OrderText::removeLines(const QStringList &sold) {
    const int range = ticketRange();
    QStringList kept;
    for (int i = 0; i < count(); ++i) {
        bool drop = false;
        if (i < range)
            for (const QString &s : sold)
                if (!s.trimmed().isEmpty() && m_lines[i].trimmed().contains(s.trimmed())) drop = true;
        if (!drop) kept << m_lines[i];
    }
    m_lines = kept;
}

void OrderText::insertTicket(const QString &ticketId) {
    m_lines.insert(qMin<qsizetype>(2, m_lines.size()), ticketId);
}
