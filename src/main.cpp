#include "shell/Main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvane");
    QApplication::setWindowIcon(QIcon(":/orvane.png"));
    if (!orvane::Main())
        return 0;
    return app.exec();
}
