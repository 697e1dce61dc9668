#pragma once

#include <QFrame>
#include <QVariant>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSqlRecord;
class QToolButton;
class TicketLayout;

// The designer's "CONFIGURAÇÕES" panel on the right: the raffle's name, the pictures' paths, the
// element options and the ticket's dimensions. The window reads and reacts to its controls.
class WidgetDesignerSettings : public QFrame {
    Q_OBJECT
public:
    explicit WidgetDesignerSettings(QWidget *window);

    // The fields show the row as loaded.
    void showRow(const QSqlRecord &row, const TicketLayout &layout);
    // The fields a package does not let change.
    void lockForPrinting();
    // The fields keep only what the row's columns keep.
    static constexpr int NomeRifaLength = 35, ModalidadeLength = 20, UsarQtNumLength = 15, PathLength = 300;

    QLineEdit *DBEdit1, *DBEdit2, *DBEdit3, *DBEdit4, *DBEdit_Livre1, *DBEdit_Livre2, *DBEdit5, *DBEdit6;
    QToolButton *Image54, *botao_img_Livre1, *botao_img_Livre2;
    QCheckBox *DBCheckBox2, *DBCheckBox1;
    QComboBox *DBComboBox1, *DBComboBox2, *DBC_NumColuna, *DBComboBox3;
    QPushButton *Button3, *Button5;

Q_SIGNALS:
    // A person typed in a field bound to the row's column (a number column gets null for no number).
    void fieldEdited(const QString &column, const QVariant &value);

private:
    void bindLine(QLineEdit *edit, const QString &column, bool numeric);
    void addDimensions(int y);
};
