#pragma once

#include "data/AppContext.h"
#include "sellers/SellerRegistry.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The seller registry window.
class TForm_vendedor : public QDialog {
    Q_OBJECT
public:
    explicit TForm_vendedor(const AppServices &services, QWidget *parent = nullptr);
    ~TForm_vendedor() override;

    const SellerRegistry &CDS_VENDEDOR() const { return m_sellers; }

public Q_SLOTS:
    void Btn_novoClick();
    void btn_gravarClick();
    void btn_cancelarClick();
    void btn_localizarClick();
    void btn_excluirClick();
    void LigarB2(bool editing, bool browsing);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void showCurrent();
    void fieldEdited(const QString &column, const QVariant &value);
    void navigate(void (SellerRegistry::*step)());
    QLineEdit *addField(const char *name, const QString &column, const QString &label, QRect place,
                        int maxLength);

    AppServices m_services;
    SellerRegistry m_sellers;
    bool m_shown = false;
    bool m_filling = false;

    QLineEdit *dbcod = nullptr;
    QLineEdit *dbnome = nullptr;
    QLineEdit *dbdocumento = nullptr;
    QLineEdit *dbfone = nullptr;
    QLineEdit *dbende = nullptr;
    QLineEdit *dbbairro = nullptr;
    QLineEdit *dbcidade = nullptr;
    QComboBox *DBC_UF = nullptr;
    QPushButton *Btn_novo = nullptr;
    QPushButton *btn_gravar = nullptr;
    QPushButton *btn_cancelar = nullptr;
    QPushButton *btn_localizar = nullptr;
    QPushButton *btn_excluir = nullptr;
    QList<QPair<QLineEdit *, QString>> m_fields; // field and its column
    QList<QWidget *> m_enterOrder;
};
