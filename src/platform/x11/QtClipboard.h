#pragma once
#include "platform/Clipboard.h"

#include <memory>

class QClipboard;

namespace varnel {

class XcbSelectionReader;

class QtClipboard : public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);
    ~QtClipboard() override;
    bool hasPicture() const override;
    QImage takePicture() override;
    QImage takePictureUnless(quint64 key, bool* same) override;
    void putPicture(const QImage& picture) override;
    void putText(const QString& text) override;

    // The MIME type to fetch, first match wins: cheap decodes before dear ones.
    static QString chooseFormat(const QStringList& offered);

private:
    void onDataChanged();
    QImage take(quint64 unless, bool* same);
    QClipboard* m_clipboard;
    // On X11, pictures are read over a connection of our own (much faster).
    std::unique_ptr<XcbSelectionReader> m_reader;
    // The format the last picture came in over that connection.
    QString m_lastFormat;
    bool m_puttingOwnCopy = false;
};

} // namespace varnel
