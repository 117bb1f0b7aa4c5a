#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>
#include <QTest>

#include <cerrno>
#include <sys/time.h>

#include "editing/StampPreview.h"
#include "MainWindowFixture.h"
#include "app/StartUp.h"
#include "capture/ClipboardWatcher.h"
#include "editing/PictureSurface.h"
#include "platform/DurableFile.h"

using namespace varnel;

namespace {

// Programs started the way the entry point starts them, over fake desktops
// that share one user data home.
struct Starts {
    testfiles::TempFolder dir;
    QString exe;
    std::vector<std::unique_ptr<FakePlatform>> desktops;

    Starts()
    {
        QDir().mkpath(dir.path() + "/prog");
        exe = dir.path() + "/prog/varnel";
    }
    FakePlatform& desktop()
    {
        desktops.push_back(std::make_unique<FakePlatform>());
        desktops.back()->shell->folders[26] = dir.path() + "/data";
        return *desktops.back();
    }
    QString userData() const { return dir.path() + "/data/Quillon/varnel/"; }
};

QImage picture(QRgb c)
{
    QImage img(24, 16, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

void makeOld(const QString& path)
{
    struct timeval tv[2];
    ::gettimeofday(&tv[0], nullptr);
    tv[0].tv_sec -= 3600;
    tv[1] = tv[0];
    ::utimes(QFile::encodeName(path).constData(), tv);
}

} // namespace

TEST(OneProgramPerFolder, ASecondStartBringsTheFirstBackAndEnds)
{
    Starts s;
    FakePlatform& a = s.desktop();
    int code = -1;
    auto first = StartUp(a.platform, s.exe, {}, &code);
    ASSERT_TRUE(first);
    first->SetFormShown(false);
    ASSERT_FALSE(first->FormShown);

    FakePlatform& b = s.desktop();
    auto second = StartUp(b.platform, s.exe, {}, &code);
    EXPECT_FALSE(second);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(first->FormShown); // out of standby
    EXPECT_FALSE(first->watcher()->isHooked());
    EXPECT_EQ(b.instance->sent, QList<InstanceMessage>{InstanceMessage{}});

    // A program that crashed leaves no claim behind that blocks.
    FakeSingleInstance::crashHolderOf(s.userData());
    FakePlatform& c = s.desktop();
    auto third = StartUp(c.platform, s.exe, {}, &code);
    EXPECT_TRUE(third);
}

TEST(OneProgramPerFolder, AFileIsOpenedAtStartOrByTheRunningProgram)
{
    Starts s;
    const QString pic1 = s.dir.file("one.png"), pic2 = s.dir.file("two.bmp");
    picture(qRgb(200, 0, 0)).save(pic1);
    picture(qRgb(0, 0, 200)).save(pic2);

    FakePlatform& a = s.desktop();
    auto first = StartUp(a.platform, s.exe, pic1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->CurrentFilePath, pic1);
    EXPECT_EQ(first->PictureState, 1);
    EXPECT_EQ(first->surface()->picture().image().pixel(0, 0), qRgb(200, 0, 0));

    first->MacroRecording = true;
    first->SetFormShown(false);
    FakePlatform& b = s.desktop();
    int code = -1;
    EXPECT_FALSE(StartUp(b.platform, s.exe, pic2, &code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(first->FormShown);
    EXPECT_EQ(first->CurrentFilePath, pic2);
    EXPECT_EQ(first->surface()->picture().image().pixel(0, 0), qRgb(0, 0, 200));
    EXPECT_TRUE(first->MacroBuffer.isEmpty()); // nobody chose a menu item

    // A name that is no picture file is reported, and the picture stays.
    first->OnInstanceMessage({InstanceMessage::Kind::Open, s.dir.file("none.png")});
    EXPECT_EQ(first->CurrentFilePath, pic2);
    ASSERT_EQ(a.dialogs->messages.size(), 1);
    EXPECT_TRUE(a.dialogs->messages[0].contains(s.dir.file("none.png")));
}

TEST(OneProgramPerFolder, StartRemovesStaleTemporariesOnly)
{
    Starts s;
    const QString work = s.userData() + "Temp/";
    QDir().mkpath(work);
    for (const char* n : {".003.bmp.varnel-Ab12Cd.tmp", ".User.xml.varnel-k9k9k9.tmp", "keep.bmp", ".keep.txt.varnel-Ab12Cd.tmp"}) {
        const QString p = (QString(n).contains("User.xml") ? s.userData() : work) + n;
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        makeOld(p);
    }
    FakePlatform& a = s.desktop();
    auto w = StartUp(a.platform, s.exe);
    ASSERT_TRUE(w);
    EXPECT_FALSE(QFileInfo::exists(work + ".003.bmp.varnel-Ab12Cd.tmp"));
    EXPECT_FALSE(QFileInfo::exists(s.userData() + ".User.xml.varnel-k9k9k9.tmp"));
    EXPECT_TRUE(QFileInfo::exists(work + "keep.bmp"));
    EXPECT_TRUE(QFileInfo::exists(work + ".keep.txt.varnel-Ab12Cd.tmp"));
}

class OrderlyExitTest : public MainWindowTest {
protected:
    QByteArray stored() const
    {
        QFile f(env.userDataFolder + "User.xml");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(OrderlyExitTest, ASignalInStandbySavesAndRemovesTheIcon)
{
    w->SetFormShown(false);
    ASSERT_TRUE(fake.tray->isAdded());
    w->AfterCaptureAction = 2;
    fake.exitRequests->request();
    EXPECT_FALSE(fake.tray->isAdded());
    EXPECT_EQ(fake.tray->removeCount, 1);
    EXPECT_FALSE(w->watcher()->isHooked());
    // Stored in the file's own encoding.
    QStringDecoder dec("CP932");
    EXPECT_TRUE(QString(dec.decode(stored())).contains(QStringLiteral("<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>")));
    // A second request (another signal) changes nothing.
    fake.exitRequests->request();
    EXPECT_EQ(fake.tray->removeCount, 1);
}

TEST_F(OrderlyExitTest, ARunningCommandFinishesFirst)
{
    w->AfterCaptureAction = 3;
    w->SetBusy(true);
    fake.exitRequests->request();
    QTest::qWait(150);
    EXPECT_TRUE(stored().isEmpty()); // still working: nothing written yet
    w->SetBusy(false);
    QTest::qWait(200);
    QStringDecoder dec("CP932");
    EXPECT_TRUE(QString(dec.decode(stored())).contains(QStringLiteral("<ｷｬﾌﾟﾁｬ後表示>3</ｷｬﾌﾟﾁｬ後表示>")));
}

TEST_F(OrderlyExitTest, APasteWaitingForItsOwnerDoesNotHoldTheExitUp)
{
    fake.clipboard->answerLater = true;
    fake.clipboard->setSilently(QImage(8, 8, QImage::Format_RGB32));
    g("mnEdt").click(3); // paste: the owner does not answer
    ASSERT_TRUE(fake.clipboard->pending);
    fake.exitRequests->request();
    EXPECT_TRUE(w->isShuttingDown());
    EXPECT_FALSE(stored().isEmpty()) << "the settings were saved at once";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OrderlyExitTest, AFailedSaveAtExitIsToldAndKeepsTheOldFile)
{
    // A first exit writes the file; the next run cannot replace it.
    w->Exit();
    const QByteArray before = stored();
    ASSERT_FALSE(before.isEmpty());
    w.reset();
    w = std::make_unique<fmMain>(fake.platform, env);
    w->AfterCaptureAction = 0;
    w->SetFormShown(false); // the user must learn of it in standby too
    DurableFile::failNextWrite(DurableFile::Step::Write, ENOSPC);
    w->Exit();
    EXPECT_EQ(stored(), before);
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    const QString m = fake.dialogs->messages[0];
    EXPECT_TRUE(m.startsWith(QStringLiteral("設定を保存できません\n"))) << m.toStdString();
    EXPECT_TRUE(m.contains(env.userDataFolder + "User.xml"));
    EXPECT_TRUE(m.contains(QStringLiteral("ﾃﾞｨｽｸの空き容量が足りません")));
    EXPECT_FALSE(fake.tray->isAdded()); // the exit still completes
}

TEST_F(OrderlyExitTest, AFailedLoadCentresTheWindowAtItsSizeWithoutStamps)
{
    QDir().mkpath(env.apDataFolder);
    picture(qRgb(1, 2, 3)).save(env.apDataFolder + "a.bmp", "BMP");
    w.reset();
    AppEnvironment broken = env;
    broken.userDataFolder = dir.path() + "/gone/"; // no file can be made there
    w = std::make_unique<fmMain>(fake.platform, broken);
    EXPECT_EQ(w->stampPanel()->stamps, QStringList{QString()});
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    const QPoint centre = w->frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - screen->availableGeometry().center().x()), 1);
    EXPECT_LE(std::abs(centre.y() - screen->availableGeometry().center().y()), 1);
}

TEST_F(OrderlyExitTest, AtAnExitFromOutsideNoMessageWaitsAndTheProgramStillEnds)
{
    w->SetFormShown(false);
    EXPECT_TRUE(fake.dialogs->isStandby());
    DurableFile::failNextWrite(DurableFile::Step::Write, ENOSPC);
    fake.exitRequests->request();
    ASSERT_EQ(fake.dialogs->messages.size(), 1);
    EXPECT_TRUE(fake.dialogs->messages[0].startsWith(QStringLiteral("設定を保存できません")));
    EXPECT_TRUE(fake.dialogs->messagesWhileExiting[0]);
    EXPECT_FALSE(fake.tray->isAdded());
}

TEST(StartUpExit, AnExitRequestedWhileStartUpTellsSomethingEndsTheProgramWithItsSettings)
{
    Starts s;
    QDir().mkpath(s.userData());
    QFile f(s.userData() + "User.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringEncoder("CP932").encode(
        QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <ﾕｰｻﾞｰ>\r\n"
                       "      </ｷｬﾌﾟﾁｬ後表示>3<ｷｬﾌﾟﾁｬ後表示>\r\n   </ﾕｰｻﾞｰ>\r\n</運用>")));
    f.close();
    FakePlatform& a = s.desktop();
    // The session ends while the damaged key is being told.
    a.dialogs->onMessage = [&a] {
        a.dialogs->onMessage = nullptr;
        a.exitRequests->request();
    };
    auto w = StartUp(a.platform, s.exe);
    ASSERT_TRUE(w);
    ASSERT_FALSE(a.dialogs->messages.isEmpty());
    EXPECT_TRUE(a.dialogs->isExiting());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 2000)) << "the exit was forgotten";
    QFile saved(s.userData() + "User.xml");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString(QStringDecoder("CP932").decode(saved.readAll())).contains(QStringLiteral("<ｷｬﾌﾟﾁｬ後表示>1</ｷｬﾌﾟﾁｬ後表示>")));
}
