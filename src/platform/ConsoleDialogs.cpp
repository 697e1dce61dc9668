#include "platform/ConsoleDialogs.h"

void ConsoleDialogs::message(const QString &, const QString &text, BoxIcon icon) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (icon == BoxIcon::Error) ++m_errors;
    std::fprintf(icon == BoxIcon::Error ? stderr : stdout, "\r%s%s\n", icon == BoxIcon::Error ? "Erro: " : "",
                 shown.toLocal8Bit().constData());
    std::fflush(stdout);
}

bool ConsoleDialogs::question(const QString &title, const QString &text, bool defaultYes) {
    message(title, text, BoxIcon::Question);
    return defaultYes;
}
