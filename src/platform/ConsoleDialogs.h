#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

// Boxes of a terminal program: messages are printed, questions take their default answer.
class ConsoleDialogs : public Dialogs {
public:
    void message(const QString &title, const QString &text, BoxIcon icon) override;
    bool question(const QString &title, const QString &text, bool defaultYes) override;
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override {
        return {};
    }
    QString chooseOpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    int errors() const { return m_errors; }

private:
    int m_errors = 0;
};
