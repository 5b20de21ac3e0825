// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "announcer.h"
#include "bargroups.h"
#include "standarderrordiversion.h"
#include "stephistory.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <functional>
#include <utility>
#include <vector>

class AccessibleForm;
class BarPainter;
class DelayControl;
class FrameLimiter;
class MuteControl;
class PauseControl;
class QGraphicsRectItem;
class QGraphicsScene;
class QKeyEvent;
class QResizeEvent;
class QTimer;
class SoundRecovery;
class Ui_Ordavex;

// The one window of the program. It holds all of the program's state: the
// bars, the run control, the ten sorting algorithms (each an entry that
// starts it and a step run once per tick of sortTimer) and the tone.
//
// The state and the operations are public so that the tests can drive a
// run tick by tick and read what every step did.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Highest bar count honoured: more bars take seconds to build and
    // hundreds of MB, and no screen shows them apart.
    static constexpr float maxItemCount = 100000.0f;

    // Bars (bars.cpp)
    void initializeData();
    void UpdtateItemSize();
    QColor getRainbowColor(int value, int count);
    void swapItems(int i, int j, bool countSwap);
    void destroyItem(int index);
    // Puts a bar that destroyItem removed back into its slot (a step back).
    void restoreItem(int index, int value, const QBrush &brush, const QRectF &rect);
    void animateRandomization();

    // Layout (mainwindow.cpp)
    void setUIDimension();

    // Run control (runcontrol.cpp)
    void startSorting();
    void reset();
    void onComboBoxIndexChanged(int index);
    void startTimer();
    void stopTimer();
    void showSwapCount();
    // One step of the running algorithm as a tick runs it, kept in the
    // history.
    void runStep();

    // Sound (sound.cpp)
    static std::vector<sf::Int16> generateSineWaveSound(float frequency, float amplitude);
    void updateFrequency(int value, int count);
    void playSmoothEndSound();
    void resetSmoothEndSound();

    // Algorithms: an entry and its step, one file per family.
    void BubbleSort();
    void BubbleSortStep();
    void ExchangeSort();
    void ExchangeSortStep();
    void SelectionSort();
    void SelectionSortStep();
    void InsertionSort();
    void InsertionSortStep();
    void ShellSort();
    void ShellSortStep();
    void HeapSort();
    void HeapSortStep();
    void HeapifyInit(int node);
    void HeapifyStep();
    void StalinSort();
    void StalinSortStep();
    void MergeSort();
    void MergeSortStep();
    void QuickSort();
    void QuickSortStep();
    void RadixSort();
    void RadixSortStep();
    static int countDigit(long long n);

    // Form and scene
    Ui_Ordavex *ui;
    QGraphicsScene *scene;
    BarGroups barGroups{scene};           // puts the bars into the scene and takes them out
    FrameLimiter *frameLimiter = nullptr; // repaints the changed bars once per frame
    BarPainter *barPainter = nullptr;     // paints them, finding them by position

    // Bars: slot k shows values[k] with items[k] painted by brushes[k].
    QList<int> values;
    QList<int> shuffledValues;
    QList<QGraphicsRectItem *> items;
    QList<QBrush> brushes;

    QTimer *sortTimer;
    QTimer *finishTimer;

    // Geometry, fixed by the first layout
    int windowWidth = -1;
    int windowHeight = -1;
    int topBarHeight = 100;
    int margin = 10;
    float barStepFactor = 0.98f;
    float barWidth = 10.0f;
    float barUnitHeight = 5.0f;

    // 64-bit: the slow sorts of 100,000 bars make billions of exchanges.
    qint64 swapCount = 0;
    QList<QString> algorithmNames;
    int selectedAlgorithm = 0;

    // Run state
    bool layoutDone = false;
    bool needsReshuffle = false;
    bool startPending = false;
    bool firstBuild = true;
    bool shuffling = false;
    float itemCount = 1500.0f;
    int defaultDelay = 1;

    // Sound. soundAvailable and deviceOpening come first: they quiet the
    // audio library and divert the standard error before toneBuffer opens
    // the audio device, and the constructor ends the diversion at once.
    bool soundAvailable;
    StandardErrorDiversion deviceOpening;
    sf::SoundBuffer toneBuffer;
    sf::Sound tone;
    static constexpr unsigned toneSampleRate = 44100;
    static constexpr float toneVolume = 10.0f; // of the audio library's 100
    SoundRecovery *soundRecovery = nullptr;    // opens a lost audio device again
    float maxFrequency = 1000.0f;
    float pitchOffset = 30.0f;
    int smoothEndIndex = 0;
    int smoothEndDuration = 1000;

    // Shuffle animation
    int shuffleDuration = 1500;
    float previousCount = 0.0f;
    bool shuffleReorders = false; // same count, and the row holds 1..N
    int growStep = 1;
    int shrinkStep = 1;

    // Cursors shared by the algorithms and the shuffle animation
    int outerIndex = 0;
    int leftIndex = 0;
    int rightIndex = 0;
    int innerIndex = 0;
    int shuffleStep = 1;

    // Quick sort
    int quickLow = -1;
    int quickHigh = -1;
    int quickPivotIndex = -1;
    QList<std::pair<int, int>> quickStack;
    int quickPivotHeight = -1;

    // Selection, heap, shell and Stalin sorts
    int heapLargest = 0;
    int selectionMinIndex = 0;
    int extremeValue = 0;
    int heapLeft = 0;
    int heapRight = 0;
    int heapSize = 0;
    int heapRoot = 0;
    int heapPhase = 0;
    int heapBuildIndex = -1;
    int shellGap = 0;

    // Merge sort
    int mergeWidth = 1;
    int mergeStart = 0;
    bool mergeActive = false;
    QList<double> mergeLeft;
    QList<double> mergeRight;

    // Radix sort
    int radixPass = 1;
    int radixPassCount = 1;
    int radixDigit = 0;
    QList<int> radixOrder;

    std::vector<std::function<void()>> algorithms;

    // Keyboard and screen-reader use, and a teacher's keys
    AccessibleForm *accessibleForm = nullptr;
    Announcer announcer{this};
    PauseControl *pauseControl = nullptr;
    DelayControl *delayControl = nullptr;
    MuteControl *muteControl = nullptr;
    void (MainWindow::*runningStep)() = nullptr; // the step that sortTimer runs
    StepHistory stepHistory{this};               // what the steps of the run changed

public slots:
    void openLink();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Tab and Shift+Tab, as Qt moves the focus, then as a screen reader
    // needs the move told (accessibleform).
    bool focusNextPrevChild(bool next) override;

private:
    int barCount() const { return int(values.size()); }
    // The common start of every algorithm: sortTimer now runs `step` alone.
    void startStepping(void (MainWindow::*step)());
    // Creates the bar of `slot` showing `value` among `count` bars.
    void addBar(int slot, int value, int count);
    static bool quietAudioLibrary();
    void reportSoundState();
};

#endif // MAINWINDOW_H
