#pragma once
#include <QString>

namespace varnel {

// Where the data that ships with the program lives: beside the executable
// (the build tree, a copied folder) or, installed, in the prefix's share
// folder next to the bin folder. Folders end with "/".
namespace ShippedData {
// The first of programFolder + besideName and programFolder + installedPath
// that is a folder; the first one when neither is.
QString locate(const QString& programFolder, const QString& besideName, const QString& installedPath);
// Stamp bitmaps.
QString apDataFolder(const QString& programFolder);
// The user's guide ("varnel.htm" is its index); empty when not shipped.
QString helpFolder(const QString& programFolder);
} // namespace ShippedData

} // namespace varnel
