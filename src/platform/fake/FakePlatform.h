#pragma once
#include <QMap>
#include <QStringList>
#include <deque>
#include <functional>
#include <utility>

#include "platform/Platform.h"

namespace varnel {

// In-memory stand-ins for tests: every call is recorded, every answer scripted.

class FakeClipboard : public Clipboard {
    Q_OBJECT
public:
    bool hasPicture() const override { return !m_picture.isNull(); }
    QImage takePicture() override
    {
        ++takeCount;
        const QImage taken = m_picture;
        m_lastKey = taken.isNull() ? 0 : quint64(taken.cacheKey());
        if (auto f = std::exchange(duringTake, nullptr))
            f();
        return taken;
    }
    void putPicture(const QImage& p) override { m_picture = p; ++putCount; }
    void putText(const QString& t) override { text = t; ++putCount; }
    // With answerLater, a paste's request waits until answer() (an owner
    // that takes its time); otherwise it is answered at once.
    void requestPicture(std::function<void(QImage)> done) override
    {
        if (!answerLater)
            return done(takePicture());
        pending = std::move(done);
    }
    void answer()
    {
        if (auto f = std::exchange(pending, nullptr))
            f(takePicture());
    }
    bool answerLater = false;
    std::function<void(QImage)> pending;
    QString text;

    // Another program puts a picture (or, with a null image, text) there.
    void offer(const QImage& p) { m_picture = p; emit changed(); }
    // Runs (once) inside the next take: a change that arrives mid-capture.
    std::function<void()> duringTake;
    // Sets the content without a change notification.
    void setSilently(const QImage& p) { m_picture = p; }
    const QImage& picture() const { return m_picture; }

    int takeCount = 0;
    int putCount = 0;

private:
    QImage m_picture;
};

class FakePointer : public Pointer {
public:
    PointerImage probe() override { ++probeCount; return pointer; }
    std::optional<QPoint> activeWindowOrigin() override { return activeOrigin; }
    QSize screenSize() override { return screen; }

    PointerImage pointer;
    std::optional<QPoint> activeOrigin;
    QSize screen{1920, 1080};
    int probeCount = 0;
};

class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    bool isAvailable() const override { return available; }
    void add(const QIcon&, const QString& t) override { if (!m_added) { m_added = true; ++addCount; tip = t; } }
    void remove() override { if (m_added) { m_added = false; ++removeCount; } }
    bool isAdded() const override { return m_added; }
    void showMessage(const QString& title, const QString& text) override
    {
        if (m_added)
            messages << title + QLatin1Char('|') + text;
    }
    void setToolTip(const QString& t) override { tip = t; }

    void clickLeft() { emit leftClicked(); }
    void clickRight(const QPoint& p = {}) { emit rightClicked(p); }

    bool available = true;
    int addCount = 0;
    int removeCount = 0;
    QString tip;
    QStringList messages; // "title|text"

private:
    bool m_added = false;
};

class FakeShell : public Shell {
public:
    bool open(const QString& p) override { opened << p; return true; }
    bool explore(const QString& f) override { explored << f; return true; }
    bool startProgram(const QString& prog, const QStringList& args) override
    {
        started << (QStringList{prog} + args).join(QLatin1Char(' '));
        startedPrograms << prog;
        startedArgs << args;
        return startSucceeds;
    }
    QString specialFolder(int csidl) override { return folders.value(csidl); }
    QRect desktopWorkArea(const QPoint& at) override { workAreaAsked = at; return workArea; }
    bool startCalculator() override { ++calculatorStarts; return calculatorInstalled; }

    QStringList opened, explored, started;
    QStringList startedPrograms;
    QList<QStringList> startedArgs; // each start's arguments, kept apart
    QStringList startArgsFor(int i) const { return i < startedArgs.size() ? startedArgs[i] : QStringList{"<none>"}; }
    bool startSucceeds = true;
    QMap<int, QString> folders;
    QRect workArea{0, 0, 1920, 1040};
    int calculatorStarts = 0;
    bool calculatorInstalled = true;
    QPoint workAreaAsked;
};

class FakeFamilyStore : public FamilyStore {
public:
    QString value(const QString& a, const QString& s, const QString& k) override
    {
        return values.value(a + QLatin1Char('/') + s + QLatin1Char('/') + k);
    }
    void setValue(const QString& a, const QString& s, const QString& k, const QString& v) override
    {
        values[a + QLatin1Char('/') + s + QLatin1Char('/') + k] = v;
        ++writes;
    }
    QMap<QString, QString> values;
    int writes = 0;
};

class FakeDialogs : public Dialogs {
public:
    void message(const QString& t) override
    {
        messages << t;
        messageOwners << owner;
        messagesWhileExiting << isExiting();
        if (onMessage)
            onMessage();
    }
    bool confirm(const QString& t) override
    {
        confirms << t;
        if (confirmAnswers.empty())
            return true;
        bool a = confirmAnswers.front();
        confirmAnswers.pop_front();
        return a;
    }
    SaveChoice askSaveChanges(const QString& t) override
    {
        saveQuestions << t;
        if (saveChoices.empty())
            return SaveChoice::Discard;
        const SaveChoice c = saveChoices.front();
        saveChoices.pop_front();
        return c;
    }
    QString openFile(const QString& title, const QString&, const QString& filter, const QString& folder) override
    {
        lastOpenTitle = title;
        lastOpenFilter = filter;
        lastOpenFolder = folder;
        return next(openAnswers);
    }
    QString saveFile(const QString&, const QString&, const QString& filter, int* chosenFilter) override
    {
        lastSaveFilter = filter;
        if (chosenFilter) {
            *chosenFilter = saveFilterAnswers.empty() ? 0 : saveFilterAnswers.front();
        }
        if (!saveFilterAnswers.empty())
            saveFilterAnswers.pop_front();
        return next(saveAnswers);
    }
    QString browseFolder(const QString& title, const QString& start) override
    {
        lastBrowseTitle = title;
        lastBrowseStart = start;
        return next(folderAnswers);
    }
    void setOwner(QWidget* o) override { owner = o; }
    bool messageJustShown() const override { return justShown; }

    QStringList messages, confirms;
    bool justShown = false; // a message window just opened
    QList<bool> messagesWhileExiting; // each message: told after an exit was requested
    std::function<void()> onMessage;  // runs inside each message, as its event loop would
    QWidget* owner = nullptr;
    QList<QWidget*> messageOwners; // the owner each message was shown with
    QString lastOpenFolder, lastBrowseStart, lastBrowseTitle;
    QString lastOpenTitle, lastOpenFilter, lastSaveFilter;
    std::deque<int> saveFilterAnswers; // filter left selected in each save dialog, 0 when none given
    std::deque<bool> confirmAnswers;
    QStringList saveQuestions;             // asked before unsaved changes went
    std::deque<SaveChoice> saveChoices;    // Discard when none given
    std::deque<QString> openAnswers, saveAnswers, folderAnswers;

private:
    static QString next(std::deque<QString>& q)
    {
        if (q.empty())
            return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

// Programs of one test process share the hub, as programs of one user
// share the runtime folder.
class FakeSingleInstance : public SingleInstance {
    Q_OBJECT
public:
    ~FakeSingleInstance() override { release(); }
    bool claim(const QString& folder) override;
    bool send(const QString& folder, const InstanceMessage& m) override;
    void release() override;

    // Whether a crashed program's claim would block: the fake forgets it.
    static void crashHolderOf(const QString& folder);
    QList<InstanceMessage> sent;

private:
    QString m_folder;
};

class FakeExitRequests : public ExitRequests {
    Q_OBJECT
public:
    // A termination signal or the session's end arrives.
    void request() { emit exitRequested(); }
};

// A whole fake platform with typed access to its parts.
struct FakePlatform {
    FakeClipboard* clipboard;
    FakePointer* pointer;
    FakeTrayIcon* tray;
    FakeShell* shell;
    FakeFamilyStore* family;
    FakeDialogs* dialogs;
    FakeSingleInstance* instance;
    FakeExitRequests* exitRequests;
    Platform platform;

    FakePlatform();
};

} // namespace varnel
