#pragma once
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace orvane {

// Shown by start-up; hands over to the login screen after twenty timer ticks.
class frmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit frmSplash(QWidget* parent = nullptr);

    QFrame* Shape1;
    QLabel* Label1;
    QTimer* Timer1;

  public slots:
    void Form_Load() {}
    void Timer1_Timer();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qint16 step_ = 0;
    double level_ = 0;
};

} // namespace orvane
