#pragma once
#include <QString>

namespace varnel {

// Per-user values shared by the programs of one tool family
// (application, section, key -> text).
class FamilyStore {
public:
    virtual ~FamilyStore() = default;
    virtual QString value(const QString& app, const QString& section, const QString& key) = 0;
    virtual void setValue(const QString& app, const QString& section, const QString& key,
                          const QString& value) = 0;
};

} // namespace varnel
