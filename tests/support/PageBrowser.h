#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSize>
#include <QString>
#include <QStringList>

// Drives a page file in headless Chromium (tests/browser/drive_page.mjs): runs the steps and returns
// what the page showed: "results" (one per step), "dialogs" (alerts with their text), "opened"
// (addresses the page asked to open), "pageErrors" and "consoleErrors". The npm modules are
// installed from the lock file when missing.
namespace PageBrowser {
// Chromium (playwright-core), or WebKit, the iPhone's engine (WebKitWebDriver and its MiniBrowser
// through selenium-webdriver, tests/browser/drive_page_webkit.mjs, under xvfb-run).
enum class Engine { Chromium, WebKit };
QJsonObject run(const QString &page, const QJsonArray &steps, QSize viewport = {}, QString *error = nullptr,
                Engine engine = Engine::Chromium);

// Reads "Pix Copia e Cola" codes with an independent BR Code parser (tests/browser/read_pix.mjs):
// per code {"key", "name", "city", "amount"}, or {"error"} when a bank app would refuse it.
QJsonArray readPix(const QStringList &codes, QString *error = nullptr);

// Step builders.
inline QJsonObject click(const QString &selector) {
    return {{"click", selector}};
}
inline QJsonObject type(const QString &selector, const QString &text) {
    return {{"type", QJsonArray{selector, text}}};
}
inline QJsonObject blur(const QString &selector) {
    return {{"blur", selector}};
}
inline QJsonObject text(const QString &selector) {
    return {{"text", selector}};
}
inline QJsonObject html(const QString &selector) {
    return {{"html", selector}};
}
inline QJsonObject value(const QString &selector) {
    return {{"value", selector}};
}
inline QJsonObject visible(const QString &selector) {
    return {{"visible", selector}};
}
inline QJsonObject eval(const QString &expression) {
    return {{"eval", expression}};
}
inline QJsonObject screenshot(const QString &path, const QString &selector = {}) {
    QJsonObject o{{"screenshot", path}};
    if (!selector.isEmpty()) o.insert("selector", selector);
    return o;
}
// A selector for an element whose id holds characters CSS would read otherwise ("C-0042").
inline QString byId(const QString &id) {
    return QStringLiteral("[id=\"%1\"]").arg(id);
}
} // namespace PageBrowser
