// libFuzzer target for the delimited reader: the first byte chooses the options, the rest is the file.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QStringList>

#include "import/DelimitedReader.h"
#include "import/ImportCheck.h"

using namespace tavanote;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char* const fieldDelimiters[] = {"\t", ";", ",", " ", "||"};
    static const char* const textDelimiters[] = {"", "\"", "'"};
    DelimitedOptions options;
    options.fieldDelimiter = QString::fromLatin1(fieldDelimiters[data[0] % 5]);
    options.textDelimiter = QString::fromLatin1(textDelimiters[(data[0] / 5) % 3]);
    options.namesOnFirstLine = (data[0] / 15) % 2 == 1;

    const QString text = decodeImportBytes(QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
    DelimitedRead read = readDelimited(text, options);
    if (read.status != ReadStatus::Read)
        return 0;
    ImportGrid& grid = read.grid;
    if (grid.columnCount() < ImportGrid::kMinimumColumns)
        abort();
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.row(r).size() != grid.columnCount())
            abort();
    }
    // The rest of the import over what was read: the checks, the duplicates against a few stored titles.
    const QStringList stored = {QStringLiteral("a"), QStringLiteral("Réunion"), QStringLiteral("a")};
    const ImportPlan plan = prepareImport(grid, stored, [](const QString&) { return true; });
    if (!plan.refusal && plan.messages.size() != size_t(grid.dataRowCount()))
        abort();
    return 0;
}
