// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startup.h"
#include "mainwindow.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

void showMainWindow(MainWindow &window)
{
    window.setWindowState(Qt::WindowFullScreen);
    window.setWindowIcon(QIcon(":/res/icon.png"));
    QFontDatabase::addApplicationFont(":/res/Renogare.ttf");
    // The window lays itself out once, at its first resize event, which
    // must bring the full-screen size. show() sends one at once, for the size
    // the window has: give it the screen's size first. A Wayland compositor
    // tells the size in its first configure, and Qt's screen size may be in
    // device pixels there (GNOME at a whole-number scale): wait for that.
    if (QGuiApplication::platformName().startsWith("wayland"))
        window.setAttribute(Qt::WA_PendingResizeEvent, false);
    else
        window.resize(window.screen()->size());
    window.show();
}
