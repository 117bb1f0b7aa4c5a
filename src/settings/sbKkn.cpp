#include "sbKkn.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace varnel {

namespace {
const char* const kFormats[3] = {"bmp", "jpg", "png"};
}

sbKkn::sbKkn(QWidget* owner, std::function<void(QString&)> browse)
    : QDialog(owner), m_browse(std::move(browse))
{
    setObjectName(QStringLiteral("sbKkn"));
    // No caption text: an empty title would let the window system put the
    // program's name there.
    setWindowTitle(QStringLiteral(" "));
    setModal(true);

    auto* grid = new QGridLayout(this);
    auto* lbFld = new QLabel(QStringLiteral("ﾌｫﾙﾀﾞの指定"), this);
    txFld = new QLineEdit(this);
    txFld->setObjectName(QStringLiteral("txFld"));
    txFld->setMinimumWidth(260);
    cmFold = new QToolButton(this);
    cmFold->setObjectName(QStringLiteral("cmFold"));
    cmFold->setArrowType(Qt::DownArrow);
    cmFold->setToolTip(lbFld->text());
    connect(cmFold, &QToolButton::clicked, this, [this] { onBrowse(); });
    grid->addWidget(lbFld, 0, 0);
    grid->addWidget(txFld, 0, 1);
    grid->addWidget(cmFold, 0, 2);

    auto* lbPfx = new QLabel(QStringLiteral("ﾌﾟﾚﾌｨｯｸｽ"), this);
    txPfx = new QLineEdit(this);
    txPfx->setObjectName(QStringLiteral("txPfx"));
    grid->addWidget(lbPfx, 1, 0);
    grid->addWidget(txPfx, 1, 1);

    auto* lbPic = new QLabel(QStringLiteral("画像形式"), this);
    auto* formats = new QHBoxLayout;
    const char* const captions[3] = {"Bmp", "Jpg", "Png"};
    for (int i = 0; i < 3; ++i) {
        opPic[size_t(i)] = new QRadioButton(QString::fromLatin1(captions[i]), this);
        opPic[size_t(i)]->setObjectName(QStringLiteral("opPic%1").arg(i));
        formats->addWidget(opPic[size_t(i)]);
    }
    formats->addStretch();
    grid->addWidget(lbPic, 2, 0);
    grid->addLayout(formats, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const char* const okCaptions[2] = {"&Ok", "&Cancel"};
    for (int i = 0; i < 2; ++i) {
        cmOk[size_t(i)] = new QPushButton(QString::fromLatin1(okCaptions[i]), this);
        cmOk[size_t(i)]->setObjectName(QStringLiteral("cmOk%1").arg(i));
        cmOk[size_t(i)]->setAutoDefault(false);
        connect(cmOk[size_t(i)], &QPushButton::clicked, this, [this, i] { onOk(i); });
        buttons->addWidget(cmOk[size_t(i)]);
    }
    grid->addLayout(buttons, 3, 0, 1, 3);
    setTabOrder(txFld, cmFold);
    setTabOrder(cmFold, txPfx);
}

void sbKkn::Act(QString& folder, QString& prefix, QString& extension, bool& accepted)
{
    m_accepted = false;
    txFld->setText(folder);
    txPfx->setText(prefix);
    // Exact comparison: "JPG" in capitals falls to Png, as any other text does.
    const int chosen = extension == QLatin1String("bmp") ? 0 : extension == QLatin1String("jpg") ? 1 : 2;
    opPic[size_t(chosen)]->setChecked(true);
    txFld->setFocus();
    adjustSize();
    if (QWidget* owner = parentWidget()) {
        const QRect o = owner->frameGeometry();
        move(o.left() + (o.width() - width()) / 2, o.top() + (o.height() - height()) / 2);
    }
    exec();
    accepted = m_accepted;
    if (!accepted)
        return;
    folder = txFld->text();
    prefix = txPfx->text();
    for (int i = 0; i < 3; ++i)
        if (opPic[size_t(i)]->isChecked()) {
            extension = QString::fromLatin1(kFormats[i]);
            break;
        }
}

void sbKkn::onOk(int index)
{
    m_accepted = index == 0;
    hide();
    done(m_accepted ? Accepted : Rejected);
}

void sbKkn::onBrowse()
{
    QString path = txFld->text();
    if (m_browse)
        m_browse(path);
    txFld->setText(path);
}

} // namespace varnel
