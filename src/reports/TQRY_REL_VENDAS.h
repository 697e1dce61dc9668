#pragma once

#include "reports/BandReport.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// One row of the validated list as the sales report prints it.
struct SalesReportRow {
    int numBilhete = 0;
    QString validado;
    QVariant valor; // null prints nothing
    QString nomeComp;
};

// The sales report: the validated list as the validation window shows it, in its order, two columns of
// rows on A4 with the count and the amount received. It has no query of its own: the rows come from
// the listing through rowAt; a row that is gone meanwhile prints as an empty line.
class TQRY_REL_VENDAS : public BandReport {
public:
    using RowSource = std::function<std::optional<SalesReportRow>(int row)>;

    // digits: the modality number format of the control numbers ("#0000" is 4).
    TQRY_REL_VENDAS(int rowCount, RowSource rowAt, int digits);

    // The labels the validation window fills, with their design texts until then.
    QString QRL_Titulo = QStringLiteral("--------");
    QString QRL_TotalBilhete = QStringLiteral("000");
    QString QRL_TotalPago = QStringLiteral("R$ 0,00");
    // The filter line ("Cidade:" or "Vendedor:" and its value) in the footer, with the second title band.
    void setFilter(const QString &filtroPor, const QString &itemFiltro);
    bool filtered() const { return m_filtered; }

    static QString textoTitulo() { return QStringLiteral("RELATÓRIO DE VENDAS DE BILHETES"); }

private:
    void paintHeadings(QPainter &p, const QRectF &column) const;

    RowSource m_rowAt;
    int m_digits;
    bool m_filtered = false;
    QString m_filtroPor;
    QString m_itemFiltro;
};
