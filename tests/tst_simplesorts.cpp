#include "testhelpers.h"

#include <QTest>

class TestSimpleSorts : public QObject
{
    Q_OBJECT

private slots:
    void smoke()
    {
        MainWindow window;
        showWithBars(window, 3);
        arrange(window, {3, 1, 2});
        const RunRecord run = runSort(
            window, [&] { window.BubbleSort(); }, [&] { window.BubbleSortStep(); }, {{0, 1}, {1, 2}});
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        QCOMPARE(run.ticks, 6);
        QCOMPARE(window.values, QList<int>({1, 2, 3}));
    }
};

QTEST_MAIN(TestSimpleSorts)
#include "tst_simplesorts.moc"
