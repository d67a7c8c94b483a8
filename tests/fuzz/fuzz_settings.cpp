// libFuzzer target for the settings reader: the bytes are the settings file, which other tools may have written.
// The first bytes also give the value written back, so the writer sees odd texts too.
#include <cstdint>
#include <cstdlib>

#include <QFile>
#include <QTemporaryDir>

#include "common/SettingsStore.h"

using namespace tavanote;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    if (!folder.isValid())
        abort();
    const QString path = folder.filePath(QStringLiteral("Tavanote.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            abort();
    }

    SettingsStore store(path);
    const QString key = QStringLiteral("clé/essai %2F");
    const auto othersOf = [&key](QList<QPair<QString, QString>> pairs) {
        pairs.removeIf([&key](const auto& pair) { return pair.first == key; });
        return pairs;
    };
    const QList<QPair<QString, QString>> others = othersOf(store.section(kParametres));
    store.section(QStringLiteral("a/b"));
    store.section(QStringLiteral("General"));
    store.get(kParametres, QStringLiteral("policeTaille"));

    const QString value = QString::fromUtf8(bytes.left(32));
    store.set(kParametres, key, value);
    store.removeSection(QStringLiteral("a/b"));
    if (store.get(kParametres, key) != value)
        abort();
    // What was written reads back the same from the file, and nothing else changed but the section removed.
    if (store.canSave()) {
        const SettingsStore again(path);
        if (again.get(kParametres, key) != value || othersOf(again.section(kParametres)) != others ||
            !again.section(QStringLiteral("a/b")).isEmpty())
            abort();
    }
    return 0;
}
