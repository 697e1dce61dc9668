// Loaded into the programs of the build through LD_PRELOAD by the end-to-end test of the print
// module: inside Korvante_PRINT it acts as the person at the printing computer (mouse clicks and
// keys on the real windows) and writes what that person sees into KORVANTE_DRIVER_OUT/log.txt.
// In any other program, or without KORVANTE_DRIVER_OUT, it does nothing.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

QString outFolder() {
    return qEnvironmentVariable("KORVANTE_DRIVER_OUT");
}

void note(const QString &key, const QString &value) {
    QFile log(QDir(outFolder()).filePath(QStringLiteral("log.txt")));
    if (!log.open(QIODevice::Append | QIODevice::Text)) return;
    QString v = value;
    v.replace(u'\n', QStringLiteral("\\n"));
    log.write((key + u'=' + v + u'\n').toUtf8());
}

template <class T> T *child(QWidget *w, const char *name) {
    return w ? w->findChild<T *>(QLatin1String(name)) : nullptr;
}

void click(QWidget *w) {
    if (!w) return;
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

QString pictureFiles() {
    QStringList files = QDir(QCoreApplication::applicationDirPath())
                            .entryList({QStringLiteral("imd*")}, QDir::Files);
    files.sort();
    return files.join(u',');
}

// Runs the action once a modal window of the class (or object name) is the active one.
void whenModal(const QString &kind, std::function<void(QWidget *)> action, int triesLeft = 1200) {
    QTimer::singleShot(50, qApp, [kind, action, triesLeft] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && (w->objectName() == kind || QLatin1String(w->metaObject()->className()) == kind) &&
            w->isVisible()) {
            action(w);
        } else if (triesLeft > 0) {
            whenModal(kind, action, triesLeft - 1);
        } else {
            note(QStringLiteral("timeout"), kind);
        }
    });
}

// A message box: its text is written down, then OK.
void answerBox(const QString &key) {
    whenModal(QStringLiteral("QMessageBox"), [key](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        note(key, box->windowTitle() + u'|' + box->text());
        click(box->button(QMessageBox::Ok));
    });
}

// Enter accepts the typed name; a suggestion list still open over the field is closed with Esc first.
void confirmFileName(QWidget *dialog, QLineEdit *name, int triesLeft) {
    if (QWidget *popup = QApplication::activePopupWidget())
        QTest::keyClick(popup, Qt::Key_Escape);
    else
        QTest::keyClick(name, Qt::Key_Return);
    QPointer<QWidget> d(dialog);
    QPointer<QLineEdit> n(name);
    QTimer::singleShot(300, qApp, [d, n, triesLeft] {
        if (d && d->isVisible() && n && triesLeft > 0) confirmFileName(d, n, triesLeft - 1);
    });
}

void previewSteps(QWidget *preview) {
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("BaseRifaPRN"), false));
    note(QStringLiteral("queued"), q.exec(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")) && q.next()
                                       ? q.value(0).toString()
                                       : QStringLiteral("?"));
    note(QStringLiteral("pages"), child<QLabel>(preview, "LBL_Pagina")->text());
    whenModal(QStringLiteral("QFileDialog"), [](QWidget *dialog) {
        auto *name = child<QLineEdit>(dialog, "fileNameEdit");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QDir(outFolder()).filePath(QStringLiteral("bilhetes.pdf")));
        confirmFileName(dialog, name, 100);
    });
    note(QStringLiteral("step"), QStringLiteral("pdf"));
    click(child<QWidget>(preview, "BTN_SalvarPDF"));
    note(QStringLiteral("step"), QStringLiteral("pdf written"));
    click(child<QWidget>(preview, "BTN_Fechar"));
}

void designerSteps(QWidget *designer) {
    note(QStringLiteral("designer"), designer->windowTitle());
    auto *fundo = child<QLabel>(designer, "img_fundo");
    note(QStringLiteral("fundoVisible"), fundo && fundo->isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
    if (fundo) fundo->pixmap().save(QDir(outFolder()).filePath(QStringLiteral("fundo.png")));
    auto *livre1 = child<QLabel>(designer, "Img_LIVRE1");
    if (livre1) livre1->pixmap().save(QDir(outFolder()).filePath(QStringLiteral("livre1.png")));
    note(QStringLiteral("picturesOpen"), pictureFiles());

    auto *columns = child<QComboBox>(designer, "DBC_NumColuna");
    note(QStringLiteral("columnsBefore"), columns->currentText());
    answerBox(QStringLiteral("columnsBox"));
    columns->setFocus();
    QTest::keyClick(columns, columns->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    note(QStringLiteral("columnsAfter"), columns->currentText());

    click(child<QWidget>(designer, "BOTAO_IMPRIMIR"));
    for (const auto &[name, text] : {std::pair{"Edit_DE", "1"}, std::pair{"Edit_ATE", "5000"}}) {
        auto *edit = child<QLineEdit>(designer, name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QLatin1String(text));
    }
    whenModal(QStringLiteral("TForm_Visualizar"), previewSteps);
    click(child<QWidget>(designer, "Img_botaoImprimir"));
    click(child<QWidget>(designer, "img_fecharPOS"));
}

void scenario(QWidget *menu) {
    note(QStringLiteral("program"), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    note(QStringLiteral("title"), menu->windowTitle());
    note(QStringLiteral("label"), child<QLabel>(menu, "LBL_RifaUsar")->text());

    whenModal(QStringLiteral("TForm_pos"), designerSteps);
    click(child<QWidget>(menu, "LBL_Personalizar"));
    note(QStringLiteral("picturesAfter"), pictureFiles());

    whenModal(QStringLiteral("TForm_Usar"), [](QWidget *chooser) { click(child<QWidget>(chooser, "BTN_ESCOLHER")); });
    click(child<QWidget>(menu, "IMG_EscolherRifa"));
    note(QStringLiteral("labelAfterChooser"), child<QLabel>(menu, "LBL_RifaUsar")->text());
    answerBox(QStringLiteral("noRaffleBox"));
    click(child<QWidget>(menu, "Img_Person"));
    note(QStringLiteral("done"), QStringLiteral("1"));
    click(child<QWidget>(menu, "img_fechar"));
}

void waitForMenu(int triesLeft) {
    QTimer::singleShot(100, qApp, [triesLeft] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("TForm_RIFA") && w->isVisible() && !QApplication::activeModalWidget()) {
                scenario(w);
                return;
            }
        }
        if (triesLeft > 0) waitForMenu(triesLeft - 1);
        else note(QStringLiteral("timeout"), QStringLiteral("TForm_RIFA"));
    });
}

void start() {
    if (outFolder().isEmpty()) return;
    if (!QFileInfo(QCoreApplication::applicationFilePath()).fileName().startsWith(QLatin1String("Korvante_PRINT")))
        return;
    note(QStringLiteral("started"), QString::number(QCoreApplication::applicationPid()));
    waitForMenu(600);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
