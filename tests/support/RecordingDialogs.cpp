#include "support/RecordingDialogs.h"

#include <QTest>

namespace {

const char *iconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return "none";
    case BoxIcon::Information:
        return "information";
    case BoxIcon::Warning:
        return "warning";
    case BoxIcon::Error:
        return "error";
    case BoxIcon::Question:
        return "question";
    }
    return "?";
}

} // namespace

QDebug operator<<(QDebug d, BoxIcon icon) {
    return d << iconName(icon);
}

void RecordingDialogs::expectMessage(const QString &text, BoxIcon icon, const QString &title) {
    m_script.append({QStringLiteral("message"), title, text, icon, {}});
}

void RecordingDialogs::expectQuestion(const QString &text, bool answerYes, const QString &title) {
    m_script.append({QStringLiteral("question"), title, text, BoxIcon::Question, answerYes});
}

void RecordingDialogs::expectInput(const QVariant &answer) {
    m_script.append({QStringLiteral("input"), {}, {}, BoxIcon::None, answer});
}

void RecordingDialogs::expectFileChoice(const QString &kind, const QString &path) {
    m_script.append({kind, {}, {}, BoxIcon::None, path});
}

QStringList RecordingDialogs::pendingTexts() const {
    QStringList t;
    for (const Expected &e : m_script)
        t << e.kind + QStringLiteral(": ") + e.text;
    return t;
}

RecordingDialogs::Expected RecordingDialogs::take(const Box &box) {
    shown.append(box);
    if (m_script.isEmpty()) {
        if (!m_lenient)
            QTest::qFail(
                qPrintable(QStringLiteral("unexpected %1 box \"%2\": %3").arg(box.kind, box.title, box.text)),
                __FILE__, __LINE__);
        return {};
    }
    const Expected e = m_script.takeFirst();
    const bool matches = e.kind == box.kind && (e.title.isEmpty() || e.title == box.title) &&
                         (e.text.isEmpty() || e.text == box.text) &&
                         (box.kind != QLatin1String("message") || e.icon == box.icon);
    if (!matches)
        QTest::qFail(
            qPrintable(QStringLiteral("expected %1 box \"%2\" [%3]: %4\n     got %5 box \"%6\" [%7]: %8")
                           .arg(e.kind, e.title, QLatin1String(iconName(e.icon)), e.text, box.kind, box.title,
                                QLatin1String(iconName(box.icon)), box.text)),
            __FILE__, __LINE__);
    return e;
}

void RecordingDialogs::message(const QString &title, const QString &text, BoxIcon icon) {
    take({QStringLiteral("message"), title, text, icon});
}

bool RecordingDialogs::question(const QString &title, const QString &text, bool defaultYes) {
    return question(title, text, defaultYes, BoxIcon::Question);
}

bool RecordingDialogs::question(const QString &title, const QString &text, bool defaultYes, BoxIcon icon) {
    const Expected e = take({QStringLiteral("question"), title, text, icon, defaultYes});
    return e.answer.isValid() ? e.answer.toBool() : defaultYes;
}

std::optional<QString> RecordingDialogs::inputText(const QString &title, const QString &prompt,
                                                   const QString &) {
    const Expected e = take({QStringLiteral("input"), title, prompt, BoxIcon::None});
    if (e.answer.isNull()) return std::nullopt;
    return e.answer.toString();
}

QString RecordingDialogs::chooseOpenFile(const QString &title, const QString &, const QString &) {
    return take({QStringLiteral("open"), title, {}, BoxIcon::None}).answer.toString();
}

QString RecordingDialogs::chooseSaveFile(const QString &title, const QString &, const QString &) {
    return take({QStringLiteral("save"), title, {}, BoxIcon::None}).answer.toString();
}

QString RecordingDialogs::chooseFolder(const QString &title, const QString &) {
    return take({QStringLiteral("folder"), title, {}, BoxIcon::None}).answer.toString();
}
