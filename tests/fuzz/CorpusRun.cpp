// Runs every fuzz target over the files of its committed corpus (tests/fuzz/corpus/<target>/):
// the seeds and every input that once found a fault. With a target name and files, runs just those.
#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv) {
    const QString corpus = QStringLiteral(KORVANTE_FUZZ_CORPUS);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int failures = 0;
    auto runFile = [&](const FuzzSupport::Registered &t, const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot read %s\n", qPrintable(t.name), qPrintable(path));
            ++failures;
            return;
        }
        const QByteArray data = f.readAll();
        FuzzSupport::setCurrentInput(t.name + QStringLiteral(": ") + path);
        t.target(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    };
    for (const FuzzSupport::Registered &t : FuzzSupport::targets()) {
        if (!args.isEmpty() && args.first() != t.name) continue;
        if (args.size() > 1) {
            for (int i = 1; i < args.size(); ++i)
                runFile(t, args[i]);
            continue;
        }
        const QDir dir(corpus + u'/' + t.name);
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        if (files.isEmpty()) {
            std::fprintf(stderr, "%s: no corpus in %s\n", qPrintable(t.name), qPrintable(dir.path()));
            ++failures;
            continue;
        }
        for (const QString &name : files)
            runFile(t, dir.filePath(name));
        std::printf("%s: %lld inputs\n", qPrintable(t.name), qlonglong(files.size()));
        std::fflush(stdout);
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
