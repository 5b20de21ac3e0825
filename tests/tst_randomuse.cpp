// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

// Empty when the window's state holds together; otherwise what is wrong.
QString fault(MainWindow &window)
{
    const QString state = runState(window);
    if (state == "Invalid")
        return QString(
                   "flags (reshuffle %1, pending %2, shuffling %3) do not fit the timers (step %4, sweep %5)")
            .arg(window.needsReshuffle)
            .arg(window.startPending)
            .arg(window.shuffling)
            .arg(window.sortTimer->isActive())
            .arg(window.finishTimer->isActive());
    if (receiverCount(window.sortTimer, SIGNAL(timeout())) > 1)
        return "sortTimer has more than one handler";
    if (receiverCount(window.finishTimer, SIGNAL(timeout())) != 1)
        return "finishTimer lost its handler";
    const bool playing = window.tone.getStatus() == sf::Sound::Playing;
    if (playing != (state != "Fresh" && state != "Finished"))
        return QString("the tone is %1 in state %2").arg(playing ? "on" : "off", state);

    if (barsInScene(window).size() != window.items.size())
        return QString("the scene holds %1 items for %2 bars")
            .arg(barsInScene(window).size())
            .arg(window.items.size());
    if (window.brushes.size() != window.items.size())
        return "items and brushes differ in length";

    if (window.shuffling && !window.shuffleReorders) {
        // Rebuild mode: the old bars not yet removed, then the new ones.
        if (window.values.size() != int(window.previousCount) - window.innerIndex
            || window.items.size() != window.values.size() + window.leftIndex)
            return "the rows of the rebuild do not add up";
        return {};
    }

    const int n = int(window.values.size());
    const int built = int(window.shuffledValues.size()); // the count the row was built for
    if (window.items.size() != n)
        return QString("%1 values for %2 bars").arg(n).arg(window.items.size());
    QList<int> sorted = window.values;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()
        || (n > 0 && (sorted.first() < 1 || sorted.last() > built)))
        return "the values are not distinct values of 1..N";
    if (n != built && (window.shuffling || state == "Fresh"))
        return "bars are missing although no Stalin sort ran";
    if (window.shuffling && window.swapCount != 0)
        return "the shuffle counted swaps";
    if ((state == "Sweeping" || state == "Finished") && window.values != sorted)
        return "a finished run left the bars out of order";

    // Each slot shows its value: brush, colour, base line, and heights that
    // grow with the values.
    QList<int> byValue(n);
    std::iota(byValue.begin(), byValue.end(), 0);
    std::sort(byValue.begin(), byValue.end(),
              [&](int a, int b) { return window.values[a] < window.values[b]; });
    for (int k = 0; k < n; ++k) {
        const QGraphicsRectItem *bar = window.items[k];
        if (bar->brush() != window.brushes[k]
            || window.brushes[k].color() != window.getRainbowColor(window.values[k], built))
            return QString("slot %1 is not painted for its value %2").arg(k).arg(window.values[k]);
        if (bar->rect().bottom() != 10)
            return QString("slot %1 does not stand on the base line").arg(k);
        if (k > 0
            && window.items[byValue[k]]->rect().height() < window.items[byValue[k - 1]]->rect().height())
            return QString("the bar of value %1 is lower than a smaller one").arg(window.values[byValue[k]]);
    }
    return {};
}

} // namespace

class TestRandomUse : public QObject
{
    Q_OBJECT

private slots:
    // Thousands of user actions drawn from a fixed seed on a shown window;
    // the state must hold together after each of them.
    void randomUse()
    {
        const QStringList counts = {"0", "1", "2", "2.5", "5", "9.5", "12", "12.5", "20", "abc", "", "-3"};
        QRandomGenerator random(4711);
        MainWindow window;
        showWithBars(window, 12);
        // Shorter animations and sweeps let more of them end between actions.
        window.shuffleDuration = 20;
        window.smoothEndDuration = 20;

        QSet<QString> statesSeen;
        for (int action = 0; action < 5000; ++action) {
            QString what;
            const int pick = int(random.bounded(100));
            if (pick < 6) {
                what = "start";
                window.startSorting();
            } else if (pick < 9) {
                what = "reset";
                window.reset();
            } else if (pick < 14) {
                what = "Return";
                QTest::keyClick(&window, Qt::Key_Return);
            } else if (pick < 22) {
                what = "count " + counts[random.bounded(int(counts.size()))];
                window.ui->itemNumberLineEdit->setText(what.mid(6));
            } else if (pick < 28) {
                what = QString("delay %1").arg(random.bounded(4));
                window.ui->delayLineEdit->setText(what.mid(6));
            } else if (pick < 36) {
                what = QString("algorithm %1").arg(random.bounded(10));
                window.ui->sortingMethodsComboBox->setCurrentIndex(what.mid(10).toInt());
            } else if (pick < 97) {
                const int ms = int(random.bounded(5));
                what = QString("wait %1 ms").arg(ms);
                QTest::qWait(ms);
            } else {
                what = "wait 60 ms";
                QTest::qWait(60);
            }
            statesSeen.insert(runState(window));
            const QString problem = fault(window);
            if (!problem.isEmpty())
                QFAIL(qPrintable(QString("action %1 (%2): %3").arg(action).arg(what, problem)));
        }
        for (const QString &state :
             QStringList{"Fresh", "Sorting", "Sweeping", "Finished", "Reshuffling", "ReshufflingPending"})
            QVERIFY2(statesSeen.contains(state), qPrintable(state + " never reached"));
    }
};

QTEST_MAIN(TestRandomUse)
#include "tst_randomuse.moc"
