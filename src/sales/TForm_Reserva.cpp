#include "sales/TForm_Reserva.h"

#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/TypedValues.h"
#include "salespage/ModalityFormat.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

QLabel *label(const QString &text, QWidget *parent, QRect place, bool bold = false) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(place);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(bold);
    l->setFont(f);
    return l;
}

} // namespace

TForm_Reserva::TForm_Reserva(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_block(ctx) {
    setObjectName(QStringLiteral("TForm_Reserva"));
    setWindowTitle(QStringLiteral("KORVANTE - Reserva de Bilhetes"));
    setFixedSize(620, 470);

    label(QStringLiteral("DEFINA O INTERVALO DO BLOCO DE BILHETES RESERVAS"), this, {16, 10, 590, 22}, true);
    label(QStringLiteral("Reserve  mais ou menos uns 50 bilhetes!"), this, {16, 34, 590, 20});
    label(QStringLiteral("DE:"), this, {16, 64, 30, 22}, true);
    ED_INICIO = new QLineEdit(QStringLiteral("0"), this);
    ED_INICIO->setObjectName(QStringLiteral("ED_INICIO"));
    ED_INICIO->setGeometry(50, 62, 90, 26);
    label(QStringLiteral("ATÉ"), this, {152, 64, 34, 22}, true);
    ED_FIM = new QLineEdit(QStringLiteral("0"), this);
    ED_FIM->setObjectName(QStringLiteral("ED_FIM"));
    ED_FIM->setGeometry(190, 62, 90, 26);
    Button1 = new QPushButton(QStringLiteral("DEFINIR"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(292, 60, 120, 30);
    Button2 = new QPushButton(QStringLiteral("Retirar Definição"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(420, 60, 180, 30);
    for (QPushButton *b : {Button1, Button2})
        b->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm_Reserva::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm_Reserva::Button2Click);

    label(QStringLiteral("LISTA DE RESERVAS;"), this, {16, 100, 300, 20}, true);
    DBGrid1 = new QTableWidget(0, 2, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(16, 122, 290, 290);
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("NUMBILHETE"), QStringLiteral("STATUS")});
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->hide();
    label(QStringLiteral("Total Reservado:"), this, {16, 420, 130, 22}, true);
    LBL_TotalReservas = label(QStringLiteral("0"), this, {150, 420, 80, 22}, true);
    LBL_TotalReservas->setObjectName(QStringLiteral("LBL_TotalReservas"));
    label(QStringLiteral("C. Bilhetes"), this, {232, 420, 100, 22});

    auto *about = label(
        QStringLiteral("Um bloco de  Bilhetes Reservas serve para os casos que venda bilhetes por Páginas HTML e "
                       "receba o pedido por Whastapp, e caso venha algum Controle de BIlhete ja comprado, o "
                       "sistema vai selecionar outros Dentro do Bloco que foi enviado ao cliente,  e se não tiver "
                       "mais disponível no Bloco, ele irá Procurar os DESSE BLOCO RESERVA AQUI para substituir os "
                       "Repetidos. Caso você não defina um bloco Reserva, o sistema irá escolhe qualquer um "
                       "bilhete aleatório."),
        this, {320, 122, 280, 290});
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

QString TForm_Reserva::invalidRangeMessage() {
    return QStringLiteral("Favor informe nos campos DE e ATÉ apenas números de Controle de Bilhete "
                          "( Ex.: DE 101 ATÉ 150 ). Nada foi reservado.");
}

void TForm_Reserva::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    MostrarDados();
}

void TForm_Reserva::MostrarDados() {
    QList<int> numbers;
    QString error;
    if (!m_block.reserved(&numbers, &error)) m_ctx.dialogs.error(error);
    const ModalityFormat format(QString::number(m_ctx.raffle.MaiorNumero).size());
    DBGrid1->setRowCount(int(numbers.size()));
    for (int r = 0; r < numbers.size(); ++r) {
        DBGrid1->setItem(r, 0, new QTableWidgetItem(format.format(numbers[r])));
        DBGrid1->setItem(r, 1, new QTableWidgetItem(QStringLiteral("R")));
    }
    m_total = int(numbers.size());
    LBL_TotalReservas->setText(QString::number(m_total));
}

void TForm_Reserva::Button1Click() {
    if (m_total > 0) {
        m_ctx.dialogs.error(QStringLiteral(
            "Para gerar uma nova Lista de C. Bilhetes Reservas, deverá Retirar as Deninições Anteriores!"));
        return;
    }
    const auto from = TypedValues::parseWholeNumber(ED_INICIO->text().trimmed());
    const auto to = TypedValues::parseWholeNumber(ED_FIM->text().trimmed());
    if (!from || !to) {
        m_ctx.dialogs.error(invalidRangeMessage());
        ED_INICIO->setFocus();
        return;
    }
    QString error;
    if (!m_block.define(*from, *to, &error)) {
        m_ctx.dialogs.error(error);
        return;
    }
    MostrarDados();
    m_ctx.dialogs.information(QStringLiteral(
        "Definições concluídas com Sucesso. Verifique a Lista se está mostrar os Bilhetes Reservados!"));
}

void TForm_Reserva::Button2Click() {
    // Preselected No: the whole block is released at once.
    if (!m_ctx.dialogs.question(QStringLiteral("KORVANTE"),
                                QStringLiteral("Deseja realmente Zerar esse bloco de C.Bilhete reservas?"), false))
        return;
    QString error;
    if (!m_block.clear(&error)) m_ctx.dialogs.error(error);
    MostrarDados();
}
