#pragma once
#include <QImage>
#include <QLabel>

#include <functional>

namespace varnel {

// The stamp panel's picture: the same for every size the panel has had,
// whole, and sharp (reduced by a whole factor only, never stretched).
class StampPreview {
public:
    static QImage fit(const QImage& stamp, int box);
};

// The stamp bitmaps of the program's data folder, the current one shown in
// the tool strip; a double click takes the next.
class StampPanel : public QLabel {
public:
    explicit StampPanel(QWidget* parent);

    QString folder;               // where the bitmaps are, ending in "/"
    QStringList stamps{QString()}; // their names; one empty name when there are none
    int index = 0;                // the current one
    // The inner square the picture fits, whatever size the panel has now.
    std::function<int()> box;
    // The current stamp's file, whenever it is taken into use.
    std::function<void(const QString& path)> taken;

    QString current() const { return stamps.value(index); }
    // Shows the current stamp (and hands it on).
    void showCurrent();
    void next();

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

} // namespace varnel
