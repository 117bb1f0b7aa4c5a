#include <gtest/gtest.h>

#include "cli/CommandLine.h"

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

TEST(CommandLine, BatchToolsVersionAndTheToolkitsOwnOptions)
{
    const CommandLine m = CommandLine::parse({"--macro", "A", "x.png", "y.png"}, "/w");
    EXPECT_EQ(m.action, Action::Macro);
    EXPECT_EQ(m.macroName, "A");
    EXPECT_EQ(m.files, QStringList({"x.png", "y.png"}));
    const CommandLine j = CommandLine::parse({"-platform", "offscreen", "--join", "out.png", "a.bmp", "b.bmp"}, "/w");
    EXPECT_EQ(j.action, Action::Join);
    EXPECT_EQ(j.output, "out.png");
    EXPECT_EQ(j.files, QStringList({"a.bmp", "b.bmp"}));
    EXPECT_EQ(CommandLine::parse({"--ocr", "a.png"}, "/w").files, QStringList{"a.png"});
    EXPECT_EQ(CommandLine::parse({"--version"}, "/w").action, Action::Version);
    EXPECT_TRUE(CommandLine::version().startsWith("varnel "));
    // A file to open after the toolkit's options, as before.
    EXPECT_EQ(CommandLine::parse({"-display", ":3", "a.png"}, "/w").file, "/w/a.png");
    // Too few files for a tool: a usage error naming the option.
    for (const QStringList& args : {QStringList{"--macro", "A"}, QStringList{"--join", "out.png", "a.png"},
                                    QStringList{"--ocr"}, QStringList{"a.png", "--join", "o", "b", "c"}}) {
        const CommandLine c = CommandLine::parse(args, "/w");
        EXPECT_EQ(c.action, Action::Fail) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(CommandLine::parse({"--join", "o.png"}, "/w").error.contains("--join"));
    for (const char* option : {"--macro NAME", "--join OUT", "--ocr FILE", "--version"})
        EXPECT_TRUE(CommandLine::usage().contains(option)) << option;
}
