#pragma once

#include "data/AppContext.h"
#include "raffle/WorkingRaffle.h"

#include <QWidget>

class QLabel;

// The print module's main window; its menu is a reduced one of the main program's.
class TForm_RIFAPrint : public QWidget {
    Q_OBJECT
public:
    explicit TForm_RIFAPrint(const AppServices &services, QWidget *parent = nullptr);

    WorkingRaffle &raffle() { return m_raffle; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WorkingRaffle m_raffle;
    AppContext m_ctx;
    QLabel *IMG_FUNDO = nullptr;
    QLabel *LBL_RifaUsar = nullptr;
    QLabel *img_fechar = nullptr;
};
