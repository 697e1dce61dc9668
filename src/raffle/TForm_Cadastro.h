#pragma once

#include "data/AppContext.h"
#include "raffle/RaffleRegistration.h"

#include <QDialog>
#include <QHash>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QToolButton;
class WidgetDateEdit;
class WidgetMoneyEdit;

// "KORVANTE - CADASTRO DA RIFA": edits the five raffle slots.
class TForm_Cadastro : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Cadastro(AppContext &ctx, QWidget *parent = nullptr);

    int currentRow() const { return m_row; }
    bool workingRaffleEdited() const { return m_workingRaffleEdited; }
    // Refreshes the two size labels from the two lists.
    void AtualizarTotais();

public Q_SLOTS:
    void Button1Click();
    void DBC_ModalChange();
    void DBC_NumBilheteChange();
    void First();
    void Prior();
    void Next();
    void Last();
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void moveTo(int row);
    void loadRow(); // the controls show the current row
    void setField(const char *column, const QVariant &value);
    void memoExit(QTextEdit *memo);
    void keepWithinColumn(QTextEdit *memo, int columnSize);
    QFont linkCaptionFont() const;
    QLabel *addCaption(const QString &text, int x, int y, int w = -1);

    AppContext &m_ctx;
    RaffleRegistration m_reg;
    int m_row = -1;
    bool m_loading = false;
    bool m_refocusing = false;
    bool m_linesReported = false; // the save already told the line limit; the box left says nothing
    QTextEdit *m_lastMemo = nullptr;
    bool m_workingRaffleEdited = false;
    // The price and date texts as typed, per row: the save reads them, never a parse made while typing.
    QHash<int, QString> m_typedPrice;
    QHash<int, QString> m_typedDate;
    // Puts every typed price and date into its row; false (and the row shown, the reason told) when
    // one does not make a value.
    bool takeTypedValues();
    void forgetTypedValues();

    QLineEdit *DBEdit1 = nullptr;
    WidgetDateEdit *DBDateEdit1 = nullptr;
    QLineEdit *DBEdit3 = nullptr;
    WidgetMoneyEdit *RxDBCalcEdit1 = nullptr;
    QComboBox *DBC_Modal = nullptr;
    QComboBox *DBC_NumBilhete = nullptr;
    QButtonGroup *DBRadioGroup1 = nullptr;
    QRadioButton *m_ativa = nullptr;
    QRadioButton *m_inativa = nullptr;
    QTextEdit *DBMemo1 = nullptr;
    QTextEdit *DBMemo2 = nullptr;
    QLineEdit *DBEdit2 = nullptr;
    QToolButton *m_first = nullptr, *m_prior = nullptr, *m_next = nullptr, *m_last = nullptr;
    QLabel *LBL_TotalNmeros = nullptr;
    QLabel *LBL_PorBIlhete = nullptr;
    QPushButton *Button1 = nullptr;
};
