// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Cost of one tick without and with painting, headless (offscreen platform).
//
// A tick is what one timeout of sortTimer costs the event loop: the step
// itself, then one pass of the loop, in which the scene does the work it
// defers (dirty items, scene rectangle, index) and, for a shown window,
// the view repaints what changed.

#include "benchhelpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPaintEvent>

#include <benchmark/benchmark.h>

#include <functional>

#include "ui_mainwindow.h"

#include <map>

namespace {

const int sizes[] = {1500, 20000, 100000};

// Windows are expensive to build at 100,000 bars: keep one per size and
// visibility, rebuilt only when a Stalin sort has removed bars. They must go
// before the application object does.
std::map<std::pair<int, bool>, std::unique_ptr<MainWindow>> windows;

MainWindow &cachedWindow(int count, bool shown)
{
    std::unique_ptr<MainWindow> &window = windows[{count, shown}];
    if (!window || window->values.size() != count || window->items.size() != count) {
        window.reset();
        window = makeWindow(count, shown);
    }
    return *window;
}

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget)
        : target(widget)
    {
        target->installEventFilter(this);
    }
    ~PaintCounter() override { target->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QWidget *target;
};

// A step as a timeout runs it, kept in the history for a step back.
void stepTick(benchmark::State &state, const Algorithm &algorithm, int count)
{
    MainWindow *window = &cachedWindow(count, false);
    startByHand(*window, algorithm);
    int restarts = 0;
    for (auto _ : state) {
        window->runStep();
        QCoreApplication::processEvents();
        if (runEnded(*window)) {
            state.PauseTiming();
            window = &cachedWindow(count, false);
            startByHand(*window, algorithm);
            ++restarts;
            state.ResumeTiming();
        }
    }
    state.counters["restarts"] = restarts;
}

// What the history of a step back holds at its fullest: the steps of a run
// from the fixed shuffle, up to as many as it keeps, or the whole run where
// it is shorter. Where the steps are too slow for that, the memory of the
// steps made in 5 s is scaled up to a full history.
void historyMemory(benchmark::State &state, const Algorithm &algorithm, int count)
{
    double megabytes = 0;
    for (auto _ : state) {
        MainWindow *window = &cachedWindow(count, false);
        startByHand(*window, algorithm);
        QElapsedTimer clock;
        clock.start();
        while (window->stepHistory.size() < StepHistory::maxSteps && !runEnded(*window)
               && clock.elapsed() < 5000)
            window->runStep();
        const StepHistory &history = window->stepHistory;
        const bool cut = !runEnded(*window) && history.size() < StepHistory::maxSteps;
        const double scale = cut ? double(StepHistory::maxSteps) / std::max(history.size(), 1) : 1.0;
        megabytes = double(history.memoryUse()) * scale / 1e6;
        QCoreApplication::processEvents();
    }
    state.counters["history_MB"] = megabytes;
}

void swapTick(benchmark::State &state, int count, bool shown)
{
    MainWindow &window = cachedWindow(count, shown);
    QGraphicsView *view = window.ui->sortGraphicView;
    PaintCounter counter(view->viewport());
    std::mt19937 engine(7);
    std::uniform_int_distribution<int> slot(0, count - 1);
    for (auto _ : state) {
        window.swapItems(slot(engine), slot(engine), true);
        QCoreApplication::processEvents();
    }
    state.counters["paints_per_tick"] = double(counter.paints) / double(state.iterations());
}

// The swap alone, without the pass of the event loop that follows it (the
// deferred work is done every 256 swaps, untimed).
void swapCall(benchmark::State &state, int count)
{
    MainWindow &window = cachedWindow(count, false);
    std::mt19937 engine(7);
    std::uniform_int_distribution<int> slot(0, count - 1);
    int batch = 0;
    for (auto _ : state) {
        window.swapItems(slot(engine), slot(engine), true);
        if (++batch == 256) {
            state.PauseTiming();
            QCoreApplication::processEvents();
            batch = 0;
            state.ResumeTiming();
        }
    }
}

void fullPaint(benchmark::State &state, int count)
{
    MainWindow &window = cachedWindow(count, true);
    QWidget *viewport = window.ui->sortGraphicView->viewport();
    for (auto _ : state)
        viewport->repaint();
}

// Times shuffle-animation ticks, starting a new reshuffle (untimed) each
// time one ends.
void shuffleTicks(benchmark::State &state, MainWindow &window, const std::function<void()> &restart)
{
    restart();
    for (auto _ : state) {
        window.animateRandomization();
        QCoreApplication::processEvents();
        if (!window.shuffling) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
    }
}

// The reshuffle to the same count: one swap into place per tick.
void reorderTick(benchmark::State &state, int count)
{
    MainWindow &window = cachedWindow(count, false);
    auto restart = [&] {
        window.startPending = false;
        window.reset();
        window.sortTimer->stop();
    };
    shuffleTicks(state, window, restart);
}

// The reshuffle to a new count, alternately one bar more and one bar less:
// each tick creates a bar, removes one, or both.
void rebuildTick(benchmark::State &state, int count)
{
    MainWindow &window = cachedWindow(count, false);
    int next = count - 1;
    auto restart = [&] {
        window.startPending = false;
        window.ui->itemNumberLineEdit->setText(QString::number(next));
        next = next == count ? count - 1 : count;
        window.reset();
        window.sortTimer->stop();
    };
    shuffleTicks(state, window, restart);
    // Leave the row at its size for the benchmarks that follow.
    window.ui->itemNumberLineEdit->setText(QString::number(count));
    if (window.values.size() != count) {
        window.startPending = false;
        window.reset();
        while (window.shuffling)
            window.animateRandomization();
    }
}

void registerAll()
{
    for (int count : sizes) {
        for (const Algorithm &algorithm : allAlgorithms())
            benchmark::RegisterBenchmark(
                ("step/" + std::string(algorithm.name) + "/" + std::to_string(count)).c_str(),
                [&algorithm, count](benchmark::State &s) { stepTick(s, algorithm, count); })
                ->MinTime(0.3);
        if (count != 20000) {
            for (const Algorithm &algorithm : allAlgorithms())
                benchmark::RegisterBenchmark(
                    ("history/" + std::string(algorithm.name) + "/" + std::to_string(count)).c_str(),
                    [&algorithm, count](benchmark::State &s) { historyMemory(s, algorithm, count); })
                    ->Iterations(1)
                    ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("step/SwapCall/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { swapCall(s, count); })
            ->MinTime(0.3);
        benchmark::RegisterBenchmark(("step/Swap/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { swapTick(s, count, false); })
            ->MinTime(0.3);
        benchmark::RegisterBenchmark(("step/Reorder/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { reorderTick(s, count); })
            ->MinTime(0.3);
        benchmark::RegisterBenchmark(("step/Rebuild/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { rebuildTick(s, count); })
            ->MinTime(0.3);
    }
    for (int count : {1500, 100000}) {
        benchmark::RegisterBenchmark(("paint/Swap/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { swapTick(s, count, true); })
            ->MinTime(0.3);
        benchmark::RegisterBenchmark(("paint/Full/" + std::to_string(count)).c_str(),
                                     [count](benchmark::State &s) { fullPaint(s, count); })
            ->MinTime(0.3);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ALSOFT_DRIVERS", "null");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows.clear();
    return 0;
}
