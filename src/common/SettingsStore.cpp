#include "SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace tavanote {

namespace {

// QSettings reads "/" and "\" in a name as group separators; they are kept out of its sight.
QString encodeName(const QString& name) {
    QString encoded;
    encoded.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('%'))
            encoded += QLatin1String("%25");
        else if (c == QLatin1Char('/'))
            encoded += QLatin1String("%2F");
        else if (c == QLatin1Char('\\'))
            encoded += QLatin1String("%5C");
        else
            encoded += c;
    }
    return encoded;
}

QString decodeName(const QString& encoded) {
    QString name;
    name.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) == QLatin1Char('%') && i + 2 < encoded.size()) {
            const QStringView code = QStringView(encoded).mid(i + 1, 2);
            if (code == QLatin1String("25") || code == QLatin1String("2F") || code == QLatin1String("5C")) {
                name += code == QLatin1String("25")
                            ? QLatin1Char('%')
                            : (code == QLatin1String("2F") ? QLatin1Char('/') : QLatin1Char('\\'));
                i += 2;
                continue;
            }
        }
        name += encoded.at(i);
    }
    return name;
}

QString asText(const QVariant& value) {
    // A value typed by hand with unquoted commas comes back as a list.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

}  // namespace

QString userConfigFolder() {
    // Without HOME the engine would fall back on the root folder: settings there would belong to nobody.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME")) && qEnvironmentVariable("HOME").isEmpty())
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SettingsStore::defaultPath() {
    const QString folder = userConfigFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/Tavanote/Tavanote.ini");
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::get(const QString& section, const QString& key) const {
    if (section.isEmpty() || key.isEmpty())
        return QString();
    return asText(m_settings->value(encodeName(section) + QLatin1Char('/') + encodeName(key)));
}

void SettingsStore::set(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty())
        return;
    m_settings->setValue(encodeName(section) + QLatin1Char('/') + encodeName(key), value);
    m_settings->sync();
}

QList<QPair<QString, QString>> SettingsStore::section(const QString& section) const {
    QList<QPair<QString, QString>> pairs;
    if (section.isEmpty())
        return pairs;
    m_settings->beginGroup(encodeName(section));
    const QStringList keys = m_settings->childKeys();
    for (const QString& key : keys)
        pairs.append({decodeName(key), asText(m_settings->value(key))});
    m_settings->endGroup();
    return pairs;
}

void SettingsStore::removeSection(const QString& section) {
    if (section.isEmpty())
        return;
    m_settings->remove(encodeName(section));
    m_settings->sync();
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

bool SettingsStore::canSave() const {
    return !m_settings->fileName().isEmpty() && m_settings->status() == QSettings::NoError;
}

}  // namespace tavanote
