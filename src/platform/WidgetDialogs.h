#pragma once

#include "platform/Dialogs.h"

class QWidget;

// The boxes of the running program, on Qt's standard dialogs.
class WidgetDialogs : public Dialogs {
public:
    void message(const QString &title, const QString &text, BoxIcon icon) override;
    bool question(const QString &title, const QString &text, bool defaultYes) override;
    bool question(const QString &title, const QString &text, bool defaultYes, BoxIcon icon) override;
    std::optional<QString> inputText(const QString &title, const QString &prompt,
                                     const QString &initial) override;
    QString chooseOpenFile(const QString &title, const QString &folder, const QString &filter) override;
    QString chooseSaveFile(const QString &title, const QString &folder, const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &folder) override;
};
