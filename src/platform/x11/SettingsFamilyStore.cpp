#include "SettingsFamilyStore.h"

#include <QSettings>

namespace varnel {

QString SettingsFamilyStore::value(const QString& app, const QString& section, const QString& key)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app);
    return s.value(section + QLatin1Char('/') + key).toString();
}

void SettingsFamilyStore::setValue(const QString& app, const QString& section, const QString& key,
                                   const QString& value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app);
    s.setValue(section + QLatin1Char('/') + key, value);
}

} // namespace varnel
