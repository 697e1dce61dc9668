#include "platform/WidgetDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget *owner() {
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                             : QApplication::activeWindow();
}

QMessageBox::Icon iconOf(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void WidgetDialogs::message(const QString &title, const QString &text, BoxIcon icon) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(iconOf(icon), title, shown, QMessageBox::Ok, owner());
    box.exec();
}

bool WidgetDialogs::question(const QString &title, const QString &text, bool defaultYes) {
    return question(title, text, defaultYes, BoxIcon::Question);
}

bool WidgetDialogs::question(const QString &title, const QString &text, bool defaultYes, BoxIcon icon) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(iconOf(icon), title, shown, QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetDialogs::inputText(const QString &title, const QString &prompt,
                                                const QString &initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString WidgetDialogs::chooseOpenFile(const QString &title, const QString &folder, const QString &filter) {
    return QFileDialog::getOpenFileName(owner(), title, folder, filter);
}

QString WidgetDialogs::chooseSaveFile(const QString &title, const QString &folder, const QString &filter) {
    return QFileDialog::getSaveFileName(owner(), title, folder, filter);
}

QString WidgetDialogs::chooseFolder(const QString &title, const QString &folder) {
    return QFileDialog::getExistingDirectory(owner(), title, folder);
}
