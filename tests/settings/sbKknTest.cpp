#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "settings/sbKkn.h"

using namespace varnel;

namespace {

// Runs the dialog; while it is open, `user` plays the person in front of it.
struct DialogRun {
    DialogRun(QString f, QString p, QString e) : folder(f), prefix(p), extension(e) {}
    QString folder, prefix, extension;
    bool accepted = true;
    int browses = 0;
    QString browseAnswer;
    QString browseSawn;

    void act(const std::function<void(sbKkn&)>& user)
    {
        sbKkn dialog(nullptr, [this](QString& path) {
            ++browses;
            browseSawn = path;
            path = browseAnswer;
        });
        QTimer::singleShot(0, [&dialog, &user] {
            user(dialog);
        });
        dialog.Act(folder, prefix, extension, accepted);
    }
};

template <typename T>
T* child(sbKkn& d, const char* name)
{
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace

TEST(sbKkn, AcceptReturnsTheFieldsAndTheChosenFormat)
{
    DialogRun r{"/pics", "shot", "bmp"};
    r.act([](sbKkn& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "opPic0")->isChecked());
        EXPECT_EQ(child<QLineEdit>(d, "txFld")->text(), "/pics");
        child<QLineEdit>(d, "txFld")->setText(" /other ");
        child<QLineEdit>(d, "txPfx")->setText("");
        child<QRadioButton>(d, "opPic1")->click();
        child<QPushButton>(d, "cmOk0")->click();
    });
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.folder, " /other "); // taken as typed
    EXPECT_EQ(r.prefix, "");
    EXPECT_EQ(r.extension, "jpg");
}

TEST(sbKkn, CancelKeepsAllThreeWhateverWasTyped)
{
    for (const char* how : {"button", "escape"}) {
        DialogRun r{"/pics", "shot", "jpg"};
        r.act([how](sbKkn& d) {
            child<QLineEdit>(d, "txFld")->setText("/else");
            child<QLineEdit>(d, "txPfx")->setText("x");
            child<QRadioButton>(d, "opPic0")->click();
            if (QString(how) == "button")
                child<QPushButton>(d, "cmOk1")->click();
            else
                d.reject();
        });
        EXPECT_FALSE(r.accepted) << how;
        EXPECT_EQ(r.folder, "/pics") << how;
        EXPECT_EQ(r.prefix, "shot") << how;
        EXPECT_EQ(r.extension, "jpg") << how;
    }
}

TEST(sbKkn, CapitalJpgOpensWithPngSelected)
{
    DialogRun r{"", "", "JPG"};
    bool pngChecked = false;
    r.act([&](sbKkn& d) {
        pngChecked = child<QRadioButton>(d, "opPic2")->isChecked();
        child<QPushButton>(d, "cmOk0")->click();
    });
    EXPECT_TRUE(pngChecked);
    EXPECT_EQ(r.extension, "png");
}

TEST(sbKkn, BrowseThenCancelEmptiesTheFolderField)
{
    DialogRun r{"/pics", "p", "png"};
    QString fieldAfter = "unset";
    r.act([&](sbKkn& d) {
        child<QToolButton>(d, "cmFold")->click();
        fieldAfter = child<QLineEdit>(d, "txFld")->text();
        child<QPushButton>(d, "cmOk0")->click();
    });
    EXPECT_EQ(r.browses, 1);
    EXPECT_EQ(r.browseSawn, "/pics");
    EXPECT_EQ(fieldAfter, "");
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.folder, "");
}
