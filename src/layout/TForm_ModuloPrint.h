#pragma once

#include "data/AppContext.h"
#include "layout/PrintPackage.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

// "Gerando Módulo de Impressão Externa": the organiser picks a drive and folder (a pen drive) and
// writes the print package of the working raffle there.
class TForm_ModuloPrint : public QDialog {
    Q_OBJECT
public:
    TForm_ModuloPrint(AppContext &ctx, PackagePictures pictures, QWidget *parent = nullptr);

    // The folder list's current folder: where ModuloKorvante is written.
    QString currentFolder() const { return m_folder; }

public Q_SLOTS:
    void BitBtn1Click();

private:
    void DriveComboBox1Change();
    void DirectoryListBox1Change(QListWidgetItem *item);
    // The list shows the folders from the drive's root down to the current one, then its sub-folders.
    void showFolder(const QString &folder);

    AppContext &m_ctx;
    PackagePictures m_pictures;
    PrintPackage m_package;
    QString m_folder;
    QComboBox *DriveComboBox1 = nullptr;
    QListWidget *DirectoryListBox1 = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
};
