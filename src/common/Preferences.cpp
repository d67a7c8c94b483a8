#include "Preferences.h"

#include "common/DateText.h"
#include "common/SettingsStore.h"
#include "common/TextRules.h"

namespace tavanote {

namespace {

const QString kSuppression = QStringLiteral("suppression");
const QString kPosition = QStringLiteral("position");
const QString kCouleur = QStringLiteral("couleur");
const QString kAffichage = QStringLiteral("affichage");
const QString kDemarragePc = QStringLiteral("demarrage pc");
const QString kConfirmationFermeture = QStringLiteral("confirmation fermeture");
const QString kFinProgramme = QStringLiteral("fin programme");
const QString kLegende = QStringLiteral("legende");
const QString kDateDeDebut = QStringLiteral("date de debut");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void Preferences::writeMissingDefaults() {
    static const std::vector<std::pair<QString, QString>> defaults = {
        {kSuppression, QStringLiteral("0")},           {kDemarragePc, QStringLiteral("1")},
        {kFinProgramme, QStringLiteral("1")},          {kPosition, QString()},
        {kCouleur, QString::number(kDefaultColour)},   {kAffichage, QStringLiteral("3")},
        {kConfirmationFermeture, QStringLiteral("1")}, {kLegende, QStringLiteral("1")},
    };
    for (const auto& [key, value] : defaults) {
        if (get(key).isEmpty())
            set(key, value);
    }
}

bool Preferences::leftByFirstVersion() const {
    return !get(kDateDeDebut).isEmpty() && get(kSuppression).isEmpty();
}

QString Preferences::get(const QString& key) const {
    return m_settings.get(kParametres, key);
}

void Preferences::set(const QString& key, const QString& value) {
    m_settings.set(kParametres, key, value);
}

Expiry Preferences::expiry() const {
    return get(kSuppression) == QLatin1String("0") ? Expiry::Delete : Expiry::KeepAsErrone;
}

void Preferences::setExpiry(Expiry expiry) {
    set(kSuppression, expiry == Expiry::Delete ? QStringLiteral("0") : QStringLiteral("1"));
}

NotePlace Preferences::notePlace() const {
    const QString position = get(kPosition);
    if (position.isEmpty())
        return {};
    if (position.size() != 1 || position.at(0) < QLatin1Char('0') || position.at(0) > QLatin1Char('8'))
        return {NotePlace::Kind::WindowSystem, 0};
    return {NotePlace::Kind::Fixed, position.at(0).unicode() - '0'};
}

void Preferences::setNotePlace(std::optional<int> fixed) {
    set(kPosition, fixed ? QString::number(*fixed) : QString());
}

std::optional<quint32> Preferences::noteColour() const {
    const QString couleur = get(kCouleur);
    if (couleur.isEmpty())
        return std::nullopt;
    return static_cast<quint32>(leadingNumber(couleur) & 0xFFFFFF);
}

void Preferences::setNoteColour(std::optional<quint32> stored) {
    set(kCouleur, stored ? QString::number(*stored) : QString());
}

NoteStamp Preferences::noteStamp() const {
    const QString affichage = get(kAffichage);
    if (affichage == QLatin1String("0"))
        return {false, false};
    if (affichage == QLatin1String("1"))
        return {true, false};
    if (affichage == QLatin1String("2"))
        return {false, true};
    return {true, true};
}

void Preferences::setNoteStamp(NoteStamp stamp) {
    set(kAffichage, QString::number((stamp.date ? 1 : 0) + (stamp.time ? 2 : 0)));
}

bool Preferences::startWithComputer() const {
    const QString value = trimBlanks(get(kDemarragePc));
    return value.isEmpty() || leadingNumber(value) != 0;
}

void Preferences::setStartWithComputer(bool start) {
    set(kDemarragePc, flag(start));
}

bool Preferences::askBeforeClosingNote() const {
    return get(kConfirmationFermeture) == QLatin1String("1");
}

void Preferences::setAskBeforeClosingNote(bool ask) {
    set(kConfirmationFermeture, flag(ask));
}

bool Preferences::askBeforeQuitting() const {
    return get(kFinProgramme) == QLatin1String("1");
}

void Preferences::setAskBeforeQuitting(bool ask) {
    set(kFinProgramme, flag(ask));
}

bool Preferences::showLegend() const {
    return leadingNumber(get(kLegende)) != 0;
}

void Preferences::setShowLegend(bool show) {
    set(kLegende, flag(show));
}

QString Preferences::firstStartDate() const {
    return get(kDateDeDebut);
}

void Preferences::setFirstStartDate(const QDate& date) {
    set(kDateDeDebut, formatDate(date));
}

void Preferences::setVersion(const QString& version) {
    set(QStringLiteral("version"), version);
}

void Preferences::setProgramFolder(const QString& folder) {
    set(QStringLiteral("dossier application"), folder);
}

}  // namespace tavanote
