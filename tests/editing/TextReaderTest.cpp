#include "editing/TextReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using varnel::TextReader;

TEST(TextReader, TidyJoinsJapaneseKeepsEnglishWordsAndTrimsBlankLines)
{
    EXPECT_EQ(TextReader::tidy("\n\n文 字 の 読 み 取 り Save As\n\n\n\nOK  キャン セル \n\n"),
              QString("文字の読み取り Save As\n\nOK  キャンセル"));
}

TEST(TextReader, AHangingOrFailingReaderEndsWithAReason)
{
    QTemporaryDir dir;
    auto script = [&](const char* name, const QByteArray& body) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::white);

    TextReader hanging(script("hang", "exec sleep 30"));
    QElapsedTimer t;
    t.start();
    const TextReader::Result slow = hanging.readNow(img, 500);
    EXPECT_FALSE(slow.ok);
    EXPECT_TRUE(slow.error.contains("中止")) << slow.error.toStdString();
    EXPECT_LT(t.elapsed(), 5000);

    TextReader failing(script("fail", "cat > /dev/null; echo 'no jpn data' >&2; exit 3"));
    const TextReader::Result bad = failing.readNow(img);
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.error.contains("3") && bad.error.contains("no jpn data")) << bad.error.toStdString();

    // The picture reaches the reader on its standard input, enlarged and grey.
    TextReader echoing(script("echo", "head -c 2 | tr -d '\\n'; echo; cat > /dev/null"));
    const TextReader::Result fed = echoing.readNow(img);
    EXPECT_TRUE(fed.ok);
    EXPECT_EQ(fed.text, "P5");
    EXPECT_EQ(TextReader::prepare(img).size(), img.size() * TextReader::kScale);
    EXPECT_TRUE(TextReader::prepare(img).isGrayscale());

    EXPECT_TRUE(TextReader(dir.filePath("none")).executable().isEmpty());
}
