#include "layout/WidgetDesignerSettings.h"

#include "layout/TicketLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>
#include <QToolButton>

namespace {

QLabel *caption(QWidget *panel, const QString &text, int x, int y, bool bold = false) {
    auto *l = new QLabel(text, panel);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

WidgetDesignerSettings::WidgetDesignerSettings(QWidget *window) : QFrame(window) {
    setObjectName(QStringLiteral("Panel_apoio"));
    setGeometry(864, 56, 319, 604);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    int y = 4;
    caption(this, QStringLiteral("CONFIGURAÇÕES"), 110, y, true);
    y += 22;
    auto line = [&](const char *name, const QString &text, const QString &column, int maxLength) {
        caption(this, text, 8, y + 3);
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(110, y, 200, 22);
        e->setMaxLength(maxLength);
        bindLine(e, column, false);
        y += 26;
        return e;
    };
    DBEdit1 = line("DBEdit1", QStringLiteral("NOME RIFA"), QStringLiteral("NOME_RIFA"), NomeRifaLength);
    DBEdit2 = line("DBEdit2", QStringLiteral("MODALIDADE"), QStringLiteral("MODALIDADE"), ModalidadeLength);
    DBEdit3 = line("DBEdit3", QStringLiteral("USAR QT NUM"), QStringLiteral("USAR_QT_NUM"), UsarQtNumLength);
    DBEdit2->setReadOnly(true);
    DBEdit3->setReadOnly(true);

    auto pathRow = [&](const char *editName, const char *buttonName, const QString &text,
                       const QString &column) {
        caption(this, text, 8, y + 3);
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(editName));
        e->setGeometry(110, y, 170, 22);
        e->setMaxLength(PathLength);
        bindLine(e, column, false);
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(buttonName));
        b->setText(QStringLiteral("..."));
        b->setGeometry(284, y, 26, 22);
        y += 26;
        return std::pair{e, b};
    };
    std::tie(DBEdit4, Image54) =
        pathRow("DBEdit4", "Image54", QStringLiteral("Arte de Fundo"), QStringLiteral("ART_FUNDO"));
    caption(this, QStringLiteral("Modo da Arte de Fundo"), 8, y + 3);
    DBCheckBox2 = new QCheckBox(QStringLiteral("Estendida"), this);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    DBCheckBox2->move(150, y);
    y += 26;
    std::tie(DBEdit_Livre1, botao_img_Livre1) = pathRow(
        "DBEdit_Livre1", "botao_img_Livre1", QStringLiteral("Imagem Livre 1"), QStringLiteral("IMG_LIVRE1"));
    std::tie(DBEdit_Livre2, botao_img_Livre2) = pathRow(
        "DBEdit_Livre2", "botao_img_Livre2", QStringLiteral("Imagem Livre 2"), QStringLiteral("IMG_LIVRE2"));

    auto list = [&](const char *name, const QString &text, const QStringList &items) {
        caption(this, text, 8, y + 3);
        auto *c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->addItems(items);
        c->setGeometry(250, y, 60, 22);
        y += 26;
        return c;
    };
    DBComboBox1 = list("DBComboBox1", QStringLiteral("Usar Qts Cod. de Barra"), {"0", "1", "2"});
    DBComboBox2 = list("DBComboBox2", QStringLiteral("Usar Nº de Controle do BIlhete"), {"0", "1", "2"});
    DBC_NumColuna = list("DBC_NumColuna", QStringLiteral("Número de Colunas por Folha"), {"0", "2", "3"});
    DBComboBox3 = list("DBComboBox3", QStringLiteral("Usar Identificador de Autenticação"), {"S", "N"});
    addDimensions(y);
}

void WidgetDesignerSettings::addDimensions(int y) {
    caption(this, QStringLiteral("Dimensões do Bilhete"), 8, y + 3, true);
    y += 22;
    // Each field follows its caption, so the row reads whole in any font.
    const QLabel *altura = caption(this, QStringLiteral("ALTURA"), 8, y + 3);
    DBEdit5 = new QLineEdit(this);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    DBEdit5->setGeometry(altura->geometry().right() + 5, y, 36, 22);
    bindLine(DBEdit5, QStringLiteral("DIM_BILHETE_ALT"), true);
    const QLabel *comprimento =
        caption(this, QStringLiteral("COMPRIMENTO"), DBEdit5->geometry().right() + 6, y + 3);
    DBEdit6 = new QLineEdit(this);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBEdit6->setGeometry(comprimento->geometry().right() + 5, y, 36, 22);
    bindLine(DBEdit6, QStringLiteral("DIM_BILHETE_COMP"), true);
    const QLabel *mm = caption(this, QStringLiteral("mm"), DBEdit6->geometry().right() + 4, y + 3);
    Button3 = new QPushButton(QStringLiteral("Aplicar"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    const int aplicar = mm->geometry().right() + 5;
    Button3->setGeometry(aplicar, y, qMax(width() - 8 - aplicar, 48), 22);
    y += 30;
    DBCheckBox1 = new QCheckBox(QStringLiteral("Digitar Textos para usar na Rifa."), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->move(8, y);
    Button5 = new QPushButton(QStringLiteral("Ajustar..."), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(230, y, 80, 22);
}

void WidgetDesignerSettings::bindLine(QLineEdit *edit, const QString &column, bool numeric) {
    connect(edit, &QLineEdit::textEdited, this, [this, column, numeric](const QString &text) {
        if (!numeric) {
            Q_EMIT fieldEdited(column, text);
            return;
        }
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        Q_EMIT fieldEdited(column, ok ? QVariant(v) : QVariant(QMetaType(QMetaType::Int)));
    });
}

void WidgetDesignerSettings::showRow(const QSqlRecord &row, const TicketLayout &layout) {
    DBEdit1->setText(row.value(QStringLiteral("NOME_RIFA")).toString());
    DBEdit2->setText(row.value(QStringLiteral("MODALIDADE")).toString());
    DBEdit3->setText(row.value(QStringLiteral("USAR_QT_NUM")).toString());
    DBEdit4->setText(row.value(QStringLiteral("ART_FUNDO")).toString());
    DBEdit_Livre1->setText(layout.imgLivre[0]);
    DBEdit_Livre2->setText(layout.imgLivre[1]);
    DBCheckBox2->setChecked(layout.artExtendida);
    DBCheckBox1->setChecked(layout.usarTextoBas == 1);
    const auto intText = [&row](const char *column) {
        const QVariant v = row.value(QLatin1String(column));
        return v.isNull() ? QString() : QString::number(v.toInt());
    };
    DBEdit5->setText(intText("DIM_BILHETE_ALT"));
    DBEdit6->setText(intText("DIM_BILHETE_COMP"));
    DBComboBox1->setCurrentText(QString::number(layout.usarCBarra));
    DBComboBox2->setCurrentText(QString::number(layout.usarNumId));
    DBC_NumColuna->setCurrentText(QString::number(layout.qtColFolha));
    DBComboBox3->setCurrentIndex(layout.usarAutentic == QLatin1String("S") ? 0
                                 : layout.usarAutentic.isEmpty()           ? -1
                                                                           : 1);
}

void WidgetDesignerSettings::lockForPrinting() {
    DBEdit5->setEnabled(false);
    DBEdit6->setEnabled(false);
    setToolTip(QStringLiteral(
        "<p style=\"color:#FF0000\">IMPORTANTE: Você está usando um Módulo apenas para Impressão. Diversas "
        "funções estão bloqueadas e não permitem alterar aqui pelo Módulo.</p>"));
}
