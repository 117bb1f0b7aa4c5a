#include <gtest/gtest.h>

#include "app/CommandLine.h"

using varnel::CommandLine;
using Action = CommandLine::Action;

TEST(CommandLine, NoArgumentsOrOneFile)
{
    EXPECT_EQ(CommandLine::parse({}, "/w").action, Action::Run);
    EXPECT_EQ(CommandLine::parse({}, "/w").file, "");

    // Relative names are made absolute: a running program may open them.
    const CommandLine rel = CommandLine::parse({"pics/../a b.png"}, "/home/u");
    EXPECT_EQ(rel.action, Action::Run);
    EXPECT_EQ(rel.file, "/home/u/a b.png");
    EXPECT_EQ(CommandLine::parse({"/abs/x.bmp"}, "/w").file, "/abs/x.bmp");
    // After "--" a name may begin with a dash.
    EXPECT_EQ(CommandLine::parse({"--", "-odd.png"}, "/w").file, "/w/-odd.png");
    EXPECT_EQ(CommandLine::parse({"--help"}, "/w").action, Action::Help);
}

TEST(CommandLine, AnythingElseIsAUsageError)
{
    for (const QStringList& args : {QStringList{"--bogus"}, QStringList{"-x", "a.png"}, QStringList{"a.png", "b.png"},
                                    QStringList{"-"}, QStringList{""}, QStringList{"--", "a", "b"}}) {
        const CommandLine c = CommandLine::parse(args, "/w");
        EXPECT_EQ(c.action, Action::Fail) << args.join(' ').toStdString();
        EXPECT_TRUE(c.error.startsWith("varnel: ")) << c.error.toStdString();
        EXPECT_TRUE(c.error.contains("usage: varnel [FILE]"));
    }
    EXPECT_TRUE(CommandLine::parse({"--bogus"}, "/w").error.contains("'--bogus'"));
    EXPECT_EQ(CommandLine::kUsageError, 2);
}
