#pragma once

#include "platform/EngineErrors.h"

#include <QString>
#include <optional>

enum class BoxIcon { None, Information, Warning, Error, Question };

// Every box a window shows goes through this interface, so tests can record and answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void message(const QString &title, const QString &text, BoxIcon icon) = 0;
    // Yes/No question; returns true for Yes.
    virtual bool question(const QString &title, const QString &text, bool defaultYes) = 0;
    // The same with an icon of its own (a warning before something that cannot be undone).
    virtual bool question(const QString &title, const QString &text, bool defaultYes, BoxIcon icon) {
        Q_UNUSED(icon);
        return question(title, text, defaultYes);
    }
    // Returns nothing when the user cancels.
    virtual std::optional<QString> inputText(const QString &title, const QString &prompt,
                                             const QString &initial) = 0;
    // Empty when cancelled.
    virtual QString chooseOpenFile(const QString &title, const QString &folder, const QString &filter) = 0;
    virtual QString chooseSaveFile(const QString &title, const QString &folder, const QString &filter) = 0;
    virtual QString chooseFolder(const QString &title, const QString &folder) = 0;

    // The usual boxes of the system, titled "KORVANTE" unless told otherwise.
    // The engine's errors inside them are explained in Portuguese first.
    void notice(const QString &text, const QString &title = QStringLiteral("KORVANTE")) {
        message(title, EngineErrors::forPerson(text), BoxIcon::Warning);
    }
    void error(const QString &text, const QString &title = QStringLiteral("KORVANTE")) {
        message(title, EngineErrors::forPerson(text), BoxIcon::Error);
    }
    void information(const QString &text, const QString &title = QStringLiteral("KORVANTE")) {
        message(title, text, BoxIcon::Information);
    }
};
