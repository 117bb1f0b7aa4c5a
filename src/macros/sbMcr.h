#pragma once
#include <QDialog>
#include <QString>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace varnel {

// The macro editor: the whole macro text as plain text, handed back only
// when the user chooses to update. It knows nothing of the grammar.
class sbMcr : public QDialog {
    Q_OBJECT
public:
    explicit sbMcr(QWidget* parent = nullptr);

    // Opens modally over the parent on text; on "更新して閉じる" updated is
    // true and text holds the edited text, otherwise text is unchanged.
    void Act(QString& text, bool& updated);

    // The "ﾌｧｲﾙ" menu's commands by index (1 is the separator).
    void chooseFileItem(int index);
    QAction* fileItem(int index) const { return m_items[size_t(index)]; }
    QPlainTextEdit* textBox() const { return Rtex; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void fill(const QString& text);
    void retranslateUi();

    QPlainTextEdit* Rtex = nullptr;
    QMenu* m_file = nullptr;
    QLabel* m_help = nullptr;
    std::array<QAction*, 4> m_items{};
    QString OpeningText;
    bool Updated = false;
};

} // namespace varnel
