#include "support/PageBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kSource = QStringLiteral(KORVANTE_SOURCE_DIR);

bool ensureModules(QString *error) {
    const QString modules = kSource + QStringLiteral("/tests/browser/node_modules/");
    if (QFileInfo::exists(modules + QStringLiteral("playwright-core/package.json")) &&
        QFileInfo::exists(modules + QStringLiteral("pix-utils/package.json")) &&
        QFileInfo::exists(modules + QStringLiteral("selenium-webdriver/package.json")))
        return true;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(kSource + QStringLiteral("/scripts/install-node-modules.sh"), {});
    if (!install.waitForFinished(300000) || install.exitCode() != 0) {
        if (error) *error = QStringLiteral("npm ci failed: ") + QString::fromLocal8Bit(install.readAll());
        return false;
    }
    return true;
}

} // namespace

namespace PageBrowser {

QJsonArray readPix(const QStringList &codes, QString *error) {
    if (!ensureModules(error)) return {};
    QProcess node;
    node.setWorkingDirectory(kSource + QStringLiteral("/tests/browser"));
    node.start(QStringLiteral("node"), {QStringLiteral("read_pix.mjs")});
    if (!node.waitForStarted(10000)) {
        if (error) *error = QStringLiteral("node did not start: ") + node.errorString();
        return {};
    }
    node.write(codes.join(u'\n').toUtf8());
    node.closeWriteChannel();
    if (!node.waitForFinished(60000)) {
        node.kill();
        node.waitForFinished(5000);
        if (error) *error = QStringLiteral("the BR Code reader did not finish in time");
        return {};
    }
    const QJsonDocument doc = QJsonDocument::fromJson(node.readAllStandardOutput());
    if (!doc.isArray() && error) *error = QString::fromLocal8Bit(node.readAllStandardError().left(2000));
    return doc.array();
}

QJsonObject run(const QString &page, const QJsonArray &steps, QSize viewport, QString *error, Engine engine) {
    QString why;
    if (!ensureModules(&why)) {
        if (error) *error = why;
        return {};
    }
    QJsonObject input{{"page", QFileInfo(page).absoluteFilePath()}, {"steps", steps}};
    if (viewport.isValid())
        input.insert("viewport", QJsonObject{{"width", viewport.width()}, {"height", viewport.height()}});
    QProcess node;
    node.setWorkingDirectory(kSource + QStringLiteral("/tests/browser"));
    if (engine == Engine::WebKit)
        // MiniBrowser needs a display: a virtual one of its own.
        node.start(QStringLiteral("xvfb-run"),
                   {QStringLiteral("-a"), QStringLiteral("node"), QStringLiteral("drive_page_webkit.mjs")});
    else
        node.start(QStringLiteral("node"), {QStringLiteral("drive_page.mjs")});
    if (!node.waitForStarted(10000)) {
        if (error) *error = QStringLiteral("node did not start: ") + node.errorString();
        return {};
    }
    node.write(QJsonDocument(input).toJson(QJsonDocument::Compact));
    node.closeWriteChannel();
    if (!node.waitForFinished(120000)) {
        node.kill();
        node.waitForFinished(5000);
        if (error) *error = QStringLiteral("the browser did not finish in time");
        return {};
    }
    const QByteArray out = node.readAllStandardOutput();
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parse);
    if (!doc.isObject()) {
        if (error)
            *error = QStringLiteral("unreadable browser output: ") + QString::fromLocal8Bit(out.left(500)) +
                     QString::fromLocal8Bit(node.readAllStandardError().left(2000));
        return {};
    }
    const QJsonObject result = doc.object();
    if (result.contains("failure")) {
        if (error) *error = result.value("failure").toString();
        return {};
    }
    return result;
}

} // namespace PageBrowser
