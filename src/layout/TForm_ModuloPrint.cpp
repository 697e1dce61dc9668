#include "layout/TForm_ModuloPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>

namespace {

QLabel *textLine(const QString &text, QRect at, QWidget *parent, bool bold = false, int pixelSize = 12) {
    auto *l = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->setWordWrap(true);
    l->setGeometry(at);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// The root of the volume holding the folder.
QString rootOf(const QString &folder) {
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

} // namespace

TForm_ModuloPrint::TForm_ModuloPrint(AppContext &ctx, PackagePictures pictures, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_pictures(std::move(pictures)), m_package(ctx) {
    setObjectName(QStringLiteral("TForm_ModuloPrint"));
    setWindowTitle(QStringLiteral("KORVANTE - Gerando Módulo de Impressão Externa"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(638, 548);

    QLabel *title = textLine(QStringLiteral("GERANDO DADOS PARA MÓDULO DE IMPRESSÃO EXTERNA"),
                             QRect(16, 12, 606, 24), this, true, 17);
    title->setObjectName(QStringLiteral("LBL_Titulo"));
    title->setAlignment(Qt::AlignCenter);

    const QStringList lines = {
        QStringLiteral("1. Esse recurso serve para imprimir os Bilhetes da RIFA em outro computador, por "
                       "exemplo numa gráfica, sem levar as funções de vendas do sistema."),
        QStringLiteral("2. Usando esse recurso, o sistema transferirá toda base de dados já preparada para "
                       "um Pen-drive ou outro meio de Armazenamnto e você irá Executar uma Versão Compacta "
                       "do KORVANTE que conterá só funções para imprimir no computador que desejar."),
        QStringLiteral("3. Se você já preparou sua RIFA do jeito que deseja ser impresso, então agora é so "
                       "por um PEN-DRIVE ou escolher outro local e depois clica no botão de Preparar "
                       "Módulo de Impressão."),
        QStringLiteral("4. No computador que vai imprimir, instale o KORVANTE e copie todo o conteúdo da "
                       "pasta ModuloKorvante para dentro da pasta do KORVANTE instalado, substituindo os "
                       "arquivos que já existirem."),
        QStringLiteral("5. Depois é só executar o KORVANTE (ou o Korvante_PRINT.exe): abrirá o Módulo de "
                       "Impressão Externa já com a RIFA escolhida aqui."),
    };
    int y = 48;
    for (int i = 0; i < lines.size(); ++i) {
        QLabel *l = textLine(lines.at(i), QRect(16, y, 606, 48), this);
        l->setObjectName(QStringLiteral("LBL_Linha%1").arg(i + 1));
        y += 50;
    }

    textLine(QStringLiteral("Unidade da Gravação"), QRect(16, y + 4, 200, 18), this, true);
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(16, y + 24, 300, 24);
    DirectoryListBox1 = new QListWidget(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(16, y + 54, 300, 480 - (y + 54) + 50);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setGeometry(332, y + 54, 290, 24);
    BitBtn1 = new QPushButton(QStringLiteral("Prepara Módulo de Impressão Externa"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(332, y + 94, 290, 40);
    BitBtn1->setAutoDefault(false);

    QStringList drives;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !drives.contains(v.rootPath())) drives << v.rootPath();
    drives.sort();
    DriveComboBox1->addItems(drives);
    const QString start = QDir(m_ctx.programFolder).absolutePath();
    const int at = DriveComboBox1->findText(rootOf(start));
    if (at >= 0) DriveComboBox1->setCurrentIndex(at);
    showFolder(start);

    connect(DriveComboBox1, &QComboBox::activated, this, &TForm_ModuloPrint::DriveComboBox1Change);
    connect(DirectoryListBox1, &QListWidget::itemDoubleClicked, this, &TForm_ModuloPrint::DirectoryListBox1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm_ModuloPrint::BitBtn1Click);
}

void TForm_ModuloPrint::showFolder(const QString &folder) {
    m_folder = QDir(folder).absolutePath();
    DirectoryListBox1->clear();
    const QString root = rootOf(m_folder);
    // The open folders from the root down, each indented under the one before.
    QStringList chain;
    for (QDir d(m_folder);; ) {
        chain.prepend(d.absolutePath());
        if (d.absolutePath() == QDir(root).absolutePath() || !d.cdUp()) break;
    }
    int depth = 0;
    for (const QString &path : chain) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        auto *item = new QListWidgetItem(QString(depth * 2, u' ') + name, DirectoryListBox1);
        item->setData(Qt::UserRole, path);
        ++depth;
    }
    DirectoryListBox1->setCurrentRow(int(chain.size()) - 1);
    const QStringList subs = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &s : subs) {
        auto *item = new QListWidgetItem(QString(depth * 2, u' ') + s, DirectoryListBox1);
        item->setData(Qt::UserRole, QDir(m_folder).filePath(s));
    }
}

void TForm_ModuloPrint::DriveComboBox1Change() {
    showFolder(DriveComboBox1->currentText());
}

void TForm_ModuloPrint::DirectoryListBox1Change(QListWidgetItem *item) {
    if (item) showFolder(item->data(Qt::UserRole).toString());
}

void TForm_ModuloPrint::BitBtn1Click() {
    Gauge1->setValue(0);
    m_package.build(m_folder, m_pictures, [this](int value) {
        Gauge1->setValue(value);
        Gauge1->repaint();
    });
}
