#include "sales/SalesService.h"

SalesService::SalesService(AppContext &ctx, QObject *parent) : QObject(parent), m_validator(ctx) {}

SaleOutcome SalesService::sell(const SaleRequest &request) {
    Q_EMIT saleStarting(request);
    const SaleOutcome outcome = m_validator.validate(request);
    Q_EMIT saleSettled(request, outcome);
    return outcome;
}
