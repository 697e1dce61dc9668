#include "backup/TForm_BACK_REST.h"

#include "data/TDM.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStorageInfo>
#include <QTableWidget>
#include <QTreeView>
#include <QWindow>

namespace {

const QColor kDarkBlue(0, 0, 0xA0);
const QColor kDarkGreen(0, 0x40, 0);
const QString kMissingFiles =
    QStringLiteral("Não foram localizados todos arquivos de backups: BackupCRF.XML e BackupID_BASE.FDB");

QFont arialFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void colour(QWidget *w, const QColor &background, const QColor &text = Qt::white) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
}

QLabel *caption(const QString &text, QWidget *parent, QRect place, int pixelSize = 13) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(place);
    l->setFont(arialFont(pixelSize, true));
    return l;
}

QPushButton *button(const char *name, const QString &text, QWidget *parent, QRect place) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(place);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TForm_BACK_REST::TForm_BACK_REST(const AppServices &services, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_services(services),
      m_service(services.tdm, services.programFolder) {
    buildWindow();
}

TForm_BACK_REST::~TForm_BACK_REST() = default;

void TForm_BACK_REST::buildWindow() {
    setObjectName(QStringLiteral("TForm_BACK_REST"));
    setWindowTitle(QStringLiteral("KORVANTE"));
    setFixedSize(571, 291);
    colour(this, kDarkBlue);

    m_titleBar = caption(QStringLiteral("  BACKUP GERAL"), this, {0, 0, 571, 33}, 16);
    colour(m_titleBar, Qt::black);
    m_titleBar->installEventFilter(this);
    Img_fecharTelaNF = new QLabel(QStringLiteral("X"), this);
    Img_fecharTelaNF->setObjectName(QStringLiteral("Img_fecharTelaNF"));
    Img_fecharTelaNF->setGeometry(540, 4, 26, 26);
    Img_fecharTelaNF->setAlignment(Qt::AlignCenter);
    Img_fecharTelaNF->setFont(arialFont(16, true));
    Img_fecharTelaNF->setToolTip(QStringLiteral("Fechar"));
    Img_fecharTelaNF->setCursor(Qt::PointingHandCursor);
    colour(Img_fecharTelaNF, Qt::black);
    Img_fecharTelaNF->installEventFilter(this);

    // Backup view: the window's own surface.
    caption(QStringLiteral("LISTA DE CAMINHOS"), this, {10, 42, 250, 22});
    connect(button("Button2", QStringLiteral("NOVO"), this, {380, 40, 80, 26}), &QPushButton::clicked, this,
            &TForm_BACK_REST::Button2Click);
    connect(button("Button1", QStringLiteral("Excluir"), this, {470, 40, 90, 26}), &QPushButton::clicked,
            this, &TForm_BACK_REST::Button1Click);
    DBGrid1 = new QTableWidget(0, 2, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(10, 72, 551, 166);
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("CAMINHO"), QStringLiteral("STATUS")});
    DBGrid1->setColumnWidth(0, 330);
    DBGrid1->setColumnWidth(1, 180);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    connect(button("BitBtn1", QStringLiteral("INICIAR BACKUP"), this, {200, 246, 170, 36}),
            &QPushButton::clicked, this, &TForm_BACK_REST::BitBtn1Click);

    Panel_Novo = new QFrame(this);
    Panel_Novo->setObjectName(QStringLiteral("Panel_Novo"));
    Panel_Novo->setGeometry(75, 85, 420, 190);
    Panel_Novo->setFrameShape(QFrame::Box);
    colour(Panel_Novo, QColor(0x40, 0x40, 0x40));
    caption(QStringLiteral("INFORME O CAMINHO"), Panel_Novo, {10, 8, 300, 20});
    Ed_caminho = new QLineEdit(Panel_Novo);
    Ed_caminho->setObjectName(QStringLiteral("Ed_caminho"));
    Ed_caminho->setGeometry(10, 32, 260, 26);
    Ed_caminho->setMaxLength(512); // the column CAMINHO of BACKUP
    connect(button("Button3", QStringLiteral("INCLUIR"), Panel_Novo, {280, 30, 60, 30}),
            &QPushButton::clicked, this, &TForm_BACK_REST::Button3Click);
    connect(button("Button4", QStringLiteral("CANCELAR"), Panel_Novo, {344, 30, 70, 30}),
            &QPushButton::clicked, this, &TForm_BACK_REST::Button4Click);
    auto *note = new QLabel(
        QStringLiteral("OBS.: Um caminho é formado pela Letra da unidade : (dois pontos ) e a  \\  (Barra "
                       "invertida). Ao colocar seu Pen-drive ou HD externo, deverá verificar a Letra que o "
                       "Sistema forneceu para seu Meio de Armazeamento. Exemplo: Se ao colocar o Pen-drive o "
                       "sistema forneceu Letra F, deverá ser o caminho formado assim ") +
            QStringLiteral("F:\\"),
        Panel_Novo);
    note->setGeometry(10, 66, 400, 118);
    note->setWordWrap(true);
    note->setFont(arialFont(11));
    connect(Ed_caminho, &QLineEdit::returnPressed, this, &TForm_BACK_REST::Button3Click);
    Panel_Novo->hide();

    Panel_Restaurar = new QFrame(this);
    Panel_Restaurar->setObjectName(QStringLiteral("Panel_Restaurar"));
    Panel_Restaurar->setGeometry(0, 33, 571, 258);
    colour(Panel_Restaurar, kDarkGreen);
    caption(QStringLiteral("INFORME A UNIDADE:"), Panel_Restaurar, {10, 6, 170, 22});
    DriveComboBox1 = new QComboBox(Panel_Restaurar);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(180, 4, 200, 26);
    caption(QStringLiteral("LOCALIZE A PASTA COM O BACKUP"), Panel_Restaurar, {10, 36, 300, 20});
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setReadOnly(true);
    DirectoryListBox1 = new QTreeView(Panel_Restaurar);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(10, 58, 300, 192);
    DirectoryListBox1->setModel(m_folders);
    DirectoryListBox1->setHeaderHidden(true);
    for (int c = 1; c < m_folders->columnCount(); ++c)
        DirectoryListBox1->hideColumn(c);
    caption(QStringLiteral("Arquivos de Backups de Rifas Encontrados:"), Panel_Restaurar, {320, 36, 250, 20},
            11);
    FileListBox1 = new QListWidget(Panel_Restaurar);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(320, 58, 240, 140);
    connect(button("BitBtn4", QStringLiteral("INICIAR"), Panel_Restaurar, {380, 210, 120, 38}),
            &QPushButton::clicked, this, &TForm_BACK_REST::BitBtn4Click);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { folderChosen(m_folders->filePath(current)); });
    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this, &TForm_BACK_REST::driveChosen);
    Panel_Restaurar->hide();

    Panel_Principal = new QFrame(this);
    Panel_Principal->setObjectName(QStringLiteral("Panel_Principal"));
    Panel_Principal->setGeometry(0, 33, 571, 258);
    colour(Panel_Principal, kDarkBlue);
    connect(button("BitBtn7", QStringLiteral("EFETUAR BACKUP"), Panel_Principal, {95, 90, 180, 60}),
            &QPushButton::clicked, this, &TForm_BACK_REST::BitBtn7Click);
    connect(button("BitBtn8", QStringLiteral("EFETUAR RESTORE"), Panel_Principal, {296, 90, 180, 60}),
            &QPushButton::clicked, this, &TForm_BACK_REST::BitBtn8Click);
}

void TForm_BACK_REST::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm_BACK_REST::FormShow() {
    if (QWidget *p = parentWidget()) move(p->geometry().center() - rect().center());
    openRows();
    Panel_Principal->move(0, 33);
    Panel_Principal->show();
    Panel_Principal->raise();
}

void TForm_BACK_REST::openRows() {
    QString error;
    if (!m_service.openDestinations(m_rows, &error)) m_services.dialogs.error(error);
    refreshGrid();
}

void TForm_BACK_REST::refreshGrid() {
    const int current = DBGrid1->currentRow();
    DBGrid1->setRowCount(m_rows.rowCount());
    for (int r = 0; r < m_rows.rowCount(); ++r) {
        DBGrid1->setItem(r, 0, new QTableWidgetItem(m_rows.value(r, QStringLiteral("CAMINHO")).toString()));
        DBGrid1->setItem(r, 1, new QTableWidgetItem(m_rows.value(r, QStringLiteral("STATUS")).toString()));
    }
    if (m_rows.rowCount() > 0) DBGrid1->selectRow(qBound(0, current, m_rows.rowCount() - 1));
}

void TForm_BACK_REST::BitBtn7Click() {
    Panel_Principal->hide();
}

void TForm_BACK_REST::BitBtn8Click() {
    if (DriveComboBox1->count() == 0) {
        // The drive of the program folder first; pen drives are further down the list.
        const QString home = QStorageInfo(m_services.programFolder).rootPath();
        QStringList roots;
        for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
            if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots << v.rootPath();
        if (!roots.contains(home)) roots.prepend(home);
        roots.sort();
        for (const QString &root : roots)
            DriveComboBox1->addItem(QDir::toNativeSeparators(root), root);
        DriveComboBox1->setCurrentIndex(int(roots.indexOf(home)));
    }
    Panel_Restaurar->move(0, 33);
    Panel_Restaurar->show();
    Panel_Restaurar->raise();
    Panel_Principal->hide();
}

void TForm_BACK_REST::driveChosen(int index) {
    const QString root = DriveComboBox1->itemData(index).toString();
    if (root.isEmpty()) return;
    DirectoryListBox1->setRootIndex(m_folders->setRootPath(root));
    folderChosen(QString());
}

void TForm_BACK_REST::folderChosen(const QString &folder) {
    m_restoreFolder = folder;
    FileListBox1->clear();
    FileListBox1->addItems(BackupService::backupFilesIn(folder));
}

void TForm_BACK_REST::Button2Click() {
    Panel_Novo->show();
    Panel_Novo->raise();
    Ed_caminho->setFocus();
}

void TForm_BACK_REST::Button4Click() {
    Panel_Novo->hide();
}

void TForm_BACK_REST::Button3Click() {
    const QString path = Ed_caminho->text();
    if (path.trimmed().isEmpty() || !QDir(path).exists()) {
        Ed_caminho->setFocus();
        m_services.dialogs.error(
            QStringLiteral("O caminho informado não existe ou não está disponível no momento!"));
        return;
    }
    // Two equal rows could not be told apart when their status is written.
    for (int r = 0; r < m_rows.rowCount(); ++r)
        if (m_rows.value(r, QStringLiteral("CAMINHO")).toString() == path) {
            Ed_caminho->setFocus();
            m_services.dialogs.error(QStringLiteral("Esse caminho já está na Lista de Caminhos!"));
            return;
        }
    const int row = m_rows.appendRow();
    m_rows.setValue(row, QStringLiteral("CAMINHO"), path);
    QString error;
    if (!m_rows.applyUpdates(&error)) {
        m_rows.cancelUpdates();
        refreshGrid();
        m_services.dialogs.error(error);
        return;
    }
    refreshGrid();
    DBGrid1->selectRow(row);
    Ed_caminho->clear();
    Panel_Novo->hide();
    m_services.dialogs.information(QStringLiteral("Caminho adicionado com Sucesso!"));
}

void TForm_BACK_REST::Button1Click() {
    const int row = DBGrid1->currentRow();
    if (row < 0 || row >= m_rows.rowCount()) return;
    if (!m_services.dialogs.question(QStringLiteral("Emissor de Nota Fiscal"),
                                     QStringLiteral("Deseja excluir o Caminho:  ") +
                                         m_rows.value(row, QStringLiteral("CAMINHO")).toString() +
                                         QStringLiteral("?"),
                                     true))
        return;
    QString error;
    if (!m_rows.applyDeletion(row, &error)) {
        m_services.dialogs.error(error);
        return;
    }
    refreshGrid();
    m_services.dialogs.information(QStringLiteral("Pasta/Caminho excluso com sucesso!"));
}

void TForm_BACK_REST::BitBtn1Click() {
    const int total = m_rows.rowCount();
    QStringList folders;
    for (int r = 0; r < total; ++r)
        folders << m_rows.value(r, QStringLiteral("CAMINHO")).toString();
    QStringList results;
    QString reopenError, sourceError;
    {
        WaitCursor wait;
        if (total > 0) results = m_service.backup(folders, &reopenError, &sourceError);
    }
    if (!reopenError.isEmpty()) {
        m_services.dialogs.error(
            QStringLiteral("Não foi possível reabrir as bases de dados. Feche a aplicação e "
                           "reabra!\r\rDetalhe do Erro: ") +
            reopenError);
        return;
    }
    int done = 0;
    const QDateTime now = m_services.clock.now();
    for (int r = 0; r < results.size(); ++r) {
        const bool ok = results[r].isEmpty();
        done += ok ? 1 : 0;
        m_rows.setValue(r, QStringLiteral("STATUS"),
                        ok ? now.date().toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" ás ") +
                                 now.time().toString(QStringLiteral("hh:mm"))
                           : QStringLiteral("Falhou"));
    }
    QString error;
    if (!m_rows.applyUpdates(&error)) m_services.dialogs.error(error);
    refreshGrid();
    if (!sourceError.isEmpty())
        m_services.dialogs.error(sourceError);
    else if (done == 0)
        m_services.dialogs.error(
            QStringLiteral("Nenhum caminho foi encontrado para Gravar seu Cópia de Segurança (Backup )"));
    else
        m_services.dialogs.information(QString::number(done) + QStringLiteral(" dos ") +
                                       QString::number(total) + QStringLiteral(" foram gravadados Backups"));
}

void TForm_BACK_REST::BitBtn4Click() {
    if (const QString refusal = m_service.restoreRefusal(); !refusal.isEmpty()) {
        m_services.dialogs.error(refusal);
        return;
    }
    if (FileListBox1->count() < 2) {
        m_services.dialogs.error(kMissingFiles);
        return;
    }
    BackupService::Restore r;
    {
        WaitCursor wait;
        r = m_service.restore(m_restoreFolder);
    }
    using R = BackupService::Restore::Result;
    switch (r.result) {
    case R::Missing:
        m_services.dialogs.error(kMissingFiles);
        break;
    case R::Refused:
    case R::Failed:
        m_services.dialogs.error(r.message);
        break;
    case R::Done:
        m_services.dialogs.information(QStringLiteral("Restauração do(s) arquivo(s): ") + r.restored +
                                       QStringLiteral(" realizado com Sucesso. Feche a aplicação e reabra!"));
        break;
    }
    if (!r.reopenError.isEmpty()) {
        m_services.dialogs.error(
            QStringLiteral("Não foi possível reabrir as bases de dados. Feche a aplicação e "
                           "reabra!\r\rDetalhe do Erro: ") +
            r.reopenError);
        return;
    }
    // The destination list now comes from the restored database.
    if (r.result == R::Done) openRows();
}

bool TForm_BACK_REST::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress && watched == m_titleBar &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (QWindow *w = windowHandle()) w->startSystemMove();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == Img_fecharTelaNF &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
