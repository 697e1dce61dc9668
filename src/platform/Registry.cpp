#include "platform/Registry.h"

// The current user's place: a normal user cannot write the machine-wide one, and each installation
// on a shared machine must not change another user's values.
Registry::Registry()
    : m_settings(std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Control Panel"),
                                             QStringLiteral("KORVANTE"))) {}

Registry::Registry(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QVariant Registry::value(const QString &name, const QVariant &defaultValue) const {
    return m_settings->value(name, defaultValue);
}

void Registry::setValue(const QString &name, const QVariant &value) {
    m_settings->setValue(name, value);
    m_settings->sync();
}

bool Registry::contains(const QString &name) const {
    return m_settings->contains(name);
}
