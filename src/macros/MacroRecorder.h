#pragma once
#include <QString>

#include <functional>

namespace varnel {

class MenuGroup;

// The macro text and how it grows: the recording of menu steps (the
// recording menu's "記入_開始", "記入_終了" and "修正・削除") and the macro
// menu that lists the stored macros by name.
class MacroRecorder {
public:
    enum RecordItem { Separator = 0, Start = 1, End = 2, Edit = 3 };
    struct Services {
        std::function<bool(const QString&)> confirm;
        // The macro editor over the text; true when the user updated it.
        std::function<bool(QString& text)> edit;
        std::function<void()> recordingStarts;
        std::function<void()> recordingEnds;
    };
    Services services;

    QString text;           // "MacroText": lines separated by CR LF
    bool recording = false; // "MacroRecording"
    QString buffer;         // "MacroBuffer": the lines recorded so far

    // The macro menu and the recording menu behind it.
    void attach(MenuGroup* macros, MenuGroup* recordMenu);
    void onRecordMenu(int index);
    // One step, the argument as the menu group chose it; nothing unless recording.
    void RecordMacroStep(const QString& keyword, const QString& argument);
    // The macro menu lists the names in the text.
    void BuildMacroMenu();

private:
    MenuGroup* m_macros = nullptr;
    MenuGroup* m_record = nullptr;
    void setRecording(bool on);
};

} // namespace varnel
