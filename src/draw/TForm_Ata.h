#pragma once

#include "data/AppContext.h"
#include "draw/DrawRecords.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTableWidget;

// "Ata do Sorteio": the recorded draws of the working raffle, annulled ones included; prints, saves
// as PDF or annuls the one chosen.
class TForm_Ata : public QDialog {
    Q_OBJECT
public:
    // preferredId: the record to choose at first (the draw just made); the latest when 0.
    TForm_Ata(AppContext &ctx, int preferredId, QWidget *parent = nullptr);

private Q_SLOTS:
    void BTN_ImprimirClick();
    void BTN_AtaPDFClick();
    void BTN_AnularClick();

private:
    void load(int chooseId);
    const DrawRecord *chosen();

    AppContext &m_ctx;
    DrawRecords m_records;
    QList<DrawRecord> m_list;
    QTableWidget *Grid_Sorteios = nullptr;
    QPushButton *BTN_Imprimir = nullptr;
    QPushButton *BTN_AtaPDF = nullptr;
    QPushButton *BTN_Anular = nullptr;
};
