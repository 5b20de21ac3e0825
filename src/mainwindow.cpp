// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "accessiblefields.h"
#include "accessibleform.h"
#include "barpainter.h"
#include "delaycontrol.h"
#include "framelimiter.h"
#include "mutecontrol.h"
#include "pacedtimer.h"
#include "pausecontrol.h"
#include "soundrecovery.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QFrame>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui_Ordavex)
    , scene(new QGraphicsScene(this))
    , sortTimer(new PacedTimer(this))
    , finishTimer(new PacedTimer(this))
    , soundAvailable(quietAudioLibrary())
{
    deviceOpening.end();
    // Before the form: building it may already ask for its widgets'
    // accessible interfaces.
    installAccessibleFields();
    ui->setupUi(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // The form is edited with Qt versions that lack the accent role.
    QPalette framePalette = ui->topFrame->palette();
    framePalette.setBrush(QPalette::Active, QPalette::Accent, QBrush(QColor(Qt::black)));
    framePalette.setBrush(QPalette::Inactive, QPalette::Accent, QBrush(QColor(Qt::black)));
    framePalette.setBrush(QPalette::Disabled, QPalette::Accent, QBrush(QColor(0x202020)));
    ui->topFrame->setPalette(framePalette);
#endif
    // The bars never move, they only change height: an index of where items
    // lie is of no use to the view, and the default one re-filed a bar at
    // every setRect, at a cost that grew with the number of bars.
    scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    ui->sortGraphicView->setScene(scene);
    frameLimiter = new FrameLimiter(ui->sortGraphicView);
    barPainter = new BarPainter(ui->sortGraphicView, items);
    accessibleForm = new AccessibleForm(ui, this, &announcer);
    pauseControl = new PauseControl(this);
    static_cast<PacedTimer *>(sortTimer)->setWatcher(&stepHistory);
    delayControl = new DelayControl(this);
    muteControl = new MuteControl(this);

    connect(finishTimer, &QTimer::timeout, this, &MainWindow::playSmoothEndSound);
    connect(ui->velmoButton, &QPushButton::clicked, this, &MainWindow::openLink);

    algorithmNames = {"Quick Sort",    "Merge Sort",  "Radix Sort",     "Heap Sort",      "Shell Sort",
                      "Exchange Sort", "Bubble Sort", "Insertion Sort", "Selection Sort", "Stalin Sort"};
    for (const QString &name : std::as_const(algorithmNames))
        ui->sortingMethodsComboBox->insertItem(ui->sortingMethodsComboBox->count(), QIcon(), name);

    algorithms = {[this] { QuickSort(); },  [this] { MergeSort(); },     [this] { RadixSort(); },
                  [this] { HeapSort(); },   [this] { ShellSort(); },     [this] { ExchangeSort(); },
                  [this] { BubbleSort(); }, [this] { InsertionSort(); }, [this] { SelectionSort(); },
                  [this] { StalinSort(); }};

    const std::vector<sf::Int16> samples = generateSineWaveSound(maxFrequency * 0.5f, 1.0f);
    {
        // Without a device, loading the buffer tries to open one again.
        const StandardErrorDiversion deviceOpeningAgain;
        toneBuffer.loadFromSamples(samples.data(), samples.size(), 1, toneSampleRate);
    }
    tone.setBuffer(toneBuffer);
    tone.setVolume(toneVolume);
    tone.setLoop(true);
    reportSoundState();
    soundRecovery = new SoundRecovery(this);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (layoutDone)
        return;
    layoutDone = true;
    setUIDimension();
    initializeData();
    // Reading the scene's extent brings the view's scroll position up to
    // date at once: on Wayland this event comes from the compositor, and the
    // first frame is painted before the scene's queued update would do it.
    ui->sortGraphicView->sceneRect();
}

void MainWindow::setUIDimension()
{
    windowWidth = width();
    windowHeight = height();
    const float w = float(windowWidth - margin);
    const float h = float(windowHeight - topBarHeight - margin - 15);
    barWidth = (w - float(margin / 2)) / itemCount;
    barUnitHeight = (h - float(margin / 2)) / itemCount;

    auto *view = findChild<QGraphicsView *>("sortGraphicView");
    auto *frame = findChild<QFrame *>("topFrame");
    auto *logoButton = findChild<QPushButton *>("velmoButton");
    auto *startButton = findChild<QPushButton *>("startSortingButton");
    auto *resetButton = findChild<QPushButton *>("resetButton");
    auto *itemNumberEdit = findChild<QLineEdit *>("itemNumberLineEdit");
    auto *delayEdit = findChild<QLineEdit *>("delayLineEdit");
    auto *itemNumberLabel = findChild<QLabel *>("itemNumberLabel");
    auto *delayLabel = findChild<QLabel *>("delayLabel");
    auto *methodsLabel = findChild<QLabel *>("sortingMethodsLabel");
    auto *methodsBox = findChild<QComboBox *>("sortingMethodsComboBox");
    auto *stepLabel = findChild<QLabel *>("stepNumberLabel");
    auto *leaveLabel = findChild<QLabel *>("leaveLabel");

    view->setFixedSize(int(w), int(h));
    view->move(margin / 2, topBarHeight + margin / 2 - 7);
    frame->move(0, 0);
    frame->resize(windowWidth, topBarHeight);

    logoButton->setIcon(QIcon(":/res/velmoLogo.png"));
    logoButton->setIconSize(QSize(30, 30));
    logoButton->move(-3, 0);
    logoButton->resize(30, 30);

    startButton->move(40, 17);
    resetButton->move(170, 27);
    itemNumberLabel->move(350, 18);
    itemNumberEdit->move(533, 15);
    delayLabel->move(350, 56);
    delayEdit->move(557, 53);
    methodsLabel->move(755, 2);
    methodsBox->move(700, 40);
    stepLabel->move(1020, 17);

    stepLabel->setText("Nombre d'échanges : \n...");
    leaveLabel->move(windowWidth - 135, 0);
    itemNumberEdit->setText(QString("%1").arg(double(itemCount)));
    delayEdit->setText(QString("%1").arg(defaultDelay));
    itemNumberEdit->setValidator(new QDoubleValidator(itemNumberEdit));
    delayEdit->setValidator(new QDoubleValidator(delayEdit));

    connect(methodsBox, &QComboBox::currentIndexChanged, this, &MainWindow::onComboBoxIndexChanged);
    connect(resetButton, &QPushButton::clicked, this, &MainWindow::reset);
    connect(startButton, &QPushButton::clicked, this, &MainWindow::startSorting);
}
