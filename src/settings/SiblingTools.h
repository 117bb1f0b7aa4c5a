#pragma once
#include <QString>

#include "zKtl.h"

namespace varnel {

struct Platform;

// The family's picture tools, started on a file or a folder: each looked up
// once (zKtl), started with one argument and no shell, and looked up afresh
// after a start that failed (the tool may have moved).
class SiblingTools {
public:
    SiblingTools(Platform& platform, const QString& programFolder, zKtl::OpenDialog openDialog);

    QString BrivanePath; // the browser, for folders and files
    QString BrivalePath; // the viewer, for one file

    void OpenWithBrivale(const QString& folder, const QString& file);
    void OpenWithBrivane(const QString& folder, const QString& file);

private:
    void locate(int index, QString& executable);
    void start(QString& executable, const QString& target);

    Platform& m_platform;
    QString m_programFolder;
    zKtl::OpenDialog m_openDialog;
};

} // namespace varnel
