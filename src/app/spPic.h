#pragma once
#include <QMainWindow>

namespace varnel {

class MenuGroup;

// A second top-level window, created hidden at start. Start-up messages use
// it as their owner, before the main window exists. Its two menus store a
// result word for whoever shows it.
class spPic : public QMainWindow {
    Q_OBJECT
public:
    explicit spPic(QWidget* parent = nullptr);

    const QString& result() const { return m_result; }
    MenuGroup* pictureMenu() const { return mnPed; }
    MenuGroup* sizeMenu() const { return mnMgnify; }

private:
    void onPictureMenu(int index);
    void onSizeMenu(int index);

    QString m_result;
    MenuGroup* mnPed = nullptr;
    MenuGroup* mnMgnify = nullptr;
};

} // namespace varnel
