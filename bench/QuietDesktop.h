#pragma once
// Message boxes would block a bench: each is counted and printed on standard error instead,
// and save dialogs are cancelled.
#include "platform/Messages.h"

#include <cstdio>

namespace bench {

class QuietDesktop : public orvane::Desktop {
  public:
    int messages = 0;
    orvane::MsgAnswer message(const QString& text, orvane::MsgIcon, orvane::MsgButtons) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return orvane::MsgAnswer::Ok;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void openUrl(const QString&) override {}
    void endProgram() override {}
};

} // namespace bench
