#include "platform/WidgetApplicationSetup.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QTest>
#include <memory>
#include <vector>

namespace {

struct Entry {
    const char *name;
    std::function<QObject *()> make;
};

std::vector<Entry> &entries() {
    static std::vector<Entry> list;
    return list;
}

} // namespace

int registerTestClass(const char *name, std::function<QObject *()> make) {
    entries().push_back({name, std::move(make)});
    return int(entries().size());
}

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // The windows are tested as the programs show them.
    setUpApplication(app);
    int failures = 0;
    int ran = 0;
    // KORVANTE_TEST_CLASS=TestName runs one class of the executable.
    const QByteArray only = qgetenv("KORVANTE_TEST_CLASS");
    for (const Entry &e : entries()) {
        if (!only.isEmpty() && only != e.name) continue;
        ++ran;
        std::unique_ptr<QObject> test(e.make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    // A misspelt or removed class must not pass by running nothing.
    if (ran == 0) {
        qCritical("no test class named %s in this executable", only.constData());
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
