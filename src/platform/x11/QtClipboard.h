#pragma once
#include "platform/Clipboard.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QClipboard;

namespace varnel {

class PictureFetcher;
class XcbClipboardThread;
class XcbSelectionReader;
class XcbPictureRequest;

class QtClipboard : public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);
    ~QtClipboard() override;
    bool hasPicture() const override;
    // While watching on X11: the newest picture the watching thread
    // delivered, without reading anything here.
    QImage takePicture() override;
    QImage takePictureUnless(quint64 key, bool* same) override;
    // Outside standby on X11, read on a thread of its own (XcbPictureRequest).
    void requestPicture(std::function<void(QImage)> done) override;
    void putPicture(const QImage& picture) override;
    void putText(const QString& text) override;
    void watch(bool on) override;

    // The MIME type to fetch, first match wins: cheap decodes before dear ones.
    static QString chooseFormat(const QStringList& offered);
    // Changes are read on a thread of their own (X11 while watching).
    bool readsOffThread() const { return m_thread != nullptr; }

private:
    void onDataChanged();
    // throughQt: Qt's reader, not ours (the type only Qt can read).
    QImage take(quint64 unless, bool* same, bool throughQt = false);
    QClipboard* m_clipboard;
    QByteArray m_display;
    // On X11, pictures are read over a connection of our own (much faster).
    std::unique_ptr<XcbSelectionReader> m_reader;
    std::unique_ptr<PictureFetcher> m_fetcher;
    // While watching on X11, every change is read and decoded there.
    std::unique_ptr<XcbClipboardThread> m_thread;
    quint64 m_generation = 0; // results of an earlier watch are dropped
    QImage m_latest;          // the newest picture it delivered
    quint64 m_latestKey = 0;
    bool m_puttingOwnCopy = false;
    // Reads another program's clipboard without the window: whether it
    // offers a picture (asked at each change), and a paste's picture.
    bool readsAside() const;
    void askFormats() const;
    mutable std::unique_ptr<XcbPictureRequest> m_formatsRequest;
    mutable std::optional<bool> m_offersPicture; // unknown until the owner answered
    mutable quint64 m_formatsGeneration = 0;
    std::unique_ptr<XcbPictureRequest> m_pasteRequest;
    quint64 m_pasteGeneration = 0;
};

} // namespace varnel
