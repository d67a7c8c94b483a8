#pragma once

#include <QString>

namespace tavanote {

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;
QString versionText();  // "2.0.0"

}  // namespace tavanote
