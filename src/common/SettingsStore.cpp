#include "SettingsStore.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>

namespace tavanote {

namespace {

// QSettings reads "/" and "\\" in a name as group separators; they are kept out of its sight (and "%", so that
// the hiding reads back), as in the files earlier versions wrote.
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

QString keyOf(const QString& section, const QString& key) {
    return encodeName(section) + QLatin1Char('/') + encodeName(key);
}

// QSettings writes by itself when the event loop comes back after a change; here only save() writes.
class NoWriteBehindOurBack : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::UpdateRequest; }
};

const QString kLostForThisRun = QStringLiteral(
    "\n\nLe programme utilise les paramètres par défaut; les changements faits pendant cette session seront perdus "
    "à sa fin.");

// Why the file at path cannot be read as a settings file; empty when it can. Nothing there can: the first save
// makes it.
QString unreadableReason(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return QString();
        if (errno == ELOOP)
            return QStringLiteral("Ce lien symbolique ne mène à aucun fichier: les liens tournent en rond.");
        if (errno == EACCES)
            return QStringLiteral("Le dossier qui le contient n'est pas accessible.");
        return QStringLiteral("Ce fichier ne peut pas être examiné.");
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("C'est un dossier, pas un fichier.");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral(
            "Ce n'est pas un fichier ordinaire (c'est un tube nommé, un périphérique ou une socket).");
    if (info.st_size > SettingsStore::kMaxFileSize)
        return QStringLiteral("Ce fichier est trop grand pour un fichier de paramètres (%1 octets, 1 Mo au plus).")
            .arg(info.st_size);
    if (::access(native.constData(), R_OK) != 0)
        return QStringLiteral("Ce fichier ne peut pas être lu: ses droits d'accès l'interdisent.");
    return QString();
}

// The file a save replaces: path, or the end of the links it starts.
QString targetOf(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// Why a save to path failed, once it has.
QString unwritableReason(const QString& path) {
    const QString target = targetOf(path);
    const QFileInfo file(target);
    if (file.exists() && !file.isWritable()) {
        return target == path ? QStringLiteral("Ce fichier n'est pas accessible en écriture.")
                              : QStringLiteral("Le fichier %1, où mène ce lien, n'est pas accessible en écriture.")
                                    .arg(QDir::toNativeSeparators(target));
    }
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return QStringLiteral("Ce dossier n'est pas accessible en écriture.");
    return QStringLiteral("L'écriture du fichier a échoué: le disque est peut-être plein.");
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

SettingsStore::SettingsStore(const QString& iniPath) {
    if (iniPath.isEmpty()) {
        m_fault = QStringLiteral(
                      "Les paramètres ne peuvent pas être enregistrés: aucun dossier personnel n'est défini (ni HOME "
                      "ni XDG_CONFIG_HOME).") +
                  kLostForThisRun;
        return;
    }
    m_path = QFileInfo(iniPath).absoluteFilePath();
    // QSettings reads the file as it opens it: a pipe would block the program there, a device fill its memory.
    if (refresh()) {
        m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
        m_settings->installEventFilter(new NoWriteBehindOurBack(m_settings.get()));
    }
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::fail(const QString& text) const {
    if (m_fault.isEmpty())
        m_fault = text + kLostForThisRun;
}

bool SettingsStore::refresh() const {
    if (!m_fault.isEmpty())
        return false;
    const QString reason = unreadableReason(m_path);
    if (!reason.isEmpty()) {
        fail(QStringLiteral("Les paramètres ne peuvent pas être lus dans:\n%1\n\n%2")
                 .arg(QDir::toNativeSeparators(m_path), reason));
        return false;
    }
    // Re-reads the file when it changed since the last look (its size or time); otherwise only looks at it.
    if (m_settings)
        m_settings->sync();
    return true;
}

std::optional<QString> SettingsStore::pendingValue(const QString& section, const QString& key) const {
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        if (change->section != section)
            continue;
        if (change->key.isEmpty())
            return QString();
        if (change->key == key)
            return change->value;
    }
    return std::nullopt;
}

QString SettingsStore::get(const QString& section, const QString& key) const {
    if (section.isEmpty() || key.isEmpty())
        return QString();
    if (const std::optional<QString> pending = pendingValue(section, key))
        return *pending;
    refresh();
    return m_settings ? asText(m_settings->value(keyOf(section, key))) : QString();
}

void SettingsStore::set(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty())
        return;
    std::optional<QString> current = pendingValue(section, key);
    if (!current && refresh() && m_settings && m_settings->contains(keyOf(section, key)))
        current = asText(m_settings->value(keyOf(section, key)));
    // A value written again as it is changes nothing on the disk.
    if (current != value)
        m_changes.push_back({section, key, value});
}

QList<QPair<QString, QString>> SettingsStore::section(const QString& section) const {
    QList<QPair<QString, QString>> pairs;
    if (section.isEmpty())
        return pairs;
    if (refresh() && m_settings) {
        m_settings->beginGroup(encodeName(section));
        const QStringList keys = m_settings->childKeys();
        for (const QString& key : keys)
            pairs.append({decodeName(key), asText(m_settings->value(key))});
        m_settings->endGroup();
    }
    for (const Change& change : m_changes) {
        if (change.section != section)
            continue;
        if (change.key.isEmpty()) {
            pairs.clear();
            continue;
        }
        const auto same =
            std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == change.key; });
        if (same == pairs.end())
            pairs.append({change.key, change.value});
        else
            same->second = change.value;
    }
    return pairs;
}

void SettingsStore::removeSection(const QString& section) {
    if (!section.isEmpty() && !this->section(section).isEmpty())
        m_changes.push_back({section, QString(), QString()});
}

bool SettingsStore::save() {
    if (m_changes.empty())
        return m_fault.isEmpty();
    if (!refresh() || !m_settings)
        return false;
    // QSettings writes a new file and renames it over the old one: a link's target is replaced, and would
    // belong to whoever runs the program.
    const QByteArray target = QFile::encodeName(targetOf(m_path));
    struct stat before {};
    const bool existed = ::stat(target.constData(), &before) == 0;
    for (const Change& change : m_changes) {
        if (change.key.isEmpty())
            m_settings->remove(encodeName(change.section));
        else
            m_settings->setValue(keyOf(change.section, change.key), change.value);
    }
    // Merged over the file as it is now: what others changed meanwhile stays.
    m_settings->sync();
    ++m_writes;
    if (m_settings->status() != QSettings::NoError) {
        fail(QStringLiteral("Les paramètres ne peuvent pas être enregistrés dans:\n%1\n\n%2")
                 .arg(QDir::toNativeSeparators(m_path), unwritableReason(m_path)));
        return false;
    }
    m_changes.clear();
    struct stat after {};
    if (existed && ::stat(target.constData(), &after) == 0) {
        if (after.st_uid != before.st_uid || after.st_gid != before.st_gid) {
            const int kept = ::chown(target.constData(), before.st_uid, before.st_gid);
            Q_UNUSED(kept);
        }
        if ((after.st_mode & 07777) != (before.st_mode & 07777))
            ::chmod(target.constData(), before.st_mode & 07777);
    }
    return true;
}

QString SettingsStore::fileName() const {
    return m_path;
}

bool SettingsStore::canSave() const {
    return m_fault.isEmpty();
}

QString SettingsStore::faultText() const {
    return m_fault;
}

}  // namespace tavanote
