#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

namespace orvane {

namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}

// The value text of section/key exactly as the file has it after "=", when present.
std::optional<QString> rawValue(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).remove('\n').remove('\r');
        const QString bare = line.trimmed();
        if (bare.startsWith('[')) {
            inSection = bare.compare("[" + section + "]", Qt::CaseInsensitive) == 0;
            continue;
        }
        const int eq = line.indexOf('=');
        if (inSection && eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return std::nullopt;
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
    const QString value = s.value(section + "/" + key).toString();
    // The INI reader drops blanks around a plain value; a value's blanks are part of it
    // ("127.0.0.1 " is not the local server).
    const std::optional<QString> raw = rawValue(fileOf(app), section, key);
    if (raw && !raw->trimmed().startsWith('"') && raw->trimmed() == value)
        return *raw;
    return value;
}

void Settings::write(const QString& app, const QString& section, const QString& key,
                     const QString& value) {
    QDir().mkpath(folder());
    QSettings s(fileOf(app), QSettings::IniFormat);
    s.setValue(section + "/" + key, value);
    s.sync();
}

} // namespace orvane
