// libFuzzer entry point for the RTF reader; also linked into the corpus replay.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

#include "text/RtfReader.h"
#include "text/RtfWriter.h"

namespace {

void ensureApplication() {
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    QTextDocument doc;
    tavanote::readRtf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), doc);
    // What was read must write out and read back.
    QTextDocument again;
    tavanote::readRtf(tavanote::writeRtf(doc), again);
    if (again.toPlainText() != doc.toPlainText())
        __builtin_trap();
    return 0;
}
