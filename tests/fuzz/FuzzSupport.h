#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets. Each target is built twice: with clang's libFuzzer, where it is the
// program's LLVMFuzzerTestOneInput, and with g++ into the suite's corpus run, where it registers
// itself under its name and a small main feeds it every file of its corpus folder.
namespace FuzzSupport {

using Target = int (*)(const uint8_t *data, size_t size);

struct Registration {
    Registration(const char *name, Target target);
};
struct Registered {
    QString name;
    Target target;
};
QList<Registered> &targets();

QByteArray bytes(const uint8_t *data, size_t size);
// The input cut at '\n' into exactly `count` fields (missing ones empty, the rest in the last).
QList<QString> lines(const QByteArray &input, int count);
// An offscreen QGuiApplication for targets that need fonts or text documents.
void ensureApplication();
// A temporary folder that lives as long as the program.
QString scratchFolder();
// Names the input being run, for the message of a failed check.
void setCurrentInput(const QString &name);
[[noreturn]] void fail(const char *condition, const QString &detail, const char *file, int line);

} // namespace FuzzSupport

#define FUZZ_CHECK(condition, detail)                                                                    \
    do {                                                                                                 \
        if (!(condition)) FuzzSupport::fail(#condition, (detail), __FILE__, __LINE__);                  \
    } while (false)

#ifdef KORVANTE_FUZZ_CORPUS_RUN
#define KORVANTE_FUZZ_TARGET(name)                                                                       \
    static int korvanteFuzz_##name(const uint8_t *data, size_t size);                                    \
    static const FuzzSupport::Registration korvanteFuzzRegistration_##name(#name, korvanteFuzz_##name);  \
    static int korvanteFuzz_##name(const uint8_t *data, size_t size)
#else
#define KORVANTE_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
#endif
