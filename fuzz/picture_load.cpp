// The bytes as any picture file through the engine's load entry point (our
// BMP and PCX readers, Qt's readers for the rest), then one conversion and a
// save to memory, the way an opened file is worked on.
#include <QByteArray>
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

#include "editing/engine/Picture.h"

using namespace varnel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt's image plugins are found through the application object.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    Picture p;
    if (!p.loadFromData(input))
        return 0;
    const int code = p.depthCode();
    if (p.width() <= 0 || p.height() <= 0 || p.width() > Picture::kMaxSide || p.height() > Picture::kMaxSide)
        abort();
    if (code != 1 && code != 4 && code != 40 && code != 8 && code != 80 && code != 16 && code != 24 && code != 32)
        abort();
    // Keep the work per input small: only modest pictures go further.
    if (qint64(p.width()) * p.height() > 512 * 512)
        return 0;
    Picture back;
    if (!back.loadFromData(p.encode(ImageFormat::Bmp)) || back.depthCode() != code)
        abort();
    p.convertDepth(code == 8 ? 4 : 8, true);
    (void)p.encode(ImageFormat::Png);
    return 0;
}
