#pragma once
#include <QDialog>

namespace varnel {

// The text read from a picture, shown to select from: it is on the
// clipboard already. Closes and goes by itself (not modal).
class TextReadBox : public QDialog {
public:
    TextReadBox(const QString& text, QWidget* parent);
};

} // namespace varnel
