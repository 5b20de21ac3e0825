// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <QApplication>
#include <QChildEvent>
#include <QPair>
#include <QProcess>
#include <QSet>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

// The program on a machine where the audio library finds no output device:
// it runs silent and says so once, without the library's own complaints.
//
// The audio library reads its driver list when it first opens a device, so
// main() names a driver that does not exist before any window is made.

namespace {

const QString soundMessage = "ordavex: aucun périphérique audio utilisable, le son est coupé";
// What Qt's offscreen platform writes when a window is shown.
const char *const windowShownLine = "This plugin does not support propagateSizeHints()";

// Lines that only the audio libraries write.
bool isAudioLibraryLine(const QString &line)
{
    return line.contains("AL lib") || line.contains("ALSA lib") || line.contains("OpenAL")
           || line.contains("audio device");
}

// Runs `work` with the process's standard error going to a file, and
// returns what was written there.
template <typename Work> QStringList captureStandardError(Work work)
{
    QTemporaryFile file;
    if (!file.open())
        return {"cannot capture standard error"};
    std::cerr.flush();
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file.handle(), STDERR_FILENO);
    work();
    std::cerr.flush();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    file.seek(0);
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// The descriptors the process has open.
QSet<int> openDescriptors()
{
    QSet<int> open;
    for (int fd = 0; fd < 1024; ++fd)
        if (fcntl(fd, F_GETFD) != -1)
            open.insert(fd);
    return open;
}

// The file behind a descriptor, and behind a path.
QPair<dev_t, ino_t> fileOf(int fd)
{
    struct stat status = {};
    fstat(fd, &status);
    return {status.st_dev, status.st_ino};
}

QPair<dev_t, ino_t> fileAt(const char *path)
{
    struct stat status = {};
    stat(path, &status);
    return {status.st_dev, status.st_ino};
}

// Writes a warning to the standard error while a window builds its form, as
// a Qt warning or a sanitizer report would: at the first widget the form
// adds to the window.
class FormWarning : public QObject
{
public:
    static inline const QString line = "warning while the form is built";
    bool warned = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!warned && event->type() == QEvent::ChildAdded && qobject_cast<MainWindow *>(watched)
            && static_cast<QChildEvent *>(event)->child()->isWidgetType()) {
            warned = true;
            std::fprintf(stderr, "%s\n", qPrintable(line));
        }
        return false;
    }
};

} // namespace

class TestNoSound : public QObject
{
    Q_OBJECT

private slots:
    void silentInProcess();
    void diversion_data();
    void diversion();
    void program_data();
    void program();
};

void TestNoSound::silentInProcess()
{
    FormWarning formWarning;
    qApp->installEventFilter(&formWarning);
    QStringList output = captureStandardError([&] {
        for (int round = 0; round < 2; ++round) {
            formWarning.warned = false;
            MainWindow window;
            QVERIFY(formWarning.warned);
            QVERIFY(!window.soundAvailable);
            window.resize(734, 500);
            window.show();
            // Everything that sounds still runs, and stays quiet.
            window.tone.play();
            window.swapItems(0, 1, true);
            window.updateFrequency(3, 0);
            window.stopTimer();
            while (window.finishTimer->isActive())
                window.playSmoothEndSound();
            window.resetSmoothEndSound();
        }
    });
    qApp->removeEventFilter(&formWarning);
    output.removeAll(windowShownLine);
    // Said once per process, however many windows; only the audio
    // libraries' own lines are kept off the standard error.
    QCOMPARE(output, QStringList({FormWarning::line, soundMessage, FormWarning::line}));
}

// The diversion leaves nothing behind, however it ends, and a program
// started meanwhile inherits only the standard error itself.
void TestNoSound::diversion_data()
{
    QTest::addColumn<bool>("endEarly");

    QTest::newRow("ended") << true;
    QTest::newRow("destroyed") << false;
}

void TestNoSound::diversion()
{
    QFETCH(bool, endEarly);

    const QSet<int> before = openDescriptors();
    const QPair<dev_t, ino_t> standardError = fileOf(STDERR_FILENO);
    {
        StandardErrorDiversion diversion;
        QCOMPARE(fileOf(STDERR_FILENO), fileAt("/dev/null"));
        const QSet<int> added = openDescriptors() - before;
        QCOMPARE(added.size(), 1); // the saved standard error
        QVERIFY(fcntl(*added.begin(), F_GETFD) & FD_CLOEXEC);
        QVERIFY(!(fcntl(STDERR_FILENO, F_GETFD) & FD_CLOEXEC));
        if (endEarly)
            diversion.end();
    }
    QCOMPARE(fileOf(STDERR_FILENO), standardError);
    QCOMPARE(openDescriptors(), before);
}

void TestNoSound::program_data()
{
    QTest::addColumn<QString>("drivers");
    QTest::addColumn<bool>("mayHaveSound");

    QTest::newRow("no such driver") << "nonexistent" << false;
    QTest::newRow("null output") << "null" << true;
    // The sound card of the machine, if it has one.
    QTest::newRow("alsa") << "alsa" << true;
}

void TestNoSound::program()
{
    QFETCH(QString, drivers);
    QFETCH(bool, mayHaveSound);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("ALSOFT_DRIVERS", drivers);
    program.setProcessEnvironment(environment);
    program.start(ORDAVEX_PROGRAM, QStringList());
    QVERIFY(program.waitForStarted());
    // Without a keyboard the program has no way out: wait until it shows its
    // window, past the tone's set-up, however slow the build, then end it.
    QByteArray errors;
    const auto windowShown = [&] {
        errors += program.readAllStandardError();
        return errors.contains(windowShownLine) || program.state() == QProcess::NotRunning;
    };
    QVERIFY(QTest::qWaitFor(windowShown, 60000));
    QVERIFY2(program.state() == QProcess::Running, errors.constData());
    program.kill();
    QVERIFY(program.waitForFinished());
    errors += program.readAllStandardError();

    const QStringList lines = QString::fromUtf8(errors).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.contains(windowShownLine), errors.constData());
    const int messages = int(lines.count(soundMessage));
    if (mayHaveSound)
        QVERIFY(messages <= 1);
    else
        QCOMPARE(messages, 1);
    for (const QString &line : lines)
        QVERIFY2(line == soundMessage || !isAudioLibraryLine(line), qPrintable(line));
}

int main(int argc, char *argv[])
{
    qputenv("ALSOFT_DRIVERS", "nonexistent");
    QApplication app(argc, argv);
    TestNoSound test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nosound.moc"
