// The result of the Loteria Federal as the organiser types it: extraction, date, hour and the five
// prizes (one per line of the input), read for raffles of two to six digits.
#include "FuzzSupport.h"

#include "data/Fingerprint.h"
#include "draw/FederalDraw.h"

KORVANTE_FUZZ_TARGET(federal_draw) {
    const QList<QString> f = FuzzSupport::lines(FuzzSupport::bytes(data, size), 9);
    FederalInput input;
    input.extracao = f[0];
    input.data = f[1];
    input.hora = f[2];
    for (int i = 0; i < 5; ++i)
        input.premios[i] = f[3 + i];
    if (const auto rule = FederalDraw::ruleOfCode(f[8])) input.rule = *rule;

    for (int digits = 2; digits <= 6; ++digits) {
        const FederalResult r = FederalDraw::readTyped(input, digits);
        if (!r.message.isEmpty()) {
            FUZZ_CHECK(!r.drawn, r.message);
            continue;
        }
        FUZZ_CHECK(digits <= 5, QString::number(digits));
        int limit = 1;
        for (int d = 0; d < digits; ++d)
            limit *= 10;
        for (const FederalPrize &p : r.prizes) {
            FUZZ_CHECK(p.premio.size() == 5, p.premio);
            for (QChar c : p.premio)
                FUZZ_CHECK(c >= u'0' && c <= u'9', p.premio);
            FUZZ_CHECK(p.numero >= 0 && p.numero < limit, p.premio + u'/' + QString::number(p.numero));
        }
        FUZZ_CHECK(!r.extracao.isEmpty() && r.extracao.size() <= 10, r.extracao);
        FUZZ_CHECK(r.data.isValid() && r.hora.isValid(), input.data + u' ' + input.hora);
        const QDateTime extraction = BrasiliaTime::fromBrasilia(r.data, r.hora);
        FUZZ_CHECK(extraction.isValid(), input.data + u' ' + input.hora);
        FederalDraw::futureMessage(r.extracao, r.data, r.hora);
        FederalDraw::closedAfterMessage(extraction, r.extracao, r.data, r.hora);
    }
    return 0;
}
