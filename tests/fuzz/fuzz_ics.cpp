// libFuzzer target for the calendar import: the file read through libical, mapped to messages, then the rest of
// the import over them (checks and duplicates).
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QStringList>

#include "calendar/IcsImport.h"
#include "import/ImportCheck.h"

using namespace tavanote;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const IcsRead read = readIcs(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    if (!read.error.isEmpty()) {
        if (read.held != 0 || !read.messages.empty())
            abort();
        return 0;
    }
    if (size_t(read.held) != read.messages.size() + size_t(read.left.size()))
        abort();
    for (const Message& m : read.messages) {
        if (m.titre.isEmpty() || m.titre.size() > 30 || m.message.isEmpty() || m.periodicite.toInt() > 8)
            abort();
    }
    // Every mapped message passes the checks of a delimited import.
    ImportGrid grid = icsImportGrid(read.messages);
    const ImportPlan plan = prepareImport(grid, {QStringLiteral("a")}, [](const QString&) { return true; });
    if (plan.refusal && !read.messages.empty() && plan.refusal->startsWith(QStringLiteral("Importation impossible")))
        abort();
    return 0;
}
