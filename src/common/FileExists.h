#pragma once

#include <QString>

namespace tavanote {

// True when a look-up of the full path finds a regular file; any error during the look-up gives false.
bool FileExists(const QString& path);

// The folder with one trailing separator, as the program keeps it ("dossier application").
QString withTrailingSeparator(const QString& folder);

}  // namespace tavanote
