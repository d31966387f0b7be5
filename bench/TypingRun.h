#pragma once
// Typing into a list screen's search box the way real input arrives: a thread of its own posts
// one key every `gapMs` to the box, whatever the UI thread is doing. Measures the refills laid
// out, the time from the first key to the final sheet, for each key the delay until the box
// paints with its character, and the longest stall of the UI thread (the largest gap between
// the ticks of a 1 ms timer).
#include "StallWatch.h"
#include "lists/ActivationListScreen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace bench {

struct TypingRun {
    int refills = 0;
    double totalMs = 0;
    double longestDelayMs = 0;
    double longestStallMs = 0;
    bool finalSheetRight = false;
};

// Records when the box first paints with each character.
class PaintWatch : public QObject {
  public:
    PaintWatch(QLineEdit* box, const QElapsedTimer& clock, std::vector<double>& shown)
        : box_(box), clock_(clock), shown_(shown) {
        box->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (int i = 0; i < std::min<int>(box_->text().size(), int(shown_.size())); ++i)
                if (shown_[i] < 0)
                    shown_[i] = clock_.nsecsElapsed() / 1e6;
        return false;
    }

  private:
    QLineEdit* box_;
    const QElapsedTimer& clock_;
    std::vector<double>& shown_;
};

inline QStringList columnTexts(const orvane::SheetComponent& sheet, int col) {
    QStringList texts;
    for (int r = 1; r <= sheet.maxRow(); ++r)
        texts << sheet.text(r, col);
    return texts;
}

inline Qt::Key keyOf(QChar ch) {
    return ch.isLetter() ? Qt::Key(Qt::Key_A + (ch.toUpper().unicode() - 'A'))
                         : Qt::Key(ch.unicode());
}

// `refill` runs the screen's designed refill: the sheet after typing must equal its result.
template <typename Refill>
TypingRun typeInto(orvane::ActivationListScreen* screen, const QString& text, int gapMs,
                   Refill refill) {
    QLineEdit* box = screen->TxSearch;
    box->setFocus();
    QCoreApplication::processEvents();
    const int before = screen->RefillsShown();
    const int n = int(text.size());
    std::vector<double> pressed(n, -1), shown(n, -1);
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch(box, clock, shown);
    TypingRun run;
    StallWatch stalls;
    std::atomic<bool> typed{false};
    // Made here: the first key event would make the default keyboard on the typist's thread.
    QInputDevice::primaryKeyboard();
    std::thread typist([&] {
        // Each key is released half a gap after it is pressed, as in quick typing.
        const auto start = std::chrono::steady_clock::now();
        for (int e = 0; e < 2 * n; ++e) {
            const int i = e / 2;
            const bool press = e % 2 == 0;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(i * gapMs) +
                                          std::chrono::milliseconds(press ? 0 : gapMs / 2));
            if (press)
                pressed[i] = clock.nsecsElapsed() / 1e6;
            QCoreApplication::postEvent(
                box, new QKeyEvent(press ? QEvent::KeyPress : QEvent::KeyRelease, keyOf(text[i]),
                                   Qt::NoModifier, QString(text[i])));
        }
        typed = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool allShown =
            std::none_of(shown.begin(), shown.end(), [](double t) { return t < 0; });
        if ((typed && allShown && box->text() == text && !screen->RefillRunning()) ||
            clock.elapsed() > 30000) {
            run.totalMs = clock.nsecsElapsed() / 1e6 - pressed[0];
            loop.quit();
        }
    });
    poll.start(2);
    loop.exec();
    typist.join();
    stalls.stop();
    run.longestStallMs = stalls.longestMs();
    run.refills = screen->RefillsShown() - before;
    for (int i = 0; i < n; ++i)
        run.longestDelayMs = std::max(run.longestDelayMs, shown[i] - pressed[i]);
    const QStringList keys = columnTexts(*screen->Fbook, 7), ips = columnTexts(*screen->Fbook, 2);
    refill();
    run.finalSheetRight =
        keys == columnTexts(*screen->Fbook, 7) && ips == columnTexts(*screen->Fbook, 2);
    return run;
}

// Each prefix of the text matches every row, the worst case.
inline constexpr int TypingRounds = 3;
inline constexpr int KeyGapMs = 40;
inline const QString TypedAhead = QStringLiteral("LICENSE ");

inline double middle(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <typename Refill>
std::vector<TypingRun> typeAhead(orvane::ActivationListScreen* screen, Refill refill) {
    std::vector<TypingRun> runs;
    for (int round = 0; round < TypingRounds; ++round) {
        screen->TxSearch->clear();
        screen->WaitForRefill();
        runs.push_back(typeInto(screen, TypedAhead, KeyGapMs, [&] {
            refill();
            QCoreApplication::processEvents();
        }));
    }
    return runs;
}

// `oneRefillMs`: what each key would hold the UI thread for with the refill on it, the baseline.
inline void printTyping(const char* where, const std::vector<TypingRun>& runs, double oneRefillMs) {
    std::printf("typing %d characters %d ms apart into %s:\n", int(TypedAhead.size()), KeyGapMs,
                where);
    std::vector<double> delay, stall;
    for (const TypingRun& r : runs) {
        delay.push_back(r.longestDelayMs);
        stall.push_back(r.longestStallMs);
        std::printf("  refills laid out %d, total %.0f ms, longest key-to-shown delay %.1f ms, "
                    "longest UI stall %.1f ms, final sheet as one refill for the text: %s\n",
                    r.refills, r.totalMs, r.longestDelayMs, r.longestStallMs,
                    r.finalSheetRight ? "yes" : "NO");
    }
    std::printf("  median longest delay %.1f ms (target <= 16), median longest UI stall %.1f ms "
                "(target <= 30); baseline, one refill on the UI thread: %.1f ms\n",
                middle(delay), middle(stall), oneRefillMs);
}

} // namespace bench
