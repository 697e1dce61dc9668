#pragma once

#include "data/AppContext.h"
#include "sales/SaleRequest.h"
#include "sales/SaleValidator.h"

#include <QObject>

// The one way a sale enters the raffle. Every panel fills a SaleRequest and hands it here; the
// validation window listens and shows what came of it, the panel reads the outcome it is given back.
class SalesService : public QObject {
    Q_OBJECT
public:
    explicit SalesService(AppContext &ctx, QObject *parent = nullptr);

    // The window whose fields every request starts from; without one, the state given here.
    void setForm(const SaleForm *form) { m_form = form; }
    void setFormState(const SaleFormState &state) { m_fixedState = state; }
    SaleFormState formState() const { return m_form ? m_form->saleFormState() : m_fixedState; }

    SaleOutcome sell(const SaleRequest &request);

    // A sequence being sold, and how to end it after its current ticket.
    bool running() const { return m_validator.running(); }
    void requestStop() { m_validator.requestStop(); }
    // Called between the tickets of a sequence, so that the window can repaint.
    void setBetweenTickets(std::function<void()> callback) { m_validator.setBetweenTickets(std::move(callback)); }

    // The import's sales, many to one transaction (see SaleValidator).
    bool beginBatch(QString *error) { return m_validator.beginBatch(error); }
    bool commitBatch(QString *error) { return m_validator.commitBatch(error); }
    void rollbackBatch() { m_validator.rollbackBatch(); }
    bool inBatch() const { return m_validator.inBatch(); }

Q_SIGNALS:
    // Before anything is written: a sequence holds the window, a sale with buyer data shows its fields.
    void saleStarting(const SaleRequest &request);
    // Whatever came of it, before the panel that asked reads the outcome.
    void saleSettled(const SaleRequest &request, const SaleOutcome &outcome);

private:
    SaleValidator m_validator;
    const SaleForm *m_form = nullptr;
    SaleFormState m_fixedState;
};
