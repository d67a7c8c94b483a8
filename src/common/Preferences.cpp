#include "Preferences.h"

#include "common/SettingsStore.h"

namespace tavanote {

namespace {

const QString kSuppression = QStringLiteral("suppression");

}  // namespace

const std::vector<std::pair<QString, QString>>& Preferences::defaults() {
    static const std::vector<std::pair<QString, QString>> values = {
        {kSuppression, QStringLiteral("0")},
        {QStringLiteral("demarrage pc"), QStringLiteral("1")},
        {QStringLiteral("fin programme"), QStringLiteral("1")},
        {QStringLiteral("position"), QString()},
        {QStringLiteral("couleur"), QString::number(kDefaultColour)},
        {QStringLiteral("affichage"), QStringLiteral("3")},
        {QStringLiteral("confirmation fermeture"), QStringLiteral("1")},
    };
    return values;
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

bool Preferences::askBeforeClosingNote() const {
    return get(QStringLiteral("confirmation fermeture")) == QLatin1String("1");
}

}  // namespace tavanote
