#pragma once
#include <QDialog>
#include <QRect>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace varnel {

// The size dialog: edits the registered ranges with screen and paper presets.
// There is no cancel; whatever was done to the list is handed back.
class spSize : public QDialog {
    Q_OBJECT
public:
    // What the dialog needs of the desktop, given by the caller so that the
    // dialog stays free of platform code.
    struct Services {
        // The work area of the screen the main window is on, in pixels.
        std::function<QRect()> workArea;
        // Starts the desktop's calculator; false when there is none.
        std::function<bool()> startCalculator;
        std::function<void(const QString&)> message;
    };

    explicit spSize(Services services, QWidget* parent = nullptr);
    ~spSize() override;

    // Opens modally over the parent; sHani comes back as the edited list.
    // nWd, nHi: the current range's size in pixels.
    void Act(QString& sHani, int nWd, int nHi);

    // Act up to the modal loop, for callers that show the dialog themselves.
    void begin(const QString& sHani, int nWd, int nHi);

    void ScrnSz(int& width, int& height) const;

    QString WorkList;
    bool EventsSuppressed = false;

    // controls (indexed sets: 0 pixels, 1 centimetres)
    QListWidget* lsHani = nullptr;
    std::array<QPushButton*, 5> cmLst{};
    QLineEdit* txCap = nullptr;
    QLabel* lbCap = nullptr;
    std::array<QRadioButton*, 2> opSize{};
    std::array<QListWidget*, 2> lsSize{};
    std::array<QLineEdit*, 2> txPsnt{};
    std::array<QLineEdit*, 2> txSizeX{};
    std::array<QLineEdit*, 2> txSizeY{};
    std::array<QCheckBox*, 2> chXY{};
    QPushButton* cmClose = nullptr;
    QToolButton* ssCom = nullptr;

    static QString messageBadName();
    static QString messageNoCalculator();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void buildControls();
    void retranslateUi();
    void FillRangeList(bool selectFirst);
    void FillPresetLists();
    void ShowRangeEntry(int sel, bool opened);
    void onListClicked();
    void onListButton(int index);
    QString BuildRangeEntry() const;
    void UpdateListButtons();
    void ApplyPreset(int k);
    void ShowSize(int k);
    void onPercentChanged(int k);
    void onCalculator();
    int selectedLine() const;
    void selectLine(int line);

    Services m_services;
};

} // namespace varnel
