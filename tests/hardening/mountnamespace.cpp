// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mountnamespace.h"

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

namespace {

bool entered = false;
QString problem = QStringLiteral("enterPrivateMountNamespace() was not called");

} // namespace

bool enterPrivateMountNamespace()
{
    if (unshare(CLONE_NEWNS) != 0) {
        problem = QStringLiteral("cannot make a mount namespace: ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // Without this, mounts would still propagate back to the shared tree of the host.
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        problem = QStringLiteral("cannot make mounts private: ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    entered = true;
    problem.clear();
    return true;
}

bool inPrivateMountNamespace()
{
    return entered;
}

QString mountNamespaceProblem()
{
    return problem;
}
