#pragma once
// Typing into a list screen's search box the way real input arrives: a thread of its own
// presses one key every `gapMs` into the window-system queue, so keys pile up there while a
// refill holds the event loop. Measures the refills run, the time from the first key to the
// final sheet, and for each key the delay until the box paints with its character.
#include "lists/ActivationListScreen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputDevice>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <qpa/qwindowsysteminterface.h>
#include <thread>
#include <vector>

namespace bench {

struct TypingRun {
    int refills = 0;
    double totalMs = 0;
    double longestDelayMs = 0;
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

// `refill` runs the screen's designed refill: the sheet after typing must equal its result.
template <typename Refill>
TypingRun typeInto(orvane::ActivationListScreen* screen, const QString& text, int gapMs,
                   Refill refill) {
    QLineEdit* box = screen->TxSearch;
    box->setFocus();
    QCoreApplication::processEvents();
    const int before = screen->RefillsRun();
    const int n = int(text.size());
    std::vector<double> pressed(n, -1), shown(n, -1);
    QElapsedTimer clock;
    clock.start();
    PaintWatch watch(box, clock, shown);
    QWindow* window = screen->window()->windowHandle();
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
            using W = QWindowSystemInterface;
            W::handleKeyEvent<W::AsynchronousDelivery>(
                window, press ? QEvent::KeyPress : QEvent::KeyRelease, text[i].toUpper().unicode(),
                Qt::NoModifier, QString(text[i]));
        }
        typed = true;
    });
    TypingRun run;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool allShown =
            std::none_of(shown.begin(), shown.end(), [](double t) { return t < 0; });
        if ((typed && allShown && box->text() == text && !screen->RefillPending()) ||
            clock.elapsed() > 30000) {
            run.totalMs = clock.nsecsElapsed() / 1e6 - pressed[0];
            loop.quit();
        }
    });
    poll.start(2);
    loop.exec();
    typist.join();
    run.refills = screen->RefillsRun() - before;
    for (int i = 0; i < n; ++i)
        run.longestDelayMs = std::max(run.longestDelayMs, shown[i] - pressed[i]);
    const QStringList keys = columnTexts(*screen->Fbook, 7), ips = columnTexts(*screen->Fbook, 2);
    refill();
    run.finalSheetRight =
        keys == columnTexts(*screen->Fbook, 7) && ips == columnTexts(*screen->Fbook, 2);
    return run;
}

// Fast typing with the refills folded and not, alternately; each prefix of the text matches
// every row, the worst case.
inline constexpr int TypingRounds = 3;
inline constexpr int KeyGapMs = 40;
inline const QString TypedAhead = QStringLiteral("LICENSE ");

struct Typing {
    std::vector<TypingRun> folded, each;
};

inline double middle(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <typename Refill> Typing typeAhead(orvane::ActivationListScreen* screen, Refill refill) {
    Typing typing;
    for (int round = 0; round < TypingRounds; ++round)
        for (const bool fold : {true, false}) {
            screen->TxSearch->clear();
            QCoreApplication::processEvents();
            screen->SetRefillCoalescing(fold);
            (fold ? typing.folded : typing.each)
                .push_back(typeInto(screen, TypedAhead, KeyGapMs, [&] {
                    refill();
                    QCoreApplication::processEvents();
                }));
        }
    screen->SetRefillCoalescing(true);
    return typing;
}

inline void printRuns(const char* label, const std::vector<TypingRun>& runs) {
    std::vector<double> total, delay;
    for (const TypingRun& r : runs) {
        total.push_back(r.totalMs);
        delay.push_back(r.longestDelayMs);
        std::printf("  %s: refills %d, total %.0f ms, longest key-to-shown delay %.0f ms, final "
                    "sheet as one refill for the text: %s\n",
                    label, r.refills, r.totalMs, r.longestDelayMs,
                    r.finalSheetRight ? "yes" : "NO");
    }
    std::printf("  %s: median total %.0f ms, median longest delay %.0f ms\n", label, middle(total),
                middle(delay));
}

inline void printTyping(const char* where, const Typing& typing, double oneRefillMs) {
    std::printf("typing %d characters %d ms apart into %s (one refill: median %.1f ms):\n",
                int(TypedAhead.size()), KeyGapMs, where, oneRefillMs);
    printRuns("folded    ", typing.folded);
    printRuns("each key  ", typing.each);
    std::printf("  ratio of the median totals, folded / each key: %.2f (target: at most 2 "
                "refills, longest delay <= 300 ms)\n",
                [&] {
                    std::vector<double> f, e;
                    for (const auto& r : typing.folded)
                        f.push_back(r.totalMs);
                    for (const auto& r : typing.each)
                        e.push_back(r.totalMs);
                    return middle(f) / middle(e);
                }());
}

} // namespace bench
