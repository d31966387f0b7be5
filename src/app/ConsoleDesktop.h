#pragma once
// Messages of a program without windows: written to standard error, never waited for.
#include "platform/Messages.h"

#include <QTextStream>

namespace orvane {

class ConsoleDesktop : public Desktop {
  public:
    explicit ConsoleDesktop(QTextStream& err) : err_(err) {}
    MsgAnswer message(const QString& text, MsgIcon, MsgButtons buttons) override {
        err_ << QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << "\n";
        // Nobody answers: a question is declined.
        switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            break;
        }
        return MsgAnswer::No;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void openUrl(const QString&) override {}
    void endProgram() override {}

  private:
    QTextStream& err_;
};

} // namespace orvane
