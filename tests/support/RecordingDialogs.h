#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QVariant>

// Records every box and answers from a script queued before the action; a box the script did
// not expect fails the running test.
class RecordingDialogs : public Dialogs {
public:
    struct Box {
        QString kind; // "message", "question", "input", "open", "save", "folder"
        QString title;
        QString text;
        BoxIcon icon = BoxIcon::None;
        bool defaultYes = false; // for a question: the button Enter would press
    };

    // Expect a message box; an empty title or text matches any.
    void expectMessage(const QString &text, BoxIcon icon, const QString &title = QStringLiteral("KORVANTE"));
    void expectQuestion(const QString &text, bool answerYes,
                        const QString &title = QStringLiteral("KORVANTE"));
    void expectInput(const QVariant &answer); // a null QVariant answers "cancelled"
    void expectFileChoice(const QString &kind, const QString &path);

    // Lets any message through unchecked (for set-up code).
    void setLenient(bool lenient) { m_lenient = lenient; }

    QList<Box> shown;
    bool scriptDone() const { return m_script.isEmpty(); }
    QStringList pendingTexts() const;
    void clear() {
        shown.clear();
        m_script.clear();
    }

    void message(const QString &title, const QString &text, BoxIcon icon) override;
    bool question(const QString &title, const QString &text, bool defaultYes) override;
    bool question(const QString &title, const QString &text, bool defaultYes, BoxIcon icon) override;
    std::optional<QString> inputText(const QString &title, const QString &prompt,
                                     const QString &initial) override;
    QString chooseOpenFile(const QString &title, const QString &folder, const QString &filter) override;
    QString chooseSaveFile(const QString &title, const QString &folder, const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &folder) override;

private:
    struct Expected {
        QString kind;
        QString title;
        QString text;
        BoxIcon icon = BoxIcon::None;
        QVariant answer;
    };
    Expected take(const Box &box);
    QList<Expected> m_script;
    bool m_lenient = false;
};

QDebug operator<<(QDebug d, BoxIcon icon);
