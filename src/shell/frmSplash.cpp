#include "shell/frmSplash.h"

#include "platform/Geometry.h"
#include "shell/frmLogin.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace orvane {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), Shape1(new QFrame(this)),
      Label1(new QLabel("Orvane", this)), Timer1(new QTimer(this)) {
    setObjectName("frmSplash");
    setAttribute(Qt::WA_DeleteOnClose);
    sizeTwips(this, 10020, 5925);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    placeTwips(Shape1, 60, 60, 9915, 5805);
    Label1->setObjectName("Label1");
    Label1->setFont(QFont("Times New Roman", 24, QFont::Bold));
    Label1->setStyleSheet("color: rgb(0, 0, 128); background: transparent;");
    placeTwips(Label1, 5730, 3180, 1635, 540);
    Label1->adjustSize();
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    Form_Load();
    Timer1->start();
}

void frmSplash::paintEvent(QPaintEvent*) {
    // The background picture: a soft band from top-left.
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, QColor(226, 234, 246));
    gradient.setColorAt(1, QColor(164, 186, 220));
    painter.fillRect(rect(), gradient);
    painter.setPen(QColor(0, 0, 128, 60));
    for (int x = -height(); x < width(); x += 24)
        painter.drawLine(x, height(), x + height(), 0);
}

void frmSplash::Timer1_Timer() {
    if (step_ >= 50) {
        level_ -= 5;
    } else {
        step_ += 5;
        level_ += 5;
    }
    if (level_ > 0)
        return;
    Timer1->stop();
    // The login opens before the splash goes, so the program never has no window.
    auto* login = new frmLogin();
    login->show();
    close();
}

} // namespace orvane
