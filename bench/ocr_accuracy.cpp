// ocr_accuracy: how well and how fast the text reader reads screenshots.
//
//   QT_QPA_PLATFORM=offscreen ocr_accuracy [--show] [--scale N] [--screen-only]
//
// Renders menus and dialogs with known texts in IPA Gothic at 12, 14 and
// 16 px (as a 96 dpi screen shows them), reads each with the text reader
// and counts the characters right: 1 - edit distance / characters, blanks
// left out on both sides. Then times one 1920 x 1080 screen of such
// windows, from the picture to the text. --show prints what was read.
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "editing/TextReader.h"

using namespace varnel;

namespace {

struct Sample {
    const char* kind;
    QStringList lines;
};

const std::vector<Sample>& samples()
{
    static const std::vector<Sample> s{
        {"menu", {"ファイルを開く", "上書き保存", "名前を付けて保存", "作業フォルダを開く", "キャプチャー待機", "終了"}},
        {"menu", {"元に戻す", "やり直し", "切り取り", "コピー", "貼り付け", "すべて選択"}},
        {"menu", {"画像編集", "トリミング", "リサイズ", "回転", "色数", "画像枠を追加"}},
        {"menu", {"File", "Open...", "Save As...", "Print Preview", "Settings", "Exit"}},
        {"dialog", {"保存されていない変更があります。", "変更を保存しますか?", "保存", "保存しない", "キャンセル"}},
        {"dialog", {"作業フォルダを空にして良いですか", "この操作は元に戻せません。", "OK", "キャンセル"}},
        {"dialog", {"Do you want to save the changes", "to the picture before closing?", "Save", "Don't Save",
                    "Cancel"}},
        {"dialog", {"ネットワークに接続できません", "設定を確認してから再度お試しください。", "再試行", "閉じる"}},
    };
    return s;
}

// How many of a dialog's last lines are its buttons.
int buttonCount(const Sample& s)
{
    int n = 0;
    for (qsizetype i = s.lines.size() - 1; i > 0 && s.lines[i].size() <= 10 && !s.lines[i].endsWith(QChar(0x3002)) &&
                                           !s.lines[i].endsWith(QLatin1Char('?'));
         --i)
        ++n;
    return n;
}

// A menu (items in a column on light grey) or a dialog (the message, the
// buttons in a row), as a desktop draws them.
QImage render(const Sample& s, int px)
{
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(px);
    const QFontMetrics fm(f);
    const int line = fm.height() + px / 2;
    const bool dialog = QByteArray(s.kind) == "dialog";
    const int buttons = dialog ? buttonCount(s) : 0;
    int w = 0, buttonsW = 0;
    for (qsizetype i = 0; i < s.lines.size(); ++i) {
        if (i >= s.lines.size() - buttons)
            buttonsW += fm.horizontalAdvance(s.lines[i]) + 36;
        else
            w = std::max(w, fm.horizontalAdvance(s.lines[i]));
    }
    w = std::max(w, buttonsW);
    QImage img(w + 80, line * (int(s.lines.size()) + 2) + 40, QImage::Format_RGB32);
    img.fill(dialog ? QColor(240, 240, 240) : QColor(246, 246, 246));
    QPainter p(&img);
    p.setFont(f);
    p.setPen(QColor(20, 20, 20));
    int y = 20 + fm.ascent();
    for (qsizetype i = 0; i < s.lines.size() - buttons; ++i, y += line)
        p.drawText(dialog ? 40 : 28, y, s.lines[i]);
    int x = 40;
    y += line / 2;
    for (qsizetype i = s.lines.size() - buttons; i < s.lines.size(); ++i) {
        const int bw = fm.horizontalAdvance(s.lines[i]) + 24;
        p.setPen(QColor(140, 140, 140));
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(x, y - fm.ascent() - 6, bw, fm.height() + 10);
        p.setPen(QColor(20, 20, 20));
        p.drawText(x + 12, y, s.lines[i]);
        x += bw + 12;
    }
    return img;
}

QString squeezed(const QString& s)
{
    QString out;
    for (QChar c : s)
        if (!c.isSpace())
            out += c;
    // Full-width forms of ASCII read as ASCII.
    return out.normalized(QString::NormalizationForm_KC);
}

int distance(const QString& a, const QString& b)
{
    std::vector<int> prev(size_t(b.size()) + 1), cur(prev.size());
    for (size_t j = 0; j < prev.size(); ++j)
        prev[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        cur[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j)
            cur[size_t(j)] = std::min({prev[size_t(j)] + 1, cur[size_t(j - 1)] + 1,
                                       prev[size_t(j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        std::swap(prev, cur);
    }
    return prev[size_t(b.size())];
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    bool show = false, screenOnly = false;
    TextReader reader;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--show")
            show = true;
        else if (QByteArray(argv[i]) == "--screen-only")
            screenOnly = true;
        else if (QByteArray(argv[i]) == "--scale" && i + 1 < argc)
            reader.setScale(atoi(argv[++i]));
    }
    if (reader.executable().isEmpty()) {
        std::printf("tesseract is not installed: nothing measured\n");
        return 1;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
        std::printf("warning: IPAGothic is not installed; another font stands in\n");
    long long right = 0, total = 0;
    for (int px : {12, 14, 16}) {
        if (screenOnly)
            break;
        long long r = 0, t = 0;
        for (const Sample& s : samples()) {
            const QString expected = squeezed(s.lines.join(QString()));
            const TextReader::Result res = reader.readNow(render(s, px));
            const QString got = squeezed(res.text);
            const int d = distance(expected, got);
            t += expected.size();
            r += std::max<qsizetype>(0, expected.size() - d);
            if (show)
                std::printf("%2d px %-6s %3d errors: %s\n", px, s.kind, d, qPrintable(res.text.simplified()));
        }
        std::printf("%d px: %.1f %% of %lld characters right\n", px, 100.0 * double(r) / double(t), t);
        right += r;
        total += t;
    }
    if (!screenOnly)
        std::printf("all sizes: %.1f %% of %lld characters right\n", 100.0 * double(right) / double(total), total);

    // One screen full of the same windows, read whole.
    QImage screen(1920, 1080, QImage::Format_RGB32);
    screen.fill(QColor(58, 110, 165));
    {
        QPainter p(&screen);
        int x = 20, y = 20, rowH = 0, i = 0;
        for (int px : {12, 14, 16})
            for (const Sample& s : samples()) {
                const QImage part = render(s, px);
                if (x + part.width() > 1900) {
                    x = 20;
                    y += rowH + 20;
                    rowH = 0;
                }
                if (y + part.height() > 1060)
                    break;
                p.drawImage(x, y, part);
                x += part.width() + 20;
                rowH = std::max(rowH, part.height());
                ++i;
            }
    }
    // Wall time, and the CPU time of the process and the reader: on a busy
    // machine the wall time says more about the other loads.
    auto cpuMs = [] {
        double total = 0;
        for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
            rusage u{};
            getrusage(who, &u);
            total += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
                     double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
        }
        return total;
    };
    std::vector<double> ms, cpu;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const double cpuBefore = cpuMs();
        const TextReader::Result res = reader.readNow(screen);
        ms.push_back(double(t.elapsed()));
        cpu.push_back(cpuMs() - cpuBefore);
        if (!res.ok)
            std::printf("failed: %s\n", qPrintable(res.error));
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("1920 x 1080 screen: median %.0f ms (fastest %.0f, slowest %.0f), CPU median %.0f ms\n", ms[1], ms[0],
                ms[2], cpu[1]);
    return 0;
}
