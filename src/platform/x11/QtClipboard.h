#pragma once
#include "platform/Clipboard.h"

class QClipboard;

namespace varnel {

class QtClipboard : public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);
    bool hasPicture() const override;
    QImage takePicture() override;
    QImage takePictureUnless(quint64 key, bool* same) override;
    void putPicture(const QImage& picture) override;

    // The MIME type to fetch, first match wins: cheap decodes before dear ones.
    static QString chooseFormat(const QStringList& offered);

private:
    void onDataChanged();
    QImage take(quint64 unless, bool* same);
    QClipboard* m_clipboard;
    bool m_puttingOwnCopy = false;
};

} // namespace varnel
