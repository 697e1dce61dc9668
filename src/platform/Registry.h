#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

// The system's two registry values ("CidPadrao", "GRADE") under Control Panel\KORVANTE.
// Tests give it a file of their own.
class Registry {
public:
    Registry(); // the platform's place (the Windows registry on Windows)
    explicit Registry(const QString &iniFile);

    QVariant value(const QString &name, const QVariant &defaultValue = {}) const;
    void setValue(const QString &name, const QVariant &value);
    bool contains(const QString &name) const;

private:
    std::unique_ptr<QSettings> m_settings;
};
