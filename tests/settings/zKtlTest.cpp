#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestFiles.h"
#include "platform/fake/FakePlatform.h"
#include "settings/zKtl.h"

using namespace varnel;

namespace {

// root/fam/varnel is the program's folder; tools are placed around it.
struct Tree {
    testfiles::TempFolder root;
    FakeFamilyStore family;
    int dialogs = 0;
    QString dialogTitle, dialogFolder, dialogName;
    QString answer; // what the user picks in the dialog; empty = cancel

    Tree() { QDir(root.path()).mkpath("fam/varnel"); }
    QString program() const { return root.file("fam/varnel"); }
    QString place(const QString& relative)
    {
        QDir(root.path()).mkpath(QFileInfo(root.file(relative)).path());
        root.write(relative, "#!/bin/sh\n");
        return root.file(relative);
    }
    zKtl locator()
    {
        return zKtl(family, program() + "/", [this](const QString& t, const QString& n, const QString&,
                                                    const QString& f) {
            ++dialogs;
            dialogTitle = t;
            dialogName = n;
            dialogFolder = f;
            return answer;
        });
    }
    QString registered(const char* code) { return family.values.value(QString("QuillonTools/Path/") + code); }
};

} // namespace

TEST(zKtl, ValidRegisteredPathIsTakenWithoutSearchOrWrite)
{
    Tree t;
    t.place("fam/brivane/Brivane");
    const QString elsewhere = t.place("elsewhere/Brivane");
    t.family.values["QuillonTools/Path/Brivane"] = elsewhere;
    QString exe;
    t.locator().GetAppNm(0, exe);
    EXPECT_EQ(exe, elsewhere);
    EXPECT_EQ(t.family.writes, 0);
    EXPECT_EQ(t.dialogs, 0);
}

TEST(zKtl, ToolBesideTheProgramFolderIsFoundAndRegistered)
{
    Tree t;
    // A registered path that has gone counts for nothing.
    t.family.values["QuillonTools/Path/Brivane"] = t.root.file("gone/Brivane");
    const QString tool = t.place("fam/brivane/brivane");
    QString exe;
    t.locator().GetAppNm(0, exe);
    EXPECT_EQ(exe, tool);
    EXPECT_EQ(t.registered("Brivane"), tool);
    EXPECT_EQ(t.dialogs, 0);
}

TEST(zKtl, SearchReachesBesideAndOneLevelInsideTheFamilyFolder)
{
    {
        Tree t;
        const QString tool = t.place("Brivale/Brivale");
        QString parent, found;
        t.locator().GetExePh(parent, "Brivale", "Brivale", found);
        EXPECT_EQ(parent, t.root.file("fam"));
        EXPECT_EQ(found, tool);
    }
    {
        Tree t;
        const QString tool = t.place("other/BRIVALE/Brivale");
        QString parent, found;
        t.locator().GetExePh(parent, "Brivale", "Brivale", found);
        EXPECT_EQ(found, tool);
    }
    {
        // The family folder itself is not searched a second time from above.
        Tree t;
        QDir(t.root.path()).mkpath("fam/varnel/Brivale");
        QString parent, found;
        t.locator().GetExePh(parent, "Brivale", "Brivale", found);
        EXPECT_EQ(found, "");
    }
}

TEST(zKtl, NothingFoundAndDialogCancelledLeavesEverythingAlone)
{
    Tree t;
    QString exe;
    t.locator().GetAppNm(1, exe);
    EXPECT_EQ(exe, "");
    EXPECT_EQ(t.dialogs, 1);
    EXPECT_EQ(t.dialogTitle, "画像L 実行ﾌｧｲﾙの指定");
    EXPECT_EQ(t.dialogFolder, t.root.file("fam"));
    EXPECT_EQ(t.family.writes, 0);
}

TEST(zKtl, ChosenFileIsRegisteredOnlyWhenItExistsAndHasTheExpectedName)
{
    Tree t;
    const QString chosen = t.place("tools/picL");
    t.answer = chosen;
    QString exe;
    t.locator().GetAppNm(1, exe);
    EXPECT_EQ(exe, chosen);
    EXPECT_EQ(t.registered("Brivale"), chosen);

    Tree u;
    u.answer = u.place("tools/wrongname");
    QString expected = "picL";
    u.locator().GetAppNm(1, expected);
    EXPECT_EQ(expected, "picL");
    EXPECT_EQ(u.dialogName, "picL");
    u.answer = u.root.file("tools/picL"); // right name, no such file
    u.locator().GetAppNm(1, expected);
    EXPECT_EQ(expected, "picL");
    EXPECT_EQ(u.family.writes, 0);
}
