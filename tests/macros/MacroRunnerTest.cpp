#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "macros/MacroRunner.h"
#include "macros/MenuGroup.h"

using namespace varnel;

namespace {
const QString CRLF = "\r\n";

// The ten menu groups with their captions, each handler logging
// "keyword:index"; disabled items of the file, stitch and colour groups do
// nothing, as their real handlers do.
struct FakeMenus {
    std::vector<std::unique_ptr<MenuGroup>> groups;
    QStringList clicks;

    MenuGroup* add(const QString& name, const QString& keyword, const QStringList& captions,
                   int first = 0, bool checksEnabled = false)
    {
        auto g = std::make_unique<MenuGroup>(name, keyword);
        for (int i = 0; i < captions.size(); ++i)
            g->addAt(first + i, captions[i]);
        MenuGroup* raw = g.get();
        g->setHandler([this, raw, checksEnabled](int i) {
            if (checksEnabled && !raw->isEnabled(i))
                return;
            clicks << raw->keyword() + ":" + QString::number(i);
        });
        groups.push_back(std::move(g));
        return raw;
    }
    FakeMenus()
    {
        add("mnFile", "ﾌｧｲﾙ", {"開く(&O)", "上書き保存(&S)", "名前を付けて保存", "x", "-", "作業ﾌｫﾙﾀﾞ",
                               "格納", "-", "y", "ｷｬﾌﾞﾁｬｰ待機", "-", "終了(&X)"}, 0, true);
        add("mnWkf", "作業ﾌｫﾙﾀﾞ", {"連番をつけて保存", "ｴｸｽﾌﾟﾛｰﾗｰで開く", "Brivaneで開く", "-", "ﾌｫﾙﾀﾞを空にする"});
        add("mnKkn", "格納", {"連番をつけて保存", "ｴｸｽﾌﾟﾛｰﾗｰで開く", "Brivaneで開く", "-", "画像格納の指定"});
        add("mnEdt", "画像編集", {"読込時の画像に戻す", "-", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付", "-",
                                 "範囲", "ﾄﾘﾐﾝｸﾞ", "ﾘｻｲｽﾞ", "綴じ込み", "回転", "-", "色数", "ﾂｰﾙﾊﾞｰを表示",
                                 "画像枠を追加"});
        add("mnUsHn", "範囲USR", {"AB(10 * 20 px)", "A(30 * 40 px)"});
        add("mnRng", "範囲", {"-", "範囲の登録", "範囲のｸﾘｱ", "-", "強調(相対)", "強調(ﾏｰｶｰ)", "-", "ﾓｻﾞｲｸ"});
        add("mnResize", "ﾘｻｲｽﾞ", {"横方向を基準に縮小", "縦方向を基準に縮小", "-", "縦横比率を変えて縮小"});
        add("mnCut", "綴込", {"縦方向", "横方向"}, 0, true);
        add("mnRotate", "回転", {"左右反転", "上下反転", "-", "右90度", "右180度", "左90度", "左180度"});
        add("mnColr", "色数", {"16色(4bit)", "ｸﾞﾚｰ(4bit)", "256色(8bit)", "ｸﾞﾚｰ(8bit)", "16bit", "24bit", "32bit"},
            1, true);
    }
    QList<MenuGroup*> table() const
    {
        QList<MenuGroup*> t;
        for (const auto& g : groups)
            t << g.get();
        return t;
    }
    MenuGroup& g(int i) { return *groups[size_t(i)]; }
};

QStringList runLines(FakeMenus& m, const QStringList& body)
{
    MacroRunner r(m.table());
    m.clicks.clear();
    r.run("[M]" + CRLF + body.join(CRLF), "M");
    return m.clicks;
}
} // namespace

TEST(MacroRunner, ChoosesFirstItemWhoseCaptionBeginsWithArgument)
{
    FakeMenus m;
    EXPECT_EQ(runLines(m, {"回転⇒右"}), QStringList({"回転:3"}));
    EXPECT_EQ(runLines(m, {"回転⇒右180度"}), QStringList({"回転:4"}));
    EXPECT_EQ(runLines(m, {"色数⇒32bit"}), QStringList({"色数:7"}));
    EXPECT_EQ(runLines(m, {"色数⇒ｸﾞﾚｰ"}), QStringList({"色数:2"}));
    EXPECT_EQ(runLines(m, {"範囲⇒強調"}), QStringList({"範囲:4"}));
    EXPECT_EQ(runLines(m, {"範囲USR⇒A"}), QStringList({"範囲USR:0"})); // AB comes first
    EXPECT_EQ(runLines(m, {"ﾌｧｲﾙ⇒開く"}), QStringList({"ﾌｧｲﾙ:0"}));
    EXPECT_EQ(runLines(m, {"回転⇒"}), QStringList({"回転:0"})); // empty argument: first item
    // Separators and submenu headers are reached; their handlers decide.
    EXPECT_EQ(runLines(m, {"作業ﾌｫﾙﾀﾞ⇒-", "画像編集⇒範囲"}), QStringList({"作業ﾌｫﾙﾀﾞ:3", "画像編集:5"}));
}

TEST(MacroRunner, LinesThatNameNothingAreSkippedAndTheRunGoesOn)
{
    FakeMenus m;
    EXPECT_EQ(runLines(m, {"ﾌｧｲﾙ ⇒開く", "回転⇒右\t", "未知⇒右", "plain words", "", "回転⇒ 右",
                           "  回転⇒左右  "}),
              QStringList({"回転:0"}));
    // Hidden and disabled items are searched; the handler's own check acts.
    m.g(8).setVisible(3, false);
    m.g(8).setEnabled(3, false);
    EXPECT_EQ(runLines(m, {"回転⇒右"}), QStringList({"回転:3"}));
    m.g(0).setEnabled(1, false);
    EXPECT_EQ(runLines(m, {"ﾌｧｲﾙ⇒上書き保存", "回転⇒右"}), QStringList({"回転:3"}));
}

TEST(MacroRunner, OnlyTheTenKeywordGroupsTakePart)
{
    FakeMenus m;
    auto macros = std::make_unique<MenuGroup>("mnMcr", "ﾏｸﾛ");
    macros->add("M");
    macros->setHandler([&](int) { m.clicks << "macro"; });
    QList<MenuGroup*> table = m.table();
    table << macros.get();
    MacroRunner r(table);
    EXPECT_FALSE(r.runStep("ﾏｸﾛ", "M"));
    EXPECT_TRUE(r.runStep("回転", "右"));
    EXPECT_EQ(m.clicks, QStringList({"回転:3"}));
}

TEST(MacroRunner, RunTakesItsLinesAtStartAndStopsWhenTheProgramEnds)
{
    FakeMenus m;
    QString text = "[M]" + CRLF + "回転⇒右" + CRLF + "ﾌｧｲﾙ⇒終了" + CRLF + "回転⇒左";
    MacroRunner r(m.table());
    bool ended = false;
    r.alive = [&] { return !ended; };
    // The exit item ends the program; the step after it must not run.
    m.g(0).setHandler([&](int i) { m.clicks << "ﾌｧｲﾙ:" + QString::number(i); ended = true; });
    // A step that rewrites the text does not change the run in progress.
    m.g(8).setHandler([&](int i) { m.clicks << "回転:" + QString::number(i); text.clear(); });
    const MacroRunner::Result res = r.run(text, "M");
    EXPECT_EQ(m.clicks, QStringList({"回転:3", "ﾌｧｲﾙ:11"}));
    EXPECT_TRUE(res.found);
    EXPECT_TRUE(res.stopped);
    EXPECT_TRUE(res.error.isEmpty());
    EXPECT_EQ(res.stepsRun, 2);
    EXPECT_FALSE(r.run(text, "M").found); // gone from the text now
}

TEST(MacroRunner, RefusedOrFailedStepEndsTheRunWithItsReason)
{
    FakeMenus m;
    MacroRunner r(m.table());
    r.refuse = [](const MenuGroup& g, int i) {
        return g.keyword() == "ﾌｧｲﾙ" && i == 9 ? QString("no standby") : QString();
    };
    int failAfter = -1;
    r.failure = [&] { return m.clicks.size() == failAfter ? QString("dialog") : QString(); };
    MacroRunner::Result res = r.run("[M]" + CRLF + "回転⇒右" + CRLF + "ﾌｧｲﾙ⇒ｷｬﾌﾞ" + CRLF + "回転⇒左", "M");
    EXPECT_EQ(m.clicks, QStringList({"回転:3"}));
    EXPECT_EQ(res.error, "no standby");
    m.clicks.clear();
    failAfter = 1;
    res = r.run("[M]" + CRLF + "回転⇒右" + CRLF + "回転⇒左", "M");
    EXPECT_EQ(m.clicks, QStringList({"回転:3"}));
    EXPECT_EQ(res.error, "dialog");
}

TEST(MacroRunner, CommandThatThrowsOrRunsMacrosForeverIsContained)
{
    FakeMenus m;
    MacroRunner r(m.table());
    m.g(8).setHandler([](int) { throw std::runtime_error("out of memory"); });
    MacroRunner::Result res = r.run("[M]" + CRLF + "回転⇒右" + CRLF + "色数⇒16bit", "M");
    EXPECT_TRUE(res.stopped);
    EXPECT_TRUE(res.error.contains("out of memory"));
    EXPECT_TRUE(m.clicks.isEmpty());

    // A command that starts the macro again: the nesting is bounded.
    int calls = 0;
    const QString text = "[M]" + CRLF + "回転⇒右";
    QString innermost;
    m.g(8).setHandler([&](int) {
        ++calls;
        const MacroRunner::Result inner = r.run(text, "M");
        if (!inner.error.isEmpty())
            innermost = inner.error;
    });
    res = r.run(text, "M");
    EXPECT_EQ(calls, MacroRunner::kMaxDepth);
    EXPECT_FALSE(innermost.isEmpty());
    EXPECT_TRUE(r.run(text, "M").found); // the depth count is back to zero
}
