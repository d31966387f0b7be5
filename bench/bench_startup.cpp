// Start-up time of the real program, one fresh process per run:
//   login screen shown, measured from process start (splash and its twenty ticks included);
//   main window shown, measured from Enter on a correct password.
// Baseline in the same run: a bare Qt process showing one empty window.
// Needs the private server on 127.0.0.1:3306 with the demo data (scripts/db start --demo).
//   bench_startup [runs] [user] [password]
#include "app/mdlTarovel.h"
#include "shell/Main.h"
#include "platform/Settings.h"
#include "shell/frmLogin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

qint64 monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

double sinceMs(qint64 from) { return double(monotonicNs() - from) / 1e6; }

// Reports the first time a top-level window of the given name is exposed.
class ExposeWatch : public QObject {
  public:
    std::function<void(QWidget*)> onLogin, onMain;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Expose)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window)
            return false;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() != window || !w->isVisible())
                continue;
            if (w->objectName() == "frmLogin" && onLogin) {
                auto f = std::move(onLogin);
                onLogin = nullptr;
                f(w);
            } else if (w->objectName() == "frmMain" && onMain) {
                auto f = std::move(onMain);
                onMain = nullptr;
                f(w);
            }
        }
        return false;
    }
};

int child(int argc, char** argv, qint64 t0, const QString& password) {
    QApplication app(argc, argv);
    ExposeWatch watch;
    app.installEventFilter(&watch);
    double loginMs = -1, mainMs = -1;
    qint64 enterAt = 0;
    watch.onLogin = [&](QWidget* w) {
        loginMs = sinceMs(t0);
        auto* login = static_cast<orvane::frmLogin*>(w);
        QTimer::singleShot(0, login, [&, login] {
            login->TxtPassword->setText(password);
            login->TxtPassword->setFocus();
            enterAt = monotonicNs();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
            QApplication::sendEvent(login->TxtPassword, &press);
        });
    };
    watch.onMain = [&](QWidget*) {
        mainMs = sinceMs(enterAt);
        QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    };
    if (!orvane::Main())
        return 2;
    QTimer::singleShot(10000, &app, [] { QApplication::exit(3); });
    const int rc = app.exec();
    std::printf("%.3f %.3f\n", loginMs, mainMs);
    return rc;
}

int baselineChild(int argc, char** argv, qint64 t0) {
    QApplication app(argc, argv);
    ExposeWatch watch;
    app.installEventFilter(&watch);
    QWidget window;
    window.setObjectName("frmLogin");
    watch.onLogin = [&](QWidget*) {
        std::printf("%.3f 0\n", sinceMs(t0));
        QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    };
    window.show();
    return app.exec();
}

struct Stats {
    QList<double> values;
    double median() const {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        return v.isEmpty() ? 0 : v[v.size() / 2];
    }
    double worst() const { return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

bool runChild(const QString& self, const QString& mode, const QProcessEnvironment& env, double& a,
              double& b) {
    QProcess process;
    QProcessEnvironment e = env;
    e.insert("ORVANE_BENCH_T0", QString::number(monotonicNs()));
    process.setProcessEnvironment(e);
    process.start(self, {mode});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        std::fprintf(stderr, "run failed (%s): %s\n", qPrintable(mode),
                     process.readAllStandardError().constData());
        return false;
    }
    const QStringList parts = QString::fromLatin1(process.readAllStandardOutput()).split(' ');
    a = parts.value(0).toDouble();
    b = parts.value(1).toDouble();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString(argv[1]) : QString();
    if (mode == "--child" || mode == "--baseline") {
        const qint64 t0 = qEnvironmentVariable("ORVANE_BENCH_T0").toLongLong();
        if (mode == "--baseline")
            return baselineChild(argc, argv, t0);
        return child(argc, argv, t0, qEnvironmentVariable("ORVANE_BENCH_PASSWORD"));
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString(argv[1]).toInt() : 15;
    const QString user = argc > 2 ? argv[2] : "admin";
    const QString password = argc > 3 ? argv[3] : "admin123";

    QTemporaryDir config;
    orvane::Settings::setFolder(config.path() + "/Orvane");
    orvane::Settings::write("Tarovel", "ServerIp", "ServerIP", "127.0.0.1");
    orvane::Settings::write("SYS", "Login", "AUser", user);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("ORVANE_BENCH_PASSWORD", password);
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");

    const QString self = QCoreApplication::applicationFilePath();
    Stats login, mainWindow, baseline;
    for (int i = 0; i < runs; ++i) {
        double a = 0, b = 0;
        if (!runChild(self, "--baseline", env, a, b))
            return 1;
        baseline.values << a;
        if (!runChild(self, "--child", env, a, b))
            return 1;
        login.values << a;
        mainWindow.values << b;
    }
    std::printf("start-up over %d runs (platform %s)\n", runs,
                qPrintable(env.value("QT_QPA_PLATFORM", "xcb")));
    std::printf("  bare Qt window shown:        median %7.1f ms  worst %7.1f ms\n",
                baseline.median(), baseline.worst());
    std::printf("  login screen shown:          median %7.1f ms  worst %7.1f ms  (target 300 ms; "
                "%.2fx the bare window)\n",
                login.median(), login.worst(), login.median() / baseline.median());
    std::printf("  main window after Enter:     median %7.1f ms  worst %7.1f ms  (target 150 ms)\n",
                mainWindow.median(), mainWindow.worst());
    return 0;
}
