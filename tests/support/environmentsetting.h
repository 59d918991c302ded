// One environment variable set while a guard lives, and put back as it was
// (set to its old value, or unset) when it goes: tests and benchmarks that
// point the program at a home, a configuration folder or a print server of
// their own.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace rotamet {

class EnvironmentSetting {
public:
    EnvironmentSetting(const char *name, const QByteArray &value)
        : name_(name), saved_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentSetting() { had_ ? qputenv(name_, saved_) : qunsetenv(name_); }
    EnvironmentSetting(const EnvironmentSetting &) = delete;
    EnvironmentSetting &operator=(const EnvironmentSetting &) = delete;

private:
    const char *name_;
    QByteArray saved_;
    bool had_;
};

}  // namespace rotamet
