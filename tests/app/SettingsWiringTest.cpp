#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>

#include "editing/StampPreview.h"
#include "MainWindowFixture.h"
#include "editing/PictureSurface.h"
#include "settings/SettingsValues.h"

using namespace varnel;

namespace {
void writeStamp(const QString& path, QRgb c)
{
    QImage img(16, 16, QImage::Format_RGB888);
    img.fill(c);
    img.save(path, "BMP");
}
} // namespace

class SettingsWiringTest : public MainWindowTest {
protected:
    void restart()
    {
        w.reset();
        w = std::make_unique<fmMain>(fake.platform, env);
        w->show();
    }
    QByteArray storedFile() const
    {
        QFile f(env.userDataFolder + "User.xml");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SettingsWiringTest, FirstStartUsesDefaultsAndWritesAllGroupsAtExit)
{
    EXPECT_EQ(w->AfterCaptureAction, 1);
    EXPECT_EQ(w->CaptureColourIndex, 0);
    EXPECT_TRUE(w->bMpnt);
    EXPECT_TRUE(w->StandbyOnMinimise);
    EXPECT_EQ(w->StorageExtension, "png");
    EXPECT_TRUE(g("mnCptW").isChecked(0));
    EXPECT_TRUE(g("mnMpn").isChecked(0));
    EXPECT_TRUE(w->scaleBox()->isChecked());
    EXPECT_FALSE(w->zoomList()->isEnabled());
    g("mnFile").click(11);
    const QByteArray bytes = storedFile();
    EXPECT_TRUE(bytes.startsWith("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n"));
    EXPECT_TRUE(bytes.contains("<Left>"));
    EXPECT_TRUE(bytes.contains("<COMMAND></COMMAND>"));
}

TEST_F(SettingsWiringTest, ExitAndRestartRestoreEverything)
{
    QDir().mkpath(env.apDataFolder);
    writeStamp(env.apDataFolder + "a.bmp", qRgb(255, 0, 0));
    writeStamp(env.apDataFolder + "b.BMP", qRgb(0, 0, 255));
    restart(); // the stamps are listed at start
    testfiles::TempFolder store;
    w->move(40, 30);
    w->resize(800, 520);
    w->scaleBox()->click(); // zoom mode
    g("mnCpt").click(3);
    g("mnGen").click(2);
    g("mnCptW").click(1);
    g("mnMpn").click(1);
    w->StorageFolder = store.path();
    w->StoragePrefix = "cap";
    w->StorageExtension = "jpg";
    w->stampPanel()->index = 1;
    w->RangeList = "VGA,640,480,px:A4,21,29.7,cm";
    w->MacroText = "[m]\r\n回転⇒右90度\r\n色数⇒ｸﾞﾚｰ";
    g("mnFile").click(11);

    restart();
    EXPECT_EQ(w->pos(), QPoint(40, 30));
    EXPECT_EQ(w->size(), QSize(800, 520));
    EXPECT_EQ(w->DisplayMode, 3);
    EXPECT_FALSE(w->scaleBox()->isChecked());
    EXPECT_TRUE(w->zoomList()->isEnabled());
    EXPECT_EQ(w->zoomList()->currentText(), "100%");
    EXPECT_EQ(w->AfterCaptureAction, 3);
    EXPECT_TRUE(g("mnCpt").isChecked(3));
    EXPECT_EQ(w->CaptureColourIndex, 2);
    EXPECT_TRUE(g("mnGen").isChecked(2));
    EXPECT_FALSE(w->StandbyOnMinimise);
    EXPECT_TRUE(g("mnCptW").isChecked(1));
    EXPECT_FALSE(w->bMpnt);
    EXPECT_TRUE(g("mnMpn").isChecked(1));
    EXPECT_EQ(w->StorageFolder, store.path());
    EXPECT_EQ(w->StoragePrefix, "cap");
    EXPECT_EQ(w->StorageExtension, "jpg");
    EXPECT_TRUE(g("mnKkn").isEnabled(0));
    EXPECT_EQ(w->stampPanel()->stamps.size(), 2);
    EXPECT_EQ(w->stampPanel()->index, 1);
    EXPECT_EQ(w->RangeList, "VGA,640,480,px:A4,21,29.7,cm");
    EXPECT_EQ(w->MacroText, "[m]\r\n回転⇒右90度\r\n色数⇒ｸﾞﾚｰ");
}

TEST_F(SettingsWiringTest, ExitDuringStandbyKeepsStoredWindowGroup)
{
    w->move(100, 80);
    w->resize(700, 500);
    g("mnFile").click(11);
    restart();
    ASSERT_EQ(w->pos(), QPoint(100, 80));
    w->move(300, 200);
    w->resize(900, 600);
    g("mnFile").click(9); // standby
    g("mnFile").click(11);
    restart();
    EXPECT_EQ(w->pos(), QPoint(100, 80));
    EXPECT_EQ(w->size(), QSize(700, 500));
}

TEST_F(SettingsWiringTest, OutOfRangeStoredActionTicksNothingAndCapturesNothing)
{
    w->AfterCaptureAction = 7;
    g("mnFile").click(11);
    restart();
    EXPECT_EQ(w->AfterCaptureAction, 7);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(g("mnCpt").isChecked(i)) << i;
    g("mnFile").click(9);
    fake.clipboard->offer(picture(qRgb(1, 2, 3)));
    EXPECT_FALSE(w->surface()->hasPicture());
    EXPECT_TRUE(workFiles().isEmpty());
}

TEST_F(SettingsWiringTest, DamagedFileIsKeptBesideTheNewOne)
{
    w.reset();
    QFile f(env.userDataFolder + "User.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray damaged = "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<garbage>";
    f.write(damaged);
    f.close();
    restart();
    g("mnFile").click(11);
    QFile bak(env.userDataFolder + "User.xml.bak");
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_EQ(bak.readAll(), damaged);
}

TEST_F(SettingsWiringTest, AHugeRangeListIsShownInPartAndKeptWholeAtExit)
{
    QStringList entries;
    for (int i = 0; i <= 10000; ++i)
        entries << QStringLiteral("R%1,%2,48,px").arg(i).arg(i + 1);
    w->RangeList = entries.join(':');
    g("mnFile").click(11);
    const QByteArray whole = storedFile();

    fake.dialogs->messages.clear();
    restart();
    EXPECT_EQ(w->RangeList, entries.mid(0, 10000).join(':'));
    EXPECT_EQ(fake.dialogs->messages.size(), 1);
    g("mnFile").click(11);
    EXPECT_EQ(storedFile(), whole);
}
