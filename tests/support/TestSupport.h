#pragma once
// What the tests share: a fake desktop that answers message boxes and dialogs, and
// the private test server with a small dataset.
#include "platform/Database.h"
#include "platform/Messages.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

namespace orvane::test {

struct ShownMessage {
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
};

class FakeDesktop : public Desktop {
  public:
    FakeDesktop();
    ~FakeDesktop() override;

    MsgAnswer message(const QString& text, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> saveFileName(const QString& folder, const QString& filter,
                                        const QString& fileName) override;
    // Through saveFileName, with the type from `fileTypes`.
    std::optional<SaveAnswer> saveFile(const QString& folder, const QString& filter,
                                       const QString& fileName) override;
    std::optional<QString> openFileName(const QString& folder, const QString& filter) override;
    void openUrl(const QString& address) override;
    void endProgram() override;

    // Answers for the next open dialogs; an empty queue cancels.
    QQueue<QString> openNames;
    // Answers for the next questions; an empty queue answers OK / Yes.
    QQueue<MsgAnswer> answers;
    // Answers for the next save dialogs; an empty queue cancels.
    QQueue<std::optional<QString>> fileNames;
    // Types chosen in the next save dialogs that are not cancelled (0 for the filter's first
    // type); an empty queue keeps the first.
    QQueue<int> fileTypes;
    QList<ShownMessage> shown;
    struct DialogCall {
        QString folder, filter, fileName;
    };
    QList<DialogCall> dialogs;
    QStringList opened;
    int ended = 0;

    QStringList texts() const;
    void clear();
};

// Settings in a temporary folder for the life of the object.
class TempSettings {
  public:
    TempSettings();
    ~TempSettings();
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
};

// $XDG_STATE_HOME (where the ping monitor logs) in a temporary folder for the life of
// the object.
class TempStateHome {
  public:
    TempStateHome();
    ~TempStateHome();
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_;
};

class TestDb {
  public:
    static int port();
    // The connection text the program would use, on the test server's port.
    static QString connectionText();
    static std::unique_ptr<Connection> open();
    // Hands a fresh connection to the session and resets the session fields.
    static void installSession();
    // The start of most database tests: the fixture data, a fresh session, and the user
    // signed in (and working in a unit when one is given).
    static void startSession(const QString& userId, const QString& unitCode = QString(),
                             const QString& unitName = QString());
    // Reloads the small dataset of db/fixture.sql.
    static void loadFixture();
    static void runScript(const QString& path);
    static void runScript(const QString& path, Connection& connection);
    static void exec(const QString& sql, const Params& params = {});
    static QString scalar(const QString& sql, const Params& params = {});
    static int count(const QString& sql, const Params& params = {});
    static QString sourceDir();
};

// A unit's workstation counter and the workstation records of the test server's schema.
inline QString counterOf(const QString& unit) {
    return TestDb::scalar("Select no_value from numbersetup Where no_id=?", {"SYS_" + unit});
}
inline int records() {
    return TestDb::count("Select count(*) from hr_av_activation");
}

} // namespace orvane::test
