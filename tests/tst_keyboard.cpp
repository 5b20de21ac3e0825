// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibleform.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QLineEdit>
#include <QTest>

// A control shows the keyboard focus only when Tab brought it there, and at
// rest keeps the form's own style sheet: a mouse user sees nothing new.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void focusLook_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("shown");

        for (const char *control :
             {"velmoButton", "startSortingButton", "resetButton", "sortingMethodsComboBox"}) {
            QTest::addRow("%s, Tab", control) << control << int(Qt::TabFocusReason) << true;
            QTest::addRow("%s, Shift+Tab", control) << control << int(Qt::BacktabFocusReason) << true;
            QTest::addRow("%s, mouse", control) << control << int(Qt::MouseFocusReason) << false;
            QTest::addRow("%s, program", control) << control << int(Qt::OtherFocusReason) << false;
        }
    }

    void focusLook()
    {
        QFETCH(QString, control);
        QFETCH(int, reason);
        QFETCH(bool, shown);

        MainWindow window;
        auto *widget = window.findChild<QWidget *>(control);
        const QString resting = widget->styleSheet();
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(widget->focusPolicy(), Qt::TabFocus);

        window.ui->itemNumberLineEdit->setFocus(Qt::MouseFocusReason); // "Trier" has it at start
        widget->setFocus(Qt::FocusReason(reason));
        QVERIFY(widget->hasFocus());
        QCOMPARE(window.accessibleForm->showsKeyboardFocus(widget), shown);
        QVERIFY(widget->styleSheet().startsWith(resting));

        window.ui->itemNumberLineEdit->setFocus(Qt::MouseFocusReason);
        QVERIFY(!window.accessibleForm->showsKeyboardFocus(widget));
        QCOMPARE(widget->styleSheet(), resting);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
