#include <gtest/gtest.h>

#include "platform/StartPlatform.h"

using varnel::startPlatform;

TEST(StartPlatform, XWaylandIsChosenOnlyWhenBothDisplaysAreThereAndNothingWasChosen)
{
    EXPECT_EQ(startPlatform("", "wayland-0", ":0", {}), "xcb");
    // The user's own choice stands, by environment or by argument.
    EXPECT_EQ(startPlatform("wayland", "wayland-0", ":0", {}), "");
    EXPECT_EQ(startPlatform("offscreen", "wayland-0", ":0", {}), "");
    EXPECT_EQ(startPlatform("", "wayland-0", ":0", {"-platform", "wayland"}), "");
    EXPECT_EQ(startPlatform("", "wayland-0", ":0", {"--platform=wayland"}), "");
    // A name that merely contains the word is not a choice.
    EXPECT_EQ(startPlatform("", "wayland-0", ":0", {"/home/u/-platformer.png"}), "xcb");
    // Pure Wayland (no XWayland) and pure X11 are left to Qt.
    EXPECT_EQ(startPlatform("", "wayland-0", "", {}), "");
    EXPECT_EQ(startPlatform("", "", ":0", {}), "");
}
