#pragma once

#include "data/AppContext.h"
#include "platform/WidgetStepAside.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

// "Transferir Bilhete por WhatsApp": hands the ticket pictures and the number lists to WhatsApp Web
// through the clipboard, and opens the buyer's chat.
class TForm_Whats : public QDialog {
    Q_OBJECT
public:
    // tickets: the control numbers whose pictures lie in the picture folder; digits: the modality
    // number format of their names.
    TForm_Whats(AppContext &ctx, QList<int> tickets, int digits, QWidget *parent = nullptr);

    // Filled by the opener before the window is shown.
    void setNumberLines(const QStringList &withoutCode, const QStringList &withCode);
    QString pictureFolder() const;
    // The text "COPIAR SÓ NÚMEROS" puts on the clipboard.
    QString numbersText() const;

    static QString chatMessage();

public Q_SLOTS:
    void Button1Click();
    void BTN_CopiarNumClick();
    void Button2Click();
    void img_whatsClick();
    void Timer1Timer();
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void List_IMGClick();
    QString entryFile(int row) const;
    void copyFile(const QString &path);
    QLabel *addLabel(const QString &text, QRect place, QWidget *parent = nullptr);

    AppContext &m_ctx;
    QList<int> m_tickets;
    int m_digits;
    bool m_actionTaken = false;
    int m_numbersBlinks = 0, m_linkBlinks = 0;
    WidgetStepAside m_aside; // the main window and the designer, while this one is open

    QLabel *img_zap = nullptr;
    QListWidget *List_IMG = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Label5 = nullptr;
    QPlainTextEdit *Memo_NumBilhete1 = nullptr;
    QPlainTextEdit *Memo_NumBilhete2 = nullptr;
    QCheckBox *Check_autentica = nullptr;
    QPushButton *BTN_CopiarNum = nullptr;
    QLabel *LBL_AvisoCopiar = nullptr;
    QLineEdit *ED_LINK = nullptr;
    QPushButton *Button2 = nullptr;
    QLabel *LBL_AvisoCopiar_Link = nullptr;
    QLineEdit *Ed_DDD = nullptr;
    QLineEdit *Ed_telefone = nullptr;
    QToolButton *img_whats = nullptr;
    QLabel *LBL_CodPais = nullptr;
    QLineEdit *Ed_CodPais = nullptr;
    QLabel *Label16 = nullptr;
    QFrame *Panel_Instrucoes = nullptr;
    QLabel *Img_FecharInstrucoes = nullptr;
    QTimer *Timer1 = nullptr;
};
