// orvane-import: its arguments and password file as a process, then sign-in, check and store
// on the test server with the exit status of each outcome.
#include "../lists/ListsTestData.h"
#include "ImportFiles.h"
#include "importcli/ImportOptions.h"
#include "importcli/ImportRun.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using namespace importfiles;

class tst_orvaneimport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

  private slots:
    void refusesBadArgumentsAndOpenPasswordFiles() {
        bytes(path("open.pw"), "topsecret\n");
        QFile::setPermissions(path("open.pw"), QFile::ReadOwner | QFile::ReadGroup);
        bytes(path("a.csv"), "IP,OS\n");
        const QList<QStringList> cases{
            {path("a.csv"), "--user", "chief"},
            {path("a.txt"), "--unit", "U1", "--user", "chief"},
            {path("a.csv"), "--unit", "U1", "--user", "chief", "--password-file", path("open.pw")},
            {path("a.csv"), "--unit", "U1", "--user", "chief", "--dates", "yyyy"},
        };
        for (const QStringList& args : cases) {
            QProcess p;
            p.start(ORVANE_IMPORT_BIN, args);
            QVERIFY(p.waitForFinished(30000));
            QVERIFY2(p.exitCode() == 2, qPrintable(args.join(' ')));
        }
    }

    void statusOfEachOutcome() {
        struct Case {
            const char* name;
            QStringList extra;
            QString user, password;
            int status;
            int stored; // records afterwards
        };
        const Case cases[] = {
            {"wrong password", {}, "chief", "nope", 3, 0},
            {"unit not granted", {}, "lena", "pass8", 3, 0},
            {"sign-in flag off", {}, "otto", "pass6", 3, 0},
            {"rows in error store nothing", {}, "chief", "topsecret", 1, 0},
            {"dry run", {"--dry-run", "--skip-errors"}, "chief", "topsecret", 1, 0},
            {"skip errors stores the rest", {"--skip-errors"}, "chief", "topsecret", 1, 1},
        };
        bytes(path("w.csv"), "IP,OS,User\n10.2.0.1,LINUX,ANN\n,WIN,BOB\n");
        for (const Case& c : cases) {
            listsdata::freshSession();
            QString error;
            const auto options = importcli::ParseImportOptions(
                QStringList{path("w.csv"), "--unit", "U1", "--user", c.user} + c.extra, error);
            QVERIFY(options);
            QString outText, errText;
            QTextStream out(&outText), err(&errText);
            const int status = importcli::ImportOnSession(*options, c.password, out, err);
            QVERIFY2(status == c.status, qPrintable(QString("%1: %2").arg(c.name, errText)));
            QVERIFY2(records() == c.stored, c.name);
            if (c.stored)
                QCOMPARE(outText, QString("1 new, 0 updates, 0 unchanged, 1 errors\n"
                                          "stored 1 new (S100001 to S100001), 0 updated\n"));
        }
    }
};

QTEST_MAIN(tst_orvaneimport)
#include "tst_orvaneimport.moc"
