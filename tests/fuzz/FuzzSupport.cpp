#include "FuzzSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {
QString &currentInput() {
    static QString name;
    return name;
}
} // namespace

Registration::Registration(const char *name, Target target) {
    targets().append({QString::fromLatin1(name), target});
}

QList<Registered> &targets() {
    static QList<Registered> all;
    return all;
}

QByteArray bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QList<QString> lines(const QByteArray &input, int count) {
    QList<QString> out;
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        if (from > input.size()) {
            out << QString();
            continue;
        }
        const qsizetype nl = i + 1 < count ? input.indexOf('\n', from) : -1;
        const qsizetype end = nl < 0 ? input.size() : nl;
        out << QString::fromUtf8(input.mid(from, end - from));
        from = nl < 0 ? input.size() + 1 : nl + 1;
    }
    return out;
}

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "korvante_fuzz";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // lives until the program ends, as libFuzzer never returns
}

QString scratchFolder() {
    // In memory where the system has it: the profile file's safe save syncs every write to disk.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/korvante_fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/korvante_fuzz-XXXXXX"));
    return dir.path();
}

void setCurrentInput(const QString &name) {
    currentInput() = name;
}

void fail(const char *condition, const QString &detail, const char *file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n  input: %s\n", file, line, condition,
                 qPrintable(detail), qPrintable(currentInput().isEmpty() ? QStringLiteral("(fuzzer)") : currentInput()));
    std::fflush(stderr);
    std::abort();
}

} // namespace FuzzSupport
