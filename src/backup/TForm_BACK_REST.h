#pragma once

#include "backup/BackupService.h"
#include "data/AppContext.h"
#include "data/CachedTable.h"

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTreeView;

// "BACKUP GERAL": copies of both database files to a list of folders, and their restore.
class TForm_BACK_REST : public QDialog {
    Q_OBJECT
public:
    explicit TForm_BACK_REST(const AppServices &services, QWidget *parent = nullptr);
    ~TForm_BACK_REST() override;

    const CachedTable &CDS_BACKUP() const { return m_rows; }
    // The folder chosen in the restore layer's tree.
    QString restoreFolder() const { return m_restoreFolder; }

public Q_SLOTS:
    void BitBtn7Click();
    void BitBtn8Click();
    void Button2Click();
    void Button4Click();
    void Button3Click();
    void Button1Click();
    void BitBtn1Click();
    void BitBtn4Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void buildWindow();
    void openRows();
    void refreshGrid();
    void driveChosen(int index);
    void folderChosen(const QString &folder);

    AppServices m_services;
    BackupService m_service;
    CachedTable m_rows{QStringLiteral("CDS_BACKUP")};
    bool m_shown = false;
    QString m_restoreFolder;

    QLabel *Img_fecharTelaNF = nullptr;
    QLabel *m_titleBar = nullptr;
    QFrame *Panel_Principal = nullptr;
    QTableWidget *DBGrid1 = nullptr;
    QFrame *Panel_Novo = nullptr;
    QLineEdit *Ed_caminho = nullptr;
    QFrame *Panel_Restaurar = nullptr;
    QComboBox *DriveComboBox1 = nullptr;
    QTreeView *DirectoryListBox1 = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QListWidget *FileListBox1 = nullptr;
};
