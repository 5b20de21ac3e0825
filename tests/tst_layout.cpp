// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QFrame>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The one layout that the first resize event makes, for the window's size
// at that moment.
class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void view_data();
    void view();
    void barGeometry_data();
    void barGeometry();
    void fieldsAndLabel();
    void laterResize();
    void nothingConnectedBeforeLayout();
    void connectedByLayout();

private:
    static void sizes();
};

// The two window sizes every table runs with: the design size and a
// full-HD screen.
void TestLayout::sizes()
{
    QTest::addColumn<QSize>("windowSize");
}

void TestLayout::controls_data()
{
    sizes();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("fromRight"); // x counts from the window's right edge

    for (const QSize size : {QSize(734, 500), QSize(1920, 1080)}) {
        const auto row = [size](const char *name, QRect geometry, bool fromRight = false) {
            QTest::addRow("%dx%d %s", size.width(), size.height(), name)
                << size << QString(name) << geometry << fromRight;
        };
        row("velmoButton", QRect(-3, 0, 30, 30));
        row("startSortingButton", QRect(40, 17, 120, 60));
        row("resetButton", QRect(170, 27, 160, 40));
        row("itemNumberLabel", QRect(350, 18, 231, 20));
        row("itemNumberLineEdit", QRect(533, 15, 80, 30));
        row("delayLabel", QRect(350, 56, 261, 20));
        row("delayLineEdit", QRect(557, 53, 80, 30));
        row("sortingMethodsLabel", QRect(755, 2, 191, 40));
        row("sortingMethodsComboBox", QRect(700, 40, 300, 40));
        row("stepNumberLabel", QRect(1020, 17, 320, 61));
        row("leaveLabel", QRect(135, 0, 191, 31), true);
    }
}

void TestLayout::controls()
{
    QFETCH(QSize, windowSize);
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, fromRight);

    MainWindow window;
    window.resize(windowSize);
    window.show();
    QWidget *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), window.ui->topFrame);
    if (fromRight)
        geometry.moveLeft(windowSize.width() - geometry.x());
    QCOMPARE(widget->geometry(), geometry);
}

void TestLayout::view_data()
{
    sizes();
    QTest::addColumn<QSize>("viewSize");
    QTest::newRow("734x500") << QSize(734, 500) << QSize(724, 375);
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize(1910, 955);
}

void TestLayout::view()
{
    QFETCH(QSize, windowSize);
    QFETCH(QSize, viewSize);

    MainWindow window;
    window.resize(windowSize);
    window.show();
    QCOMPARE(window.windowWidth, windowSize.width());
    QCOMPARE(window.windowHeight, windowSize.height());

    QGraphicsView *view = window.ui->sortGraphicView;
    QCOMPARE(view->pos(), QPoint(5, 98));
    QCOMPARE(view->size(), viewSize);
    QCOMPARE(view->minimumSize(), viewSize);
    QCOMPARE(view->maximumSize(), viewSize);
    QCOMPARE(window.ui->topFrame->geometry(), QRect(0, 0, windowSize.width(), 100));

    QPushButton *logo = window.ui->velmoButton;
    QVERIFY(!logo->icon().isNull());
    QCOMPARE(logo->iconSize(), QSize(30, 30));
    QVERIFY(logo->text().isEmpty());
}

void TestLayout::barGeometry_data()
{
    sizes();
    QTest::addColumn<float>("barWidth");
    QTest::addColumn<float>("barUnitHeight");
    QTest::newRow("734x500") << QSize(734, 500) << 719.0f / 1500.0f << 370.0f / 1500.0f;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 1905.0f / 1500.0f << 950.0f / 1500.0f;
}

void TestLayout::barGeometry()
{
    QFETCH(QSize, windowSize);
    QFETCH(float, barWidth);
    QFETCH(float, barUnitHeight);

    MainWindow window;
    window.resize(windowSize);
    window.show();
    QCOMPARE(window.barWidth, barWidth);
    QCOMPARE(window.barUnitHeight, barUnitHeight);
    QCOMPARE(window.itemCount, 1500.0f);
    QCOMPARE(window.values.size(), 1500);
    QCOMPARE(window.items.size(), 1500);
    QCOMPARE(window.items.last()->rect().width(), qreal(barWidth));
}

void TestLayout::fieldsAndLabel()
{
    MainWindow window;
    window.resize(1920, 1080);
    window.show();
    QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("1500"));
    QCOMPARE(window.ui->delayLineEdit->text(), QString("1"));
    QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n..."));

    for (QLineEdit *edit : {window.ui->itemNumberLineEdit, window.ui->delayLineEdit}) {
        const auto *validator = qobject_cast<const QDoubleValidator *>(edit->validator());
        QVERIFY2(validator, qPrintable(edit->objectName()));
        QCOMPARE(validator->parent(), edit);
        // Default-constructed: no bounds, no limit on decimals.
        QCOMPARE(validator->bottom(), QDoubleValidator().bottom());
        QCOMPARE(validator->top(), QDoubleValidator().top());
        QCOMPARE(validator->decimals(), QDoubleValidator().decimals());
    }
}

void TestLayout::laterResize()
{
    MainWindow window;
    window.resize(1920, 1080);
    window.show();

    QMap<QString, QRect> before;
    for (QWidget *widget : window.ui->centralwidget->findChildren<QWidget *>())
        if (!widget->objectName().isEmpty())
            before.insert(widget->objectName(), widget->geometry());
    const QList<QGraphicsRectItem *> items = window.items;
    const QList<int> values = window.values;
    const float barWidth = window.barWidth;

    window.resize(800, 600);
    QCoreApplication::processEvents();
    QCOMPARE(window.size(), QSize(800, 600));

    QCOMPARE(window.windowWidth, 1920);
    QCOMPARE(window.windowHeight, 1080);
    QCOMPARE(window.barWidth, barWidth);
    QCOMPARE(window.items, items);
    QCOMPARE(window.values, values);
    QCOMPARE(barsInScene(window).size(), items.size());
    QVERIFY(!window.sortTimer->isActive());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(window.findChild<QWidget *>(it.key())->geometry(), it.value());
    QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("1500"));
}

void TestLayout::nothingConnectedBeforeLayout()
{
    MainWindow window;
    window.ui->sortingMethodsComboBox->setCurrentIndex(6);
    window.ui->resetButton->click();
    window.ui->startSortingButton->click();

    QCOMPARE(window.selectedAlgorithm, 0);
    QVERIFY(window.items.isEmpty());
    QVERIFY(window.firstBuild);
    QVERIFY(!window.sortTimer->isActive());
    QVERIFY(!window.needsReshuffle);
    QVERIFY(!window.startPending);
    QVERIFY(!window.shuffling);
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges: \n..."));
}

// The counterpart of the above: once laid out, the same clicks act, each once.
void TestLayout::connectedByLayout()
{
    MainWindow window;
    window.resize(734, 500);
    window.show();
    window.ui->sortingMethodsComboBox->setCurrentIndex(6);
    QCOMPARE(window.selectedAlgorithm, 6);

    window.ui->resetButton->click();
    QVERIFY(window.shuffling);
    QVERIFY(window.sortTimer->isActive());
    QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n0"));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
