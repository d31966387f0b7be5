#include "platform/Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace orvane {

namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString Settings::folder() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + "/.config";
    return base + "/Orvane";
}

void Settings::setFolder(const QString& folder) {
    overrideFolder() = folder;
}

QString Settings::fileOf(const QString& app) {
    return folder() + "/" + app + ".ini";
}

QString Settings::read(const QString& app, const QString& section, const QString& key) {
    QSettings s(fileOf(app), QSettings::IniFormat);
    return s.value(section + "/" + key).toString();
}

void Settings::write(const QString& app, const QString& section, const QString& key,
                     const QString& value) {
    QDir().mkpath(folder());
    QSettings s(fileOf(app), QSettings::IniFormat);
    s.setValue(section + "/" + key, value);
    s.sync();
}

} // namespace orvane
