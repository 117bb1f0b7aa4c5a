#pragma once
#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QPushButton;

namespace varnel {

// The storage dialog: folder, file-name prefix and picture format of the
// numbered saves into storage, set together.
class sbKkn : public QDialog {
    Q_OBJECT
public:
    // browse: the main window's folder picker; it takes the field's folder
    // and leaves the chosen one, empty when cancelled.
    explicit sbKkn(QWidget* owner, std::function<void(QString&)> browse);

    // Shows the dialog modally. The three texts change only when the user
    // accepted with "&Ok"; extension comes back as "bmp", "jpg" or "png".
    void Act(QString& folder, QString& prefix, QString& extension, bool& accepted);

private:
    void onOk(int index);
    void onBrowse();
    void retranslateUi();

    std::function<void(QString&)> m_browse;
    bool m_accepted = false;
    std::array<QLabel*, 3> m_labels{};
    QLineEdit* txFld = nullptr;
    QToolButton* cmFold = nullptr;
    QLineEdit* txPfx = nullptr;
    std::array<QRadioButton*, 3> opPic{};
    std::array<QPushButton*, 2> cmOk{};
};

} // namespace varnel
