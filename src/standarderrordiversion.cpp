// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "standarderrordiversion.h"

#include <QtGlobal>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

// Both descriptors are close-on-exec: a program started meanwhile inherits
// neither /dev/null nor the saved standard error.
StandardErrorDiversion::StandardErrorDiversion()
{
#ifdef Q_OS_LINUX
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    savedStandardError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (savedStandardError >= 0)
        dup2(null, STDERR_FILENO);
    close(null);
#endif
}

StandardErrorDiversion::~StandardErrorDiversion()
{
    end();
}

void StandardErrorDiversion::end()
{
#ifdef Q_OS_LINUX
    if (savedStandardError < 0)
        return;
    std::fflush(stderr);
    dup2(savedStandardError, STDERR_FILENO);
    close(savedStandardError);
    savedStandardError = -1;
#endif
}
