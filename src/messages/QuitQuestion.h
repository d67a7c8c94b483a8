#pragma once

#include <QString>

namespace tavanote {

// The warning added to the quit question for A active and D displayed messages (empty when both are 0).
QString quitWarning(int active, int displayed);
QString quitQuestion(int active, int displayed);

}  // namespace tavanote
