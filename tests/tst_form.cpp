// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

// The main window form as setupUi leaves it, before the first layout moves
// and completes it.
class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void widgets_data();
    void widgets();
    void declarationOrder();
    void stackingOrder();
    void windowProperties();
    void fonts_data();
    void fonts();
    void styleSheets_data();
    void styleSheets();
    void framePalette_data();
    void framePalette();
    void frameAndAlignment();
    void texts_data();
    void texts();
    void comboEntries_data();
    void comboEntries();
    void formAlone();
    void retranslateAgain();
    void objectNameKept();
    void resources_data();
    void resources();
    void fontRegisters();
};

void TestForm::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");

    const auto row = [](const char *name, const char *className, const char *parent, QRect geometry) {
        QTest::newRow(name) << name << className << parent << geometry;
    };
    row("centralwidget", "QWidget", "Ordavex", QRect());
    row("sortGraphicView", "QGraphicsView", "centralwidget", QRect(-340, 170, 500, 500));
    row("topFrame", "QFrame", "centralwidget", QRect(0, -20, 731, 80));
    row("startSortingButton", "QPushButton", "topFrame", QRect(10, 20, 120, 60));
    row("resetButton", "QPushButton", "topFrame", QRect(140, 20, 160, 40));
    row("delayLineEdit", "QLineEdit", "topFrame", QRect(530, 0, 80, 30));
    row("delayLabel", "QLabel", "topFrame", QRect(270, 0, 261, 20));
    row("itemNumberLabel", "QLabel", "topFrame", QRect(270, 30, 231, 20));
    row("itemNumberLineEdit", "QLineEdit", "topFrame", QRect(500, 30, 80, 30));
    row("leaveLabel", "QLabel", "topFrame", QRect(650, 0, 191, 31));
    row("sortingMethodsComboBox", "QComboBox", "topFrame", QRect(430, 60, 300, 40));
    row("sortingMethodsLabel", "QLabel", "topFrame", QRect(510, 20, 191, 40));
    row("stepNumberLabel", "QLabel", "topFrame", QRect(190, 10, 320, 61));
    row("velmoButton", "QPushButton", "topFrame", QRect(140, 40, 83, 29));
    row("menubar", "QMenuBar", "Ordavex", QRect(0, 0, 734, 26));
    row("statusbar", "QStatusBar", "Ordavex", QRect());
}

void TestForm::widgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);

    MainWindow window;
    const QList<QWidget *> found = window.findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QString(widget->metaObject()->className()), className);
    QVERIFY(widget->parent());
    QCOMPARE(widget->parent()->objectName(), parentName);
    // The central widget and the status bar are placed by the main window.
    if (!geometry.isNull())
        QCOMPARE(widget->geometry(), geometry);
}

void TestForm::declarationOrder()
{
    QMainWindow window;
    Ui_Ordavex ui;
    ui.setupUi(&window);
    // Each member's address, with the widget it points to.
    const QList<std::pair<const void *, QWidget *>> members = {
        {&ui.centralwidget, ui.centralwidget},
        {&ui.sortGraphicView, ui.sortGraphicView},
        {&ui.topFrame, ui.topFrame},
        {&ui.startSortingButton, ui.startSortingButton},
        {&ui.resetButton, ui.resetButton},
        {&ui.delayLineEdit, ui.delayLineEdit},
        {&ui.delayLabel, ui.delayLabel},
        {&ui.itemNumberLabel, ui.itemNumberLabel},
        {&ui.itemNumberLineEdit, ui.itemNumberLineEdit},
        {&ui.leaveLabel, ui.leaveLabel},
        {&ui.sortingMethodsComboBox, ui.sortingMethodsComboBox},
        {&ui.sortingMethodsLabel, ui.sortingMethodsLabel},
        {&ui.stepNumberLabel, ui.stepNumberLabel},
        {&ui.velmoButton, ui.velmoButton},
        {&ui.menubar, ui.menubar},
        {&ui.statusbar, ui.statusbar},
    };
    const QStringList names = {"centralwidget",
                               "sortGraphicView",
                               "topFrame",
                               "startSortingButton",
                               "resetButton",
                               "delayLineEdit",
                               "delayLabel",
                               "itemNumberLabel",
                               "itemNumberLineEdit",
                               "leaveLabel",
                               "sortingMethodsComboBox",
                               "sortingMethodsLabel",
                               "stepNumberLabel",
                               "velmoButton",
                               "menubar",
                               "statusbar"};
    QCOMPARE(members.size(), names.size());
    for (int k = 0; k < members.size(); ++k) {
        QCOMPARE(members[k].second->objectName(), names[k]);
        if (k > 0)
            QVERIFY2(members[k - 1].first < members[k].first,
                     qPrintable(names[k] + " is declared out of order"));
    }
}

void TestForm::stackingOrder()
{
    MainWindow window;
    const auto widgetNames = [](QObject *parent) {
        QStringList names;
        for (QObject *child : parent->children())
            if (child->isWidgetType())
                names << child->objectName();
        return names;
    };
    // Last in the list is on top.
    QCOMPARE(widgetNames(window.ui->topFrame),
             QStringList({"delayLabel", "itemNumberLabel", "startSortingButton", "resetButton", "leaveLabel",
                          "delayLineEdit", "itemNumberLineEdit", "sortingMethodsLabel", "stepNumberLabel",
                          "sortingMethodsComboBox", "velmoButton"}));
    QCOMPARE(widgetNames(window.ui->centralwidget), QStringList({"topFrame", "sortGraphicView"}));
    QCOMPARE(window.centralWidget(), window.ui->centralwidget);
    QCOMPARE(window.menuBar(), window.ui->menubar);
    QCOMPARE(window.statusBar(), window.ui->statusbar);
}

void TestForm::windowProperties()
{
    MainWindow window;
    QCOMPARE(window.objectName(), QString("Ordavex"));
    QCOMPARE(window.size(), QSize(734, 500));
    QCOMPARE(window.windowFlags(), QMainWindow().windowFlags());
    QCOMPARE(window.ui->sortGraphicView->scene(), window.scene);
}

void TestForm::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pointSize");

    QTest::newRow("startSortingButton") << "startSortingButton" << 24;
    for (const char *name : {"resetButton", "delayLineEdit", "itemNumberLineEdit", "sortingMethodsComboBox",
                             "sortingMethodsLabel", "stepNumberLabel"})
        QTest::newRow(name) << name << 16;
    for (const char *name : {"delayLabel", "itemNumberLabel", "leaveLabel"})
        QTest::newRow(name) << name << 12;
    // No font of their own: they inherit the window's.
    for (const char *name : {"velmoButton", "sortGraphicView", "topFrame", "menubar", "statusbar"})
        QTest::newRow(name) << name << -1;
}

void TestForm::fonts()
{
    QFETCH(QString, name);
    QFETCH(int, pointSize);

    MainWindow window;
    QWidget *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    if (pointSize < 0) {
        QVERIFY(!widget->testAttribute(Qt::WA_SetFont));
        return;
    }
    QCOMPARE(widget->font().families(), QStringList("Renogare"));
    QCOMPARE(widget->font().pointSize(), pointSize);
}

void TestForm::styleSheets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("styleSheet");
    QTest::addColumn<int>("bytes");

    const QByteArray button = "QPushButton {\n\tbackground-color: #cccccc;\n\tcolor:  #1a1a1a;\n"
                              "\tborder-radius: 5px;\n \tborder: 2px solid #222222;\n}\n\n"
                              "QPushButton:hover {\n\tbackground-color: #eeeeee;\n \tborder: 2px solid "
                              "#666666;\n}\n";
    const QByteArray lineEdit =
        "QLineEdit {\n\tbackground-color: #cccccc;\n\tcolor:  #1a1a1a;\n"
        "\tborder-radius: 5px;\n \tborder: 2px solid #222222;\n\tpadding: 0 0 2px\n}\n\n"
        "QLineEdit:hover {\n\tbackground-color: #eeeeee;\n \tborder: 2px solid "
        "#666666;\n}\nQLineEdit:focus {\n\tbackground-color: #eeeeee;\n \tborder: 2px "
        "solid #666666;}";
    const QByteArray comboBox =
        "QComboBox {\n\tbackground-color: #cccccc;\n\tcolor:  #1a1a1a;\n"
        "\tborder-radius: 5px;\n \tborder: 2px solid #222222;\n\tpadding: 0 0 0 7px\n\n}"
        "\n\nQComboBox:hover {\n\tbackground-color: #eeeeee;\n \tborder: 2px solid "
        "#666666;\n}\n";

    QTest::newRow("window")
        << "Ordavex"
        << QByteArray("* {\n    font-family: \"Renogare\"; \n\tbackground-color: #111111;\n}\n\n") << 65;
    QTest::newRow("sortGraphicView") << "sortGraphicView" << QByteArray("    border: none;") << 17;
    QTest::newRow("topFrame") << "topFrame" << QByteArray("background-color: #1a1a1a;    border: none;")
                              << 43;
    QTest::newRow("startSortingButton") << "startSortingButton" << button << 192;
    QTest::newRow("resetButton") << "resetButton" << button << 192;
    QTest::newRow("delayLineEdit") << "delayLineEdit" << lineEdit << 281;
    QTest::newRow("itemNumberLineEdit") << "itemNumberLineEdit" << lineEdit << 281;
    QTest::newRow("sortingMethodsComboBox") << "sortingMethodsComboBox" << comboBox << 209;
    QTest::newRow("sortingMethodsLabel") << "sortingMethodsLabel" << QByteArray() << 0;
    QTest::newRow("stepNumberLabel") << "stepNumberLabel" << QByteArray() << 0;
    for (const char *name : {"centralwidget", "delayLabel", "itemNumberLabel", "leaveLabel", "velmoButton",
                             "menubar", "statusbar"})
        QTest::newRow(name) << name << QByteArray() << 0;
}

void TestForm::styleSheets()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, styleSheet);
    QFETCH(int, bytes);

    MainWindow window;
    QWidget *widget = window.objectName() == name ? &window : window.findChild<QWidget *>(name);
    QVERIFY(widget);
    const QByteArray actual = widget->styleSheet().toUtf8();
    QCOMPARE(actual, styleSheet);
    QCOMPARE(actual.size(), bytes);
}

void TestForm::framePalette_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QColor>("active");
    QTest::addColumn<QColor>("inactive");
    QTest::addColumn<QColor>("disabled");

    const auto row = [](const char *name, QPalette::ColorRole role, QColor active, QColor disabled) {
        QTest::newRow(name) << int(role) << active << active << disabled;
    };
    const QColor white("#ffffff"), frame("#1a1a1a"), dark("#161616"), black("#000000");
    row("WindowText", QPalette::WindowText, white, dark);
    row("Button", QPalette::Button, frame, frame);
    row("Light", QPalette::Light, QColor("#434343"), QColor("#434343"));
    row("Midlight", QPalette::Midlight, QColor("#383838"), QColor("#383838"));
    row("Dark", QPalette::Dark, dark, dark);
    row("Mid", QPalette::Mid, QColor("#1e1e1e"), QColor("#1e1e1e"));
    row("Text", QPalette::Text, white, dark);
    row("BrightText", QPalette::BrightText, white, white);
    row("ButtonText", QPalette::ButtonText, white, dark);
    row("Base", QPalette::Base, frame, frame);
    row("Window", QPalette::Window, frame, frame);
    row("Shadow", QPalette::Shadow, black, black);
    row("AlternateBase", QPalette::AlternateBase, dark, QColor("#2d2d2d"));
    row("ToolTipBase", QPalette::ToolTipBase, QColor("#ffffdc"), QColor("#ffffdc"));
    row("ToolTipText", QPalette::ToolTipText, black, black);
    row("PlaceholderText", QPalette::PlaceholderText, QColor(255, 255, 255, 127), QColor(22, 22, 22, 127));
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    row("Accent", QPalette::Accent, black, QColor("#202020"));
#endif
}

void TestForm::framePalette()
{
    QFETCH(int, role);
    QFETCH(QColor, active);
    QFETCH(QColor, inactive);
    QFETCH(QColor, disabled);

    MainWindow window;
    const QPalette palette = window.ui->topFrame->palette();
    const auto colorRole = QPalette::ColorRole(role);
    QCOMPARE(palette.color(QPalette::Active, colorRole), active);
    QCOMPARE(palette.color(QPalette::Inactive, colorRole), inactive);
    QCOMPARE(palette.color(QPalette::Disabled, colorRole), disabled);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(palette.brush(group, colorRole).style(), Qt::SolidPattern);
}

void TestForm::frameAndAlignment()
{
    MainWindow window;
    QCOMPARE(window.ui->topFrame->frameShape(), QFrame::StyledPanel);
    QCOMPARE(window.ui->topFrame->frameShadow(), QFrame::Raised);
    QCOMPARE(window.ui->sortingMethodsLabel->alignment(), Qt::AlignCenter);
    QCOMPARE(window.ui->stepNumberLabel->alignment(), Qt::AlignCenter);

    // Roles the form leaves alone keep the application's colours.
    const QPalette palette = window.ui->topFrame->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText, QPalette::Link, QPalette::LinkVisited})
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(palette.color(group, role), QApplication::palette().color(group, role));
}

void TestForm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("startSortingButton") << "startSortingButton"
                                        << "Trier";
    QTest::newRow("resetButton") << "resetButton"
                                 << "Réinitialiser";
    QTest::newRow("delayLineEdit") << "delayLineEdit"
                                   << "";
    QTest::newRow("delayLabel") << "delayLabel"
                                << "Délai en millisecondes :";
    QTest::newRow("itemNumberLabel") << "itemNumberLabel"
                                     << "Nombre d'éléments :";
    QTest::newRow("itemNumberLineEdit") << "itemNumberLineEdit"
                                        << "";
    QTest::newRow("leaveLabel") << "leaveLabel"
                                << "Quitter [échap]";
    QTest::newRow("sortingMethodsLabel") << "sortingMethodsLabel"
                                         << "Mode de Tri :";
    QTest::newRow("stepNumberLabel") << "stepNumberLabel"
                                     << "Nombre d'échanges: \n...";
    QTest::newRow("velmoButton") << "velmoButton"
                                 << "";
}

void TestForm::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    MainWindow window;
    QCOMPARE(window.windowTitle(), QString("Ordavex"));
    QObject *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->property("text").toString(), text);
}

void TestForm::comboEntries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    const QStringList names = {"Quick Sort",     "Merge Sort",    "Radix Sort",  "Heap Sort",
                               "Shell Sort",     "Exchange Sort", "Bubble Sort", "Insertion Sort",
                               "Selection Sort", "Stalin Sort"};
    for (int i = 0; i < names.size(); ++i)
        QTest::newRow(qPrintable(names[i])) << i << names[i];
}

void TestForm::comboEntries()
{
    QFETCH(int, index);
    QFETCH(QString, text);

    MainWindow window;
    QComboBox *box = window.ui->sortingMethodsComboBox;
    QCOMPARE(box->count(), 10);
    QCOMPARE(box->itemText(index), text);
    QVERIFY(box->itemIcon(index).isNull());
    QVERIFY(!box->itemData(index).isValid());
    QCOMPARE(box->currentIndex(), 0);
}

void TestForm::formAlone()
{
    QMainWindow window;
    Ui_Ordavex ui;
    ui.setupUi(&window);
    QCOMPARE(window.objectName(), QString("Ordavex"));
    QCOMPARE(ui.sortingMethodsComboBox->count(), 0);
    QVERIFY(ui.delayLineEdit->text().isEmpty());
    QVERIFY(ui.itemNumberLineEdit->text().isEmpty());
    QVERIFY(!ui.delayLineEdit->validator());
    QVERIFY(!ui.itemNumberLineEdit->validator());
    QVERIFY(ui.velmoButton->text().isEmpty());
    QVERIFY(ui.velmoButton->icon().isNull());
    QVERIFY(!ui.sortGraphicView->scene());
    QCOMPARE(ui.stepNumberLabel->text(), QString("Nombre d'échanges: \n..."));
    QCOMPARE(ui.stepNumberLabel->text().count('\n'), 1);
}

void TestForm::retranslateAgain()
{
    MainWindow window;
    window.ui->delayLineEdit->setText("25");
    window.ui->itemNumberLineEdit->setText("40");
    window.ui->stepNumberLabel->setText("Nombre d'échanges : \n12");
    window.setWindowTitle("autre");

    window.ui->retranslateUi(&window);
    QVERIFY(window.ui->delayLineEdit->text().isEmpty());
    QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("40"));
    QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges: \n..."));
    QCOMPARE(window.windowTitle(), QString("Ordavex"));
    QCOMPARE(window.ui->sortingMethodsComboBox->count(), 10);
}

void TestForm::objectNameKept()
{
    QMainWindow window;
    window.setObjectName("fenetre");
    Ui_Ordavex ui;
    ui.setupUi(&window);
    QCOMPARE(window.objectName(), QString("fenetre"));
    QCOMPARE(window.windowTitle(), QString("Ordavex"));
    QCOMPARE(ui.topFrame->parent()->objectName(), QString("centralwidget"));
}

void TestForm::resources_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("icon") << ":/res/icon.png";
    QTest::newRow("logo") << ":/res/velmoLogo.png";
}

void TestForm::resources()
{
    QFETCH(QString, path);
    QVERIFY(QFile::exists(path));
    QVERIFY(!QPixmap(path).isNull());
}

void TestForm::fontRegisters()
{
    QFile font(":/res/Renogare.ttf");
    QVERIFY(font.open(QIODevice::ReadOnly));
    QVERIFY(font.size() > 0);
    const int id = QFontDatabase::addApplicationFont(":/res/Renogare.ttf");
    QVERIFY(id >= 0);
    QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList("Renogare"));
    QVERIFY(QFontDatabase::families().contains("Renogare"));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
