#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

// A compositor of the tests' own on libwayland-server, on a thread of its
// own: a seat, and the clipboard-watching protocols a test asks for. It sets
// selections on request and writes them to whoever asks, as told.
class TestCompositor {
public:
    struct Offers {
        bool ext = false;
        bool wlroots = false;
        bool gnomeShell = false; // the GNOME compositor's own global
    };
    enum class Writer {
        Whole,   // writes everything, then closes
        Stalled, // writes the first bytes, then keeps the pipe open
    };

    explicit TestCompositor(Offers offers);
    ~TestCompositor();

    // The socket's full path (for wl_display_connect).
    QByteArray socketPath() const;

    // Another program copies: a new selection of these types and bytes.
    void setSelection(const QStringList& types, const QByteArray& bytes, Writer writer = Writer::Whole);
    // The compositor ends every data device (it is shutting down).
    void finish();

    // Counters, readable from the test's thread.
    std::atomic<int> devicesExt{0}, devicesWlroots{0};
    std::atomic<int> offersDestroyed{0};
    std::atomic<int> receives{0};

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
