// A WhatsApp order as the person pastes it: read by line positions like the order panel does.
#include "FuzzSupport.h"

#include "platform/Cp1252.h"
#include "platform/TypedValues.h"
#include "sales/OrderText.h"

KORVANTE_FUZZ_TARGET(whatsapp_order) {
    const QString pasted = QString::fromUtf8(FuzzSupport::bytes(data, size));
    OrderText order(pasted);
    const int count = order.count();
    FUZZ_CHECK(order.ticketRange() >= 0 && order.ticketRange() <= count, order.text());

    const QList<int> tickets = order.ticketLines();
    QStringList sold;
    for (int i : tickets) {
        FUZZ_CHECK(i >= 0 && i < order.ticketRange(), QString::number(i));
        const QString line = order.lines().at(i);
        FUZZ_CHECK(OrderText::isTicketLine(line), line);
        const QString number = OrderText::controlNumberOf(line);
        FUZZ_CHECK(number.size() <= 10, number);
        if (const auto n = TypedValues::parseWholeNumber(number)) {
            FUZZ_CHECK(*n >= 0, number);
            if (sold.isEmpty()) sold << line;
        }
    }

    // What the sale stores: texts the code page can hold, the phone's digits.
    const OrderText::Buyer buyer = order.buyer();
    for (const QString &item : {buyer.nome, buyer.endereco, buyer.cidade, buyer.fone}) {
        FUZZ_CHECK(item.size() <= 35, item);
        const QString stored = Cp1252::representable(item.trimmed());
        FUZZ_CHECK(Cp1252::decode(Cp1252::encode(stored)) == stored, stored);
    }
    const QString phone = OrderText::phoneDigits(buyer.fone);
    FUZZ_CHECK(phone.size() <= 20, phone);
    FUZZ_CHECK(order.seller().size() <= 20, order.seller());
    const OrderText::Block block = order.block();
    FUZZ_CHECK(block.from.size() <= 20 && block.to.size() <= 20, block.from + u'|' + block.to);
    TypedValues::parseWholeNumber(block.from);
    TypedValues::parseWholeNumber(block.to);
    order.hasBlockLine();

    // The panel's own edits: sold lines out, a replacement in, a line marked done.
    order.removeLines(sold);
    FUZZ_CHECK(order.count() <= count, order.text());
    const int before = order.count();
    order.insertTicket(QStringLiteral("C-0001"));
    FUZZ_CHECK(order.count() == before + 1, order.text());
    const QList<int> after = order.ticketLines();
    if (!after.isEmpty()) {
        order.markDone(after.first());
        FUZZ_CHECK(!OrderText::isTicketLine(order.lines().at(after.first())), order.lines().at(after.first()));
    }
    // Shown again in the panel and pasted back, the text reads the same.
    const OrderText again(order.text());
    FUZZ_CHECK(again.text() == order.text(), order.text());
    return 0;
}
