#include "platform/Registry.h"
#include "support/TestRegistry.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What every program sets up at start (the test main does the same): Portuguese dialogs and formats,
// and the registry values kept for the current user.
class TestApplicationSetup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void standardDialogsSpeakPortuguese();
    void registryValuesArePerUser();

private:
    QTemporaryDir m_home;
};

void TestApplicationSetup::standardDialogsSpeakPortuguese() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("KORVANTE"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancelar"));
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Sim"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Não"));
    QInputDialog input;
    input.show();
    auto *buttons = input.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    QCalendarWidget calendar;
    QCOMPARE(calendar.locale().standaloneMonthName(12), QStringLiteral("dezembro"));
    QCOMPARE(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));
}

void TestApplicationSetup::registryValuesArePerUser() {
    // This user's configuration folder, set before the first settings are read.
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
    const QString systemFile = QStringLiteral("/etc/xdg/Control Panel/KORVANTE.conf");
    const bool systemFileBefore = QFile::exists(systemFile);
    {
        Registry registry;
        registry.setValue(QStringLiteral("CidPadrao"), QStringLiteral("CAMPINAS-SP"));
        registry.setValue(QStringLiteral("GRADE"), 1);
    }
    QFile file(QDir(m_home.path()).filePath(QStringLiteral("Control Panel/KORVANTE.conf")));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray written = file.readAll();
    QVERIFY(written.contains("CidPadrao=CAMPINAS-SP"));
    QVERIFY(written.contains("GRADE=1"));
    QCOMPARE(QFile::exists(systemFile), systemFileBefore); // nothing machine-wide
    Registry again;
    QCOMPARE(again.value(QStringLiteral("CidPadrao")).toString(), QStringLiteral("CAMPINAS-SP"));
}

KORVANTE_TEST(TestApplicationSetup)
#include "TestApplicationSetup.moc"
