// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delaycontrol.h"
#include "mutecontrol.h"
#include "sorthelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cstring>

namespace {

// All that a step may change, as the window holds it.
struct RunState
{
    QList<int> values;
    QList<QRgb> colours;
    QList<int> heights;
    qint64 swapCount = 0;
    float pitch = 0;
    QList<int> cursors;
    QList<std::pair<int, int>> quickStack;
    QList<double> mergeLeft;
    QList<double> mergeRight;
    QList<int> radixOrder;

    // The first difference from `other`, or an empty string.
    QString differenceFrom(const RunState &other) const
    {
        if (values != other.values)
            return "values";
        if (colours != other.colours)
            return "colours";
        if (heights != other.heights)
            return "heights";
        if (swapCount != other.swapCount)
            return QString("count %1, expected %2").arg(swapCount).arg(other.swapCount);
        if (!qFuzzyCompare(pitch, other.pitch))
            return QString("pitch %1, expected %2").arg(pitch).arg(other.pitch);
        for (int k = 0; k < cursors.size(); ++k) {
            if (cursors[k] != other.cursors[k])
                return QString("cursor %1 is %2, expected %3").arg(k).arg(cursors[k]).arg(other.cursors[k]);
        }
        if (quickStack != other.quickStack)
            return "quickStack";
        if (mergeLeft != other.mergeLeft || mergeRight != other.mergeRight)
            return "merge copies";
        if (radixOrder != other.radixOrder)
            return "radixOrder";
        return {};
    }
};

// Every member of the algorithms' state, by the test's own count.
QList<int> cursorsOf(const MainWindow &w)
{
    return {w.outerIndex,       w.leftIndex,       w.rightIndex,       w.innerIndex,  w.quickLow,
            w.quickHigh,        w.quickPivotIndex, w.quickPivotHeight, w.heapLargest, w.selectionMinIndex,
            w.extremeValue,     w.heapLeft,        w.heapRight,        w.heapSize,    w.heapRoot,
            w.heapPhase,        w.heapBuildIndex,  w.shellGap,         w.mergeWidth,  w.mergeStart,
            int(w.mergeActive), w.radixPass,       w.radixPassCount,   w.radixDigit};
}

RunState stateOf(const MainWindow &w)
{
    RunState state;
    state.values = w.values;
    for (int k = 0; k < w.items.size(); ++k) {
        state.colours.append(w.items[k]->brush().color().rgb());
        state.heights.append(int(w.items[k]->rect().height()));
    }
    state.swapCount = w.swapCount;
    state.pitch = w.tone.getPitch();
    state.cursors = cursorsOf(w);
    state.quickStack = w.quickStack;
    state.mergeLeft = w.mergeLeft;
    state.mergeRight = w.mergeRight;
    state.radixOrder = w.radixOrder;
    return state;
}

// A cheap summary of a tick, for runs too long to keep whole states of.
quint64 fingerprint(const MainWindow &w)
{
    quint64 hash = 14695981039346656037ULL;
    const auto mix = [&hash](quint64 v) { hash = (hash ^ v) * 1099511628211ULL; };
    for (int c : cursorsOf(w))
        mix(quint64(c));
    mix(quint64(w.swapCount));
    float pitch = w.tone.getPitch();
    quint32 bits;
    std::memcpy(&bits, &pitch, sizeof bits);
    mix(bits);
    mix(quint64(w.values.size()));
    mix(quint64(w.quickStack.size()) << 32 | quint64(w.radixOrder.size()));
    mix(quint64(w.mergeLeft.size()) << 32 | quint64(w.mergeRight.size()));
    return hash;
}

// Whether the scene stacks the bars in slot order, each above the one to
// its left. Only a search by area sorts by stacking; bars of no height,
// which it may or may not find, are left out.
bool stackedInSlotOrder(const MainWindow &w)
{
    QList<QGraphicsItem *> stacked;
    const QList<QGraphicsItem *> found =
        w.scene->items(w.scene->sceneRect(), Qt::IntersectsItemBoundingRect, Qt::AscendingOrder);
    for (QGraphicsItem *item : found) {
        const auto *bar = qgraphicsitem_cast<QGraphicsRectItem *>(item);
        if (bar && !bar->rect().isEmpty())
            stacked.append(item);
    }
    QList<QGraphicsItem *> inSlots;
    for (QGraphicsRectItem *bar : w.items) {
        if (!bar->rect().isEmpty())
            inSlots.append(bar);
    }
    return stacked == inSlots;
}

// A window with `start` shown and a run of `algorithm` started on it, whose
// timer will not fire during the test: its ticks are made by hand.
void startRun(MainWindow &window, const QString &algorithm, const QList<int> &start)
{
    showWithBars(window, float(start.size()));
    arrange(window, start);
    window.swapCount = 0;
    window.ui->sortingMethodsComboBox->setCurrentIndex(int(comboOrder.indexOf(algorithm)));
    window.ui->delayLineEdit->setText("100000");
    window.startSorting();
}

const char *const labelOf = "Nombre d'échanges : \n%1";

} // namespace

class TestRemote : public QObject
{
    Q_OBJECT

private slots:
    // Pauses at several points, goes back and forward with the arrows, and
    // resumes: every step back gives the state of the straight run one tick
    // earlier, every step forward the next, and the resumed run makes the
    // ticks of the straight run to its end.
    void stepBackAndForth_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<int>("bars");
        for (const QString &name : comboOrder) {
            for (int bars : {5, 40, 1500})
                QTest::addRow("%s, %d bars", qPrintable(name), bars) << name << bars;
        }
    }

    void stepBackAndForth()
    {
        QFETCH(QString, algorithm);
        QFETCH(int, bars);
        const QList<int> start = seededShuffle(bars);
        const Algorithm sort = algorithmNamed(algorithm);
        // The straight run: a summary of every tick, then, run again, the
        // whole state of the first ticks and of the last ones.
        const int firstKept = 520;
        const int lastKept = 64;
        QList<quint64> prints;
        {
            MainWindow straight;
            startRun(straight, algorithm, start);
            prints.append(fingerprint(straight));
            while (!straight.finishTimer->isActive()) {
                (straight.*sort.step)();
                prints.append(fingerprint(straight));
            }
        }
        const int ticks = int(prints.size()) - 1;
        QHash<int, RunState> states;
        {
            MainWindow straight;
            startRun(straight, algorithm, start);
            for (int t = 0; t <= ticks; ++t) {
                if (t <= firstKept || t >= ticks - lastKept)
                    states.insert(t, stateOf(straight));
                if (t < ticks)
                    (straight.*sort.step)();
            }
        }
        const RunState end = states.value(ticks);

        // Pause after tick p, go back b steps (past the start of the run
        // where b > p), then forward f, no further than p; last, close to
        // the end, far back enough to cross the end of a pass in the short
        // runs.
        struct Visit
        {
            int p, b, f;
        };
        const QList<Visit> plan = {{1, 3, 1}, {7, 1, 1}, {60, 5, 3}, {500, 502, 500}, {ticks - 2, 60, 60}};

        MainWindow window;
        startRun(window, algorithm, start);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // What is wrong with the window against the straight run's tick t.
        const auto wrong = [&](int t) {
            if (!states.contains(t))
                return QString("tick %1 was not kept").arg(t);
            QString difference = stateOf(window).differenceFrom(states.value(t));
            if (difference.isEmpty()
                && window.ui->stepNumberLabel->text() != QString(labelOf).arg(window.swapCount))
                difference = "the counter shows " + window.ui->stepNumberLabel->text();
            if (difference.isEmpty() && !stackedInSlotOrder(window))
                difference = "the bars are not stacked in slot order";
            if (difference.isEmpty() && barsInScene(window).size() != window.items.size())
                difference = "the scene holds other bars";
            return difference.isEmpty() ? difference : QString("tick %1: %2").arg(t).arg(difference);
        };
        int t = 0;
        for (const Visit &visit : plan) {
            if (visit.p >= ticks || visit.p <= t)
                continue;
            for (; t < visit.p; ++t) {
                window.runStep();
                QCOMPARE(fingerprint(window), prints[t + 1]);
            }
            QTest::keyClick(&window, Qt::Key_P);
            QCOMPARE(runState(window), QString("Paused"));
            for (int k = 0; k < visit.b; ++k) {
                QTest::keyClick(&window, Qt::Key_Left);
                if (t > 0) {
                    --t;
                    QVERIFY(tonePlaying(window));
                } else {
                    QCOMPARE(window.announcer.lastMessage(), QString("Début"));
                }
                const QString back = wrong(t);
                QVERIFY2(back.isEmpty(), qPrintable("back to " + back));
                QCOMPARE(runState(window), QString("Paused"));
            }
            for (int k = 0; k < visit.f && t < visit.p; ++k) {
                QTest::keyClick(&window, Qt::Key_Right);
                ++t;
                const QString forward = wrong(t);
                QVERIFY2(forward.isEmpty(), qPrintable("forward to " + forward));
            }
            QTest::keyClick(&window, Qt::Key_P);
            QCOMPARE(runState(window), QString("Sorting"));
        }
        while (!window.finishTimer->isActive()) {
            window.runStep();
            ++t;
            QVERIFY2(t <= ticks, "the resumed run takes more ticks");
            QVERIFY2(fingerprint(window) == prints[t], qPrintable(QString("tick %1 differs").arg(t)));
        }
        QCOMPARE(t, ticks);
        const QString atEnd = stateOf(window).differenceFrom(end);
        QVERIFY2(atEnd.isEmpty(), qPrintable("at the end: " + atEnd));
        verifyBars(window, bars);
    }

    // The history keeps the last maxSteps steps: Left takes exactly that
    // many back, then says it can go no further.
    void historyLimit()
    {
        const QList<int> start = seededShuffle(1500);
        const int run = StepHistory::maxSteps + 20;
        QList<quint64> prints;
        {
            MainWindow straight;
            startRun(straight, "bubble", start);
            prints.append(fingerprint(straight));
            for (int t = 0; t < run; ++t) {
                straight.BubbleSortStep();
                prints.append(fingerprint(straight));
            }
        }
        MainWindow window;
        startRun(window, "bubble", start);
        for (int t = 0; t < run; ++t)
            window.runStep();
        window.pauseControl->togglePause();
        QCOMPARE(window.stepHistory.size(), StepHistory::maxSteps);
        QVERIFY(!window.stepHistory.reachesRunStart());
        for (int k = 0; k < StepHistory::maxSteps; ++k)
            window.pauseControl->stepBack();
        QCOMPARE(fingerprint(window), prints[run - StepHistory::maxSteps]);
        window.pauseControl->stepBack();
        QCOMPARE(fingerprint(window), prints[run - StepHistory::maxSteps]);
        QCOMPARE(window.announcer.lastMessage(), QString("Limite"));
    }

    // + and - move the delay one notch along the ladder, from a notch or
    // from a value typed between two, and not beyond either end; in a run
    // or a pause the run takes it at once, elsewhere only the field does.
    void delayLadder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");

        const QList<int> notches(DelayControl::notches.begin(), DelayControl::notches.end());
        for (int k = 0; k < notches.size(); ++k) {
            const QString from = QString::number(notches[k]);
            const QString faster = k > 0 ? QString::number(notches[k - 1]) : from;
            const QString slower = k + 1 < notches.size() ? QString::number(notches[k + 1]) : from;
            QTest::addRow("+ from %d", notches[k]) << from << int(Qt::Key_Plus) << faster;
            QTest::addRow("- from %d", notches[k]) << from << int(Qt::Key_Minus) << slower;
        }
        QTest::newRow("+ from 7") << "7" << int(Qt::Key_Plus) << "5";
        QTest::newRow("- from 7") << "7" << int(Qt::Key_Minus) << "10";
        QTest::newRow("+ from 1.5") << "1.5" << int(Qt::Key_Plus) << "1";
        QTest::newRow("- from 1.5") << "1.5" << int(Qt::Key_Minus) << "2";
        QTest::newRow("+ from 0.5") << "0.5" << int(Qt::Key_Plus) << "0";
        QTest::newRow("+ from 5000") << "5000" << int(Qt::Key_Plus) << "1000";
        QTest::newRow("- from 5000") << "5000" << int(Qt::Key_Minus) << "5000";
        QTest::newRow("- from empty") << "" << int(Qt::Key_Minus) << "1";
        QTest::newRow("- from -3") << "-3" << int(Qt::Key_Minus) << "1";
        QTest::newRow("+ from text") << "abc" << int(Qt::Key_Plus) << "abc";
    }

    void delayLadder()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, shown);
        const int delay = int(std::max(0.0f, shown.toFloat()));

        for (const QString where : {"Sorting", "Paused", "Fresh", "Reshuffling"}) {
            for (const Qt::KeyboardModifier keys : {Qt::NoModifier, Qt::KeypadModifier}) {
                MainWindow window;
                showWithBars(window, 12);
                QVERIFY(QTest::qWaitForWindowActive(&window));
                window.ui->delayLineEdit->setText("300000");
                if (where == "Sorting" || where == "Paused")
                    window.startSorting();
                if (where == "Paused")
                    window.pauseControl->togglePause();
                if (where == "Reshuffling")
                    window.reset();
                QCOMPARE(runState(window), where);
                const int intervalBefore = window.sortTimer->interval();
                window.ui->delayLineEdit->setText(typed);

                QTest::keyClick(&window, Qt::Key(key), keys);
                QCOMPARE(window.ui->delayLineEdit->text(), shown);
                QCOMPARE(runState(window), where);
                QCOMPARE(window.announcer.lastMessage(), QString("Délai : %1 ms").arg(delay));
                const bool inRun = where == "Sorting" || where == "Paused";
                QCOMPARE(window.sortTimer->interval(), inRun && shown != typed ? delay : intervalBefore);
            }
        }
    }

    // A new delay in a run comes into force at once: the next tick follows
    // after it, not after the old one.
    void delayTakesEffectAtOnce()
    {
        MainWindow window;
        showWithBars(window, 30);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ui->delayLineEdit->setText("1000");
        window.ui->sortingMethodsComboBox->setCurrentIndex(int(comboOrder.indexOf("bubble")));
        window.startSorting();
        for (int k = 0; k < 10; ++k)
            QTest::keyClick(&window, Qt::Key_Plus);
        QCOMPARE(window.sortTimer->interval(), 0);
        QVERIFY(runUntil([&] { return window.finishTimer->isActive() || runState(window) == "Finished"; },
                         10000));
        QCOMPARE(window.values, ascending(30));
        QCOMPARE(window.ui->delayLineEdit->text(), QString("0"));
    }

    // In a number field the keys type, as P does.
    void delayKeysTypeInFields()
    {
        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ui->delayLineEdit->setText("20");
        window.ui->delayLineEdit->setFocus();
        window.ui->delayLineEdit->home(false);
        QTest::keyClick(window.ui->delayLineEdit, Qt::Key_Minus);
        QCOMPARE(window.ui->delayLineEdit->text(), QString("-20"));
        window.ui->itemNumberLineEdit->setText("12");
        window.ui->itemNumberLineEdit->setFocus();
        window.ui->itemNumberLineEdit->home(false);
        QTest::keyClick(window.ui->itemNumberLineEdit, Qt::Key_Plus);
        QTest::keyClick(window.ui->itemNumberLineEdit, Qt::Key_M);
        QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("+12"));
        QVERIFY(!window.muteControl->isMuted());
        QVERIFY(window.announcer.lastMessage().isEmpty());
    }

    // M takes the tone's volume away and gives it back, across runs: a run
    // started while muted plays at no volume.
    void mute()
    {
        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ui->delayLineEdit->setText("300000");
        const float volume = window.tone.getVolume();
        QVERIFY(volume > 0);

        QTest::keyClick(&window, Qt::Key_M);
        QVERIFY(window.muteControl->isMuted());
        QCOMPARE(window.announcer.lastMessage(), QString("Son coupé"));
        window.startSorting();
        QCOMPARE(runState(window), QString("Sorting"));
        QVERIFY(tonePlaying(window));
        QCOMPARE(window.tone.getVolume(), 0.0f);
        window.reset();
        QVERIFY(runUntil([&] { return !window.shuffling; }, 10000));
        window.startSorting();
        QCOMPARE(window.tone.getVolume(), 0.0f);

        QTest::keyClick(&window, Qt::Key_M);
        QVERIFY(!window.muteControl->isMuted());
        QCOMPARE(window.announcer.lastMessage(), QString("Son rétabli"));
        QCOMPARE(window.tone.getVolume(), volume);
        QVERIFY(tonePlaying(window));
    }
};

QTEST_MAIN(TestRemote)
#include "tst_remote.moc"
