#pragma once

#include <QObject>
#include <functional>

// Several test classes share one executable per subsystem folder; each registers itself here and
// the shared main() runs them all.
int registerTestClass(const char *name, std::function<QObject *()> make);

#define KORVANTE_TEST(Class)                                                                                 \
    static const int Class##Registered = registerTestClass(#Class, [] { return new Class; });
