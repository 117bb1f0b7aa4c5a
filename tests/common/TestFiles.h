#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace testfiles {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + "/" + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Every pixel different: red from x, green from y (40 x 30 by default).
QImage gradient(int width = 40, int height = 30);
// One colour throughout.
QImage filled(QRgb colour, int width = 40, int height = 30);

} // namespace testfiles
