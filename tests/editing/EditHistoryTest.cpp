#include <gtest/gtest.h>

#include "editing/EditHistory.h"

using varnel::EditHistory;
using varnel::EditSnapshot;
using varnel::Picture;

namespace {
EditSnapshot shot(QRgb c, int side = 10, const char* code = "32")
{
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(c);
    return {Picture(img), QString::fromLatin1(code), QString()};
}
QRgb colourOf(const EditSnapshot& s)
{
    return s.picture.image().pixel(0, 0);
}
} // namespace

TEST(EditHistory, UndoAndRedoWalkTheSteps)
{
    EditHistory h;
    EXPECT_FALSE(h.undo(shot(1)).has_value());
    h.push(shot(qRgb(1, 0, 0), 10, "8"));
    h.push(shot(qRgb(2, 0, 0)));
    // The current picture is 3.
    auto s = h.undo(shot(qRgb(3, 0, 0)));
    ASSERT_TRUE(s);
    EXPECT_EQ(colourOf(*s), qRgb(2, 0, 0));
    s = h.undo(*s);
    ASSERT_TRUE(s);
    EXPECT_EQ(colourOf(*s), qRgb(1, 0, 0));
    EXPECT_EQ(s->depthCode, "8");
    EXPECT_FALSE(h.canUndo());
    EXPECT_EQ(h.redoCount(), 2);
    s = h.redo(*s);
    ASSERT_TRUE(s);
    EXPECT_EQ(colourOf(*s), qRgb(2, 0, 0));
    s = h.redo(*s);
    EXPECT_EQ(colourOf(*s), qRgb(3, 0, 0));
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.undoCount(), 2);
}

TEST(EditHistory, NewStepForgetsRedo)
{
    EditHistory h;
    h.push(shot(qRgb(1, 0, 0)));
    auto s = h.undo(shot(qRgb(2, 0, 0)));
    ASSERT_TRUE(h.canRedo());
    h.push(*s);
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.undoCount(), 1);
    EXPECT_EQ(h.bytes(), 10 * 10 * 4);
}

TEST(EditHistory, OldestStepsGoWhenMemoryRunsOut)
{
    const qint64 one = 10 * 10 * 4;
    EditHistory h(3 * one);
    for (int i = 1; i <= 5; ++i)
        h.push(shot(qRgb(i, 0, 0)));
    EXPECT_EQ(h.undoCount(), 3);
    EXPECT_EQ(h.bytes(), 3 * one);
    // The newest three remain.
    auto s = h.undo(shot(qRgb(6, 0, 0)));
    EXPECT_EQ(colourOf(*s), qRgb(5, 0, 0));
    // A picture larger than the whole limit is not kept at all.
    h.push(shot(qRgb(9, 0, 0), 40));
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.bytes(), 0);
}

TEST(EditHistory, DropLastAndClear)
{
    EditHistory h;
    h.push(shot(qRgb(1, 0, 0)));
    h.push(shot(qRgb(2, 0, 0)));
    const auto pushes = h.pushCount();
    h.dropLast();
    EXPECT_EQ(h.bytes(), 10 * 10 * 4) << "a dropped step gives its bytes back";
    ASSERT_TRUE(h.last());
    EXPECT_EQ(colourOf(*h.last()), qRgb(1, 0, 0));
    EXPECT_EQ(h.pushCount(), pushes);
    h.clear();
    EXPECT_FALSE(h.canUndo());
    EXPECT_EQ(h.bytes(), 0);
}

TEST(EditHistory, RedoKeepsToTheLimit)
{
    const qint64 one = 10 * 10 * 4;
    EditHistory h(3 * one);
    h.push(shot(qRgb(1, 0, 0)));
    h.push(shot(qRgb(2, 0, 0)));
    auto s = h.undo(shot(qRgb(3, 0, 0)));
    s = h.undo(*s);
    // Going forward from a picture four times the size of a step.
    h.redo(shot(qRgb(4, 0, 0), 20));
    EXPECT_LE(h.bytes(), h.limit());
}
