// Recording: the three items of the recording menu keep step with each
// other, a step counts only while recording, and the ended recording is a
// macro of the text and of the menu whatever the editor answered.
#include <gtest/gtest.h>

#include "macros/MacroRecorder.h"
#include "macros/MenuGroup.h"

using namespace varnel;

namespace {
struct Recorder {
    MenuGroup macros{QStringLiteral("mnMcr")};
    MenuGroup record{QStringLiteral("mnMcrS")};
    MacroRecorder r;
    bool answer = true;
    QStringList asked;
    int ended = 0;
    Recorder()
    {
        macros.add(QStringLiteral("?"));
        for (const char* c : {"-", "記入_開始", "記入_終了", "修正・削除"})
            record.add(QString::fromUtf8(c));
        r.attach(&macros, &record);
        r.services.confirm = [this](const QString& q) {
            asked << q;
            return answer;
        };
        r.services.edit = [](QString&) { return false; }; // closed without updating
        r.services.recordingStarts = [] {};
        r.services.recordingEnds = [this] { ++ended; };
    }
};
} // namespace

TEST(MacroRecorder, ARecordingBecomesANamedMacroOnlyWhenTheUserSaysSo)
{
    Recorder t;
    t.r.RecordMacroStep("回転", "右90度"); // not recording: no step
    EXPECT_TRUE(t.r.buffer.isEmpty());
    t.answer = false;
    t.r.onRecordMenu(MacroRecorder::Start);
    EXPECT_FALSE(t.r.recording);
    t.answer = true;
    t.r.onRecordMenu(MacroRecorder::Start);
    ASSERT_TRUE(t.r.recording);
    EXPECT_FALSE(t.record.isEnabled(MacroRecorder::Start));
    EXPECT_FALSE(t.record.isEnabled(MacroRecorder::Edit));
    EXPECT_TRUE(t.record.isEnabled(MacroRecorder::End));
    t.r.onRecordMenu(MacroRecorder::Start); // disabled: asks nothing
    EXPECT_EQ(t.asked.size(), 2);

    t.r.RecordMacroStep("回転", "右90度");
    t.r.RecordMacroStep("色数", "ｸﾞﾚｰ(8bit)");
    t.answer = false;
    t.r.onRecordMenu(MacroRecorder::End); // cancelled: recording goes on
    EXPECT_TRUE(t.r.recording);
    t.answer = true;
    t.r.onRecordMenu(MacroRecorder::End);
    EXPECT_FALSE(t.r.recording);
    EXPECT_EQ(t.ended, 1);
    EXPECT_EQ(t.r.text, "[新規マクロ]\r\n回転⇒右90度\r\n色数⇒ｸﾞﾚｰ(8bit)");
    EXPECT_TRUE(t.macros.isVisible(0));
    EXPECT_EQ(t.macros.caption(0), "新規マクロ");
    EXPECT_TRUE(t.record.isVisible(MacroRecorder::Separator));
    EXPECT_TRUE(t.record.isEnabled(MacroRecorder::Start));
    EXPECT_FALSE(t.record.isEnabled(MacroRecorder::End));
}
