#pragma once
#include <QByteArray>
#include <QString>
#include <QStringEncoder>

// CP932 bytes of a text, as the settings files hold it.
inline QByteArray cp932(const QString& s)
{
    QStringEncoder e("CP932");
    return e.encode(s);
}
