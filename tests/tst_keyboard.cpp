// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessiblefields.h"
#include "accessibleform.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

// A control shows the keyboard focus only when Tab brought it there, and at
// rest keeps the form's own style sheet: a mouse user sees nothing new. A
// screen reader reads the fields whole, the chosen algorithm, and the
// messages.
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

    // A field's text is one run of attributes, whatever the offset asked
    // about: a run of no length made Orca 43 drop the last character.
    void fieldTextIsOneRun_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("1500") << "1500";
        QTest::newRow("one character") << "1";
        QTest::newRow("fraction") << "12.5";
        QTest::newRow("empty") << "";
    }

    void fieldTextIsOneRun()
    {
        QFETCH(QString, text);

        MainWindow window;
        window.ui->delayLineEdit->setText(text);
        AccessibleLineEdit field(window.ui->delayLineEdit);
        const int length = int(text.size());
        QCOMPARE(field.characterCount(), length);
        QCOMPARE(field.text(0, length), text);
        for (int offset = 0; offset <= length; ++offset) {
            int start = -1;
            int end = -1;
            field.attributes(offset, &start, &end);
            QCOMPARE(start, 0);
            QCOMPARE(end, length);
        }
        int lineStart = -1;
        int lineEnd = -1;
        QCOMPARE(field.textAtOffset(-2, QAccessible::LineBoundary, &lineStart, &lineEnd),
                 text); // at the caret
        QCOMPARE(field.text(QAccessible::Value), text);
        QCOMPARE(field.text(QAccessible::Name), QString("Délai en millisecondes :"));
        QVERIFY(field.state().editable && field.state().selectableText);
    }

    // The list of algorithms offers the chosen one as its text and name.
    void chosenAlgorithmIsItsText()
    {
        MainWindow window;
        QComboBox *methods = window.ui->sortingMethodsComboBox;
        AccessibleComboBox list(methods);
        for (int index = 0; index < methods->count(); ++index) {
            methods->setCurrentIndex(index);
            const QString name = window.algorithmNames[index];
            QCOMPARE(list.text(QAccessible::Name), name);
            QCOMPARE(list.text(0, list.characterCount()), name);
            int start = -1;
            int end = -1;
            list.attributes(0, &start, &end);
            QCOMPARE(end - start, name.size());
        }
        QCOMPARE(list.childCount(), 1);
        QCOMPARE(list.child(0)->object(), static_cast<QObject *>(methods->view()));
    }

    // Before Qt 6.8 the fields and the list are read through those
    // interfaces, and a message is a notice that appears in the status bar
    // with the message as its name; from 6.8 on, Qt's own and an
    // announcement.
    void readerOfTheTime()
    {
        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const bool before68 = QT_VERSION < QT_VERSION_CHECK(6, 8, 0);
        QAccessibleInterface *count = QAccessible::queryAccessibleInterface(window.ui->itemNumberLineEdit);
        QAccessibleInterface *methods =
            QAccessible::queryAccessibleInterface(window.ui->sortingMethodsComboBox);
        QCOMPARE(dynamic_cast<AccessibleLineEdit *>(count) != nullptr, before68);
        QCOMPARE(dynamic_cast<AccessibleComboBox *>(methods) != nullptr, before68);

        for (const char *message : {"Pause", "Pause", "Reprise"}) {
            window.announcer.announce(message);
            const QList<QWidget *> notices =
                window.statusBar()->findChildren<QWidget *>("announcementNotice");
            QCOMPARE(notices.size(), before68 ? 1 : 0);
            if (!before68)
                continue;
            QVERIFY(notices[0]->isVisible());
            QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(notices[0]);
            QCOMPARE(notice->role(), QAccessible::Notification);
            QCOMPARE(notice->text(QAccessible::Name), QString(message));
        }
    }

    // Before Qt 6.8 a new algorithm chosen from the keyboard in the closed
    // list is announced; chosen otherwise, it is not.
    void choiceAnnounced()
    {
        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QComboBox *methods = window.ui->sortingMethodsComboBox;
        methods->setCurrentIndex(2);
        QVERIFY(window.announcer.lastMessage().isEmpty());
        methods->setFocus(Qt::TabFocusReason);
        QTest::keyClick(methods, Qt::Key_Down);
        QCOMPARE(methods->currentIndex(), 3);
        const bool before68 = QT_VERSION < QT_VERSION_CHECK(6, 8, 0);
        QCOMPARE(window.announcer.lastMessage(), before68 ? QString("Heap Sort") : QString());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
