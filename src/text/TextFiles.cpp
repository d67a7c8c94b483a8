#include "TextFiles.h"

#include <QStringDecoder>

#include "text/Cp1252.h"

namespace tavanote {

QString decodeImportBytes(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(bytes);
}

bool isRtfFileName(const QString& path) {
    return path.toLower().endsWith(QLatin1String("rtf"));
}

}  // namespace tavanote
