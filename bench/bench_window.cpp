// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Pacing and start-up in a real window: run under tests/run-x11.sh or
// tests/run-wayland.sh.
//
// pace/<algorithm>/<delay>[/<bars>bars]: the window shown full screen as by
// the program, 1500 bars (or as many as named), the algorithm started by the
// start command; a counter joins sortTimer's timeout once the entry has
// connected its step, and counts the ticks actually run for a few seconds (a
// run that ends sooner is started again on the same shuffle). Also counted:
// the view's paints, the time the window spends repainting and flushing (in
// all, and per frame: mean and worst), and at 1 ms the ticks of a bare 1 ms
// timer measured just before and just after: the pace the machine allows
// right then.
//
// reshuffle/<bars> and sweep/<bars>: how long the reshuffle of a row of
// that many bars to a fresh order takes (1500 ms promised), and the end
// sweep over that many bars (1000 ms up to 1000 bars), from the command to
// the timer's last tick.
//
// startup/<count>: launches this program again as a child that does what
// main() does with the bar count preset, and takes the time from the launch
// to the end of the first painted frame of the view, and the child's peak
// resident memory.

#include "benchhelpers.h"
#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGraphicsView>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "ui_mainwindow.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

const double paceSeconds = 3.0;

qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the view's paints and times the window's repaints (paint and
// flush to the screen), by delivering each update request itself.
class PaintMeter : public QObject
{
public:
    PaintMeter(QWidget *window, QWidget *viewport)
        : window(window)
        , viewport(viewport)
    {
        window->installEventFilter(this);
        viewport->installEventFilter(this);
    }
    bool active = false; // counts only while a run is measured
    int viewPaints = 0;
    int repaints = 0;
    qint64 repaintNs = 0;
    qint64 worstRepaintNs = 0;

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (!active)
            return false;
        if (target == viewport && event->type() == QEvent::Paint)
            ++viewPaints;
        if (target != window || event->type() != QEvent::UpdateRequest || inside)
            return false;
        inside = true;
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::sendEvent(window, event);
        const qint64 ns = clock.nsecsElapsed();
        ++repaints;
        repaintNs += ns;
        worstRepaintNs = std::max(worstRepaintNs, ns);
        inside = false;
        return true;
    }

private:
    QWidget *window;
    QWidget *viewport;
    bool inside = false;
};

MainWindow &programWindow()
{
    static MainWindow *window = [] {
        auto *w = new MainWindow;
        showMainWindow(*w);
        while (!w->windowHandle() || !w->windowHandle()->isExposed() || w->values.isEmpty())
            spin(10);
        spin(300);
        return w;
    }();
    return *window;
}

// Brings the row back to the fixed shuffle of `bars` bars, rebuilding it
// through the shuffle animation if a Stalin sort removed bars or the last
// run had another count.
void prepareRow(MainWindow &window, int bars)
{
    window.sortTimer->stop();
    window.resetSmoothEndSound();
    if (window.values.size() != bars) {
        window.ui->itemNumberLineEdit->setText(QString::number(bars));
        window.needsReshuffle = true;
        window.reset();
        while (window.shuffling)
            spin(50);
    }
    arrangeFast(window, fixedShuffle(bars));
    window.needsReshuffle = false;
    QCoreApplication::processEvents();
}

// Ticks per second of a bare 1 ms QTimer with nothing else connected: the
// pacing that this machine's event loop allows at the moment.
double bareTimerRate(double seconds)
{
    QTimer timer;
    qint64 ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    timer.start(1);
    const qint64 start = monotonicNs();
    loop.exec();
    const qint64 elapsedNs = monotonicNs() - start;
    timer.stop();
    return double(ticks) / (double(elapsedNs) / 1e9);
}

void pace(benchmark::State &state, int algorithm, int delay, int bars)
{
    MainWindow &window = programWindow();
    window.ui->sortingMethodsComboBox->setCurrentIndex(algorithm);
    window.ui->delayLineEdit->setText(QString::number(delay));
    PaintMeter meter(&window, window.ui->sortGraphicView->viewport());

    qint64 ticks = 0;
    qint64 elapsedNs = 0;
    // The bare timer's rate just before and just after the run: what the
    // machine allows at the time.
    const double bareBefore = delay > 0 ? bareTimerRate(1.5) : 0;
    for (auto _ : state) {
        while (elapsedNs < qint64(paceSeconds * 1e9)) {
            prepareRow(window, bars);
            QEventLoop loop;
            window.startSorting();
            // The entry has dropped every connection of sortTimer and
            // connected its step: the counter runs right after each step.
            const QMetaObject::Connection counter = QObject::connect(window.sortTimer, &QTimer::timeout, [&] {
                ++ticks;
                if (!window.sortTimer->isActive())
                    loop.quit();
            });
            const qint64 left = qint64(paceSeconds * 1e9) - elapsedNs;
            QTimer::singleShot(int(left / 1000000) + 1, &loop, &QEventLoop::quit);
            meter.active = true;
            const qint64 start = monotonicNs();
            loop.exec();
            elapsedNs += monotonicNs() - start;
            meter.active = false;
            QObject::disconnect(counter);
            window.sortTimer->stop();
        }
        state.SetIterationTime(double(elapsedNs) / 1e9);
    }
    window.resetSmoothEndSound();
    const double bareRate = delay > 0 ? (bareBefore + bareTimerRate(1.5)) / 2 : 0;
    const double seconds = double(elapsedNs) / 1e9;
    state.counters["ticks_per_s"] = double(ticks) / seconds;
    if (delay > 0) {
        state.counters["pace"] = double(ticks) / seconds / (1000.0 / delay);
        state.counters["pace_vs_bare"] = double(ticks) / seconds / bareRate;
    }
    state.counters["paints_per_s"] = double(meter.viewPaints) / seconds;
    state.counters["repaint_share"] = double(meter.repaintNs) / double(elapsedNs);
    state.counters["frame_ms_mean"] = meter.repaints > 0 ? double(meter.repaintNs) / meter.repaints / 1e6 : 0;
    state.counters["frame_ms_worst"] = double(meter.worstRepaintNs) / 1e6;
}

void paceIdle(benchmark::State &state)
{
    programWindow();
    double rate = 0;
    for (auto _ : state) {
        rate = bareTimerRate(paceSeconds);
        state.SetIterationTime(paceSeconds);
    }
    state.counters["ticks_per_s"] = rate;
    state.counters["pace"] = rate / 1000.0;
}

// Runs the event loop until `done`, and returns the time it took.
double secondsUntil(const std::function<bool()> &done)
{
    const qint64 start = monotonicNs();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(monotonicNs() - start) / 1e9;
}

void reshuffleTime(benchmark::State &state, int bars)
{
    MainWindow &window = programWindow();
    prepareRow(window, bars);
    double seconds = 0;
    for (auto _ : state) {
        window.startPending = false;
        window.reset();
        seconds = secondsUntil([&] { return !window.shuffling; });
        state.SetIterationTime(seconds);
    }
    window.tone.stop();
    state.counters["vs_promised"] = seconds / (window.shuffleDuration / 1000.0);
}

void sweepTime(benchmark::State &state, int bars)
{
    MainWindow &window = programWindow();
    prepareRow(window, bars);
    double seconds = 0;
    for (auto _ : state) {
        window.resetSmoothEndSound();
        window.tone.play();
        window.stopTimer();
        seconds = secondsUntil([&] { return !window.finishTimer->isActive(); });
        state.SetIterationTime(seconds);
    }
    const double promised = std::max(window.smoothEndDuration / bars, 1) * bars / 1000.0;
    state.counters["vs_promised"] = seconds / promised;
}

void startup(benchmark::State &state, int count)
{
    double rssMb = 0;
    for (auto _ : state) {
        QProcess child;
        const qint64 launched = monotonicNs();
        child.start(QCoreApplication::applicationFilePath(), {"--startup-child", QString::number(count)});
        child.waitForFinished(120000);
        qint64 framed = 0;
        long rssKb = 0;
        if (std::sscanf(child.readAllStandardOutput().constData(), "%lld %ld", &framed, &rssKb) != 2) {
            state.SkipWithError("the child reported no frame");
            return;
        }
        state.SetIterationTime(double(framed - launched) / 1e9);
        rssMb = double(rssKb) / 1024.0;
    }
    state.counters["peak_rss_MB"] = rssMb;
}

// What main() does, with the bar count preset; prints the time at which the
// first frame of the view was painted and flushed, and the peak memory.
int startupChild(int argc, char **argv, int count)
{
    QApplication app(argc, argv);
    MainWindow window;
    window.itemCount = float(count);
    struct FirstFrame : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                // Runs on the next pass of the event loop, after the flush.
                QTimer::singleShot(0, [] {
                    const qint64 framed = monotonicNs();
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    std::printf("%lld %ld\n", framed, usage.ru_maxrss);
                    std::fflush(stdout);
                    QCoreApplication::quit();
                });
            }
            return false;
        }
        bool seen = false;
    } firstFrame;
    window.ui->sortGraphicView->viewport()->installEventFilter(&firstFrame);
    showMainWindow(window);
    return app.exec();
}

void registerAll()
{
    const std::vector<Algorithm> &algorithms = allAlgorithms();
    benchmark::RegisterBenchmark("pace/Idle/1ms", paceIdle)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    // The default row at both delays, then longer ones (registered last: the
    // row is rebuilt once for each), to show that a tick costs the same at
    // any count.
    for (const auto &[delay, bars] :
         {std::pair(1, 1500), std::pair(2, 1500), std::pair(5, 1500), std::pair(0, 1500), std::pair(1, 5000),
          std::pair(1, 20000), std::pair(0, 20000), std::pair(0, 100000)})
        for (int k = 0; k < int(algorithms.size()); ++k) {
            std::string name =
                "pace/" + std::string(algorithms[size_t(k)].name) + "/" + std::to_string(delay) + "ms";
            if (bars != 1500)
                name += "/" + std::to_string(bars) + "bars";
            benchmark::RegisterBenchmark(name.c_str(), [k, delay = delay, bars = bars](
                                                           benchmark::State &s) { pace(s, k, delay, bars); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    benchmark::RegisterBenchmark("reshuffle/1500", [](benchmark::State &s) { reshuffleTime(s, 1500); })
        ->Iterations(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("sweep/1000", [](benchmark::State &s) { sweepTime(s, 1000); })
        ->Iterations(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/1500", [](benchmark::State &s) { startup(s, 1500); })
        ->Iterations(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/100000", [](benchmark::State &s) { startup(s, 100000); })
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("ALSOFT_DRIVERS", "null");
    if (argc == 3 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv, std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
