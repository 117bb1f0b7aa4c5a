#pragma once
#include "platform/FamilyStore.h"

namespace varnel {

// The family's values in an INI file under the user's configuration folder
// (~/.config/<app>.conf), one group per section.
class SettingsFamilyStore : public FamilyStore {
public:
    QString value(const QString& app, const QString& section, const QString& key) override;
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override;
};

} // namespace varnel
