#include "support/PackageFixture.h"

#include "layout/PrintPackage.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

namespace PackageFixture {

QImage quarters(QSize size, QColor a, QColor b) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    const int w = size.width() / 2, h = size.height() / 2;
    p.fillRect(0, 0, w, h, a);
    p.fillRect(w, 0, size.width() - w, h, b);
    p.fillRect(0, h, w, size.height() - h, b);
    p.fillRect(w, h, size.width() - w, size.height() - h, a);
    return img;
}

bool near(QColor a, QColor b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QStringList writePictures(TestInstallation &inst) {
    QDir(inst.folder()).mkpath(QStringLiteral("art"));
    const QStringList paths = {inst.file(QStringLiteral("art/fundo.jpg")), inst.file(QStringLiteral("art/livre1.jpg")),
                               inst.file(QStringLiteral("art/livre2.jpg"))};
    quarters({300, 160}, QColor(200, 30, 30), QColor(30, 30, 200)).save(paths[0], "JPG", 95);
    quarters({60, 40}, QColor(20, 160, 20), QColor(240, 240, 20)).save(paths[1], "JPG", 95);
    quarters({50, 50}, QColor(0, 0, 0), QColor(250, 120, 0)).save(paths[2], "JPG", 95);
    return paths;
}

bool prepareRaffleTwo(TestInstallation &inst, const QStringList &pictures) {
    const bool row = inst.exec(
        QStringLiteral("UPDATE CADASTRO SET NOME_RIFA=?, MODALIDADE='0000 - 9999', USAR_QT_NUM='4 Números', "
                       "VLR_RIFA=10, RIFA_ATIVA=1, USAR_NUM_ID_BILHETE=1, POS_NUMBILHETE_L=300, "
                       "POS_NUMBILHETE_T=40, QT_COL_FOLHA=2, USAR_AUTENTIC='N', USAR_CBARRA=0, "
                       "DIM_BILHETE_ALT=50, DIM_BILHETE_COMP=95, ART_FUNDO=?, ART_EXTENDIDA='N', "
                       "IMG_LIVRE1=?, IMG_LIVRE1_L=60, IMG_LIVRE1_T=70, IMG_LIVRE2=?, IMG_LIVRE2_L=200, "
                       "IMG_LIVRE2_T=120 WHERE CODRIFA=2"),
        {raffleName(), pictures.value(0), pictures.value(1), pictures.value(2)});
    if (!row) return false;
    // Every ticket of the raffle, as a dealt number base holds them.
    if (inst.count(QStringLiteral("BS4_D")) != 2500 &&
        !inst.exec(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= 2500) DO BEGIN "
            "INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (:i, :i - 1, :i + 2499, :i + 4999, :i + 7499); "
            "i = i + 1; END END")))
        return false;
    inst.raffle.CodRifaUsar = QStringLiteral("2");
    inst.raffle.MaiorNumero = 9999;
    inst.raffle.QtNumBilhete = 4;
    inst.raffle.TabelaBaseUsar = QStringLiteral("BS4_D");
    inst.raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_2");
    inst.raffle.LBL_RifaUsar = raffleName();
    return true;
}

bool installPrintModule(TestInstallation &inst) {
    const QString target = PrintPackage::installedPrintModule(inst.folder());
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    return QFile::copy(QStringLiteral(KORVANTE_APP_DIR "/Korvante_moduloPrint/") + PrintPackage::printModuleFileName(),
                       target);
}

void doubleClick(QWidget *w, QPoint at) {
    // As the window system delivers it: press, release, double-click, release.
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

void walkTo(QListWidget *list, const QString &folder) {
    const auto open = [list](const QString &path) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            if (item->data(Qt::UserRole).toString() != path) continue;
            list->scrollToItem(item);
            doubleClick(list->viewport(), list->visualItemRect(item).center());
            return true;
        }
        return false;
    };
    QVERIFY2(open(list->item(0)->data(Qt::UserRole).toString()), "no root");
    QString path = list->item(0)->data(Qt::UserRole).toString();
    const QString target = QDir(folder).absolutePath();
    for (const QString &part : target.mid(path.size()).split(u'/', Qt::SkipEmptyParts)) {
        path = QDir(path).filePath(part);
        QVERIFY2(open(path), qPrintable(path));
    }
}

} // namespace PackageFixture
