#pragma once
// Per-user settings store: one INI file per application in $XDG_CONFIG_HOME/Orvane/.
#include <QString>

namespace orvane {

class Settings {
  public:
    // Empty text when the entry is absent.
    static QString read(const QString& app, const QString& section, const QString& key);
    static void write(const QString& app, const QString& section, const QString& key,
                      const QString& value);
    static QString folder();
    static QString fileOf(const QString& app);
    // Tests point the store at a temporary folder.
    static void setFolder(const QString& folder);
};

} // namespace orvane
