// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Moves this process into a mount namespace of its own, so that the tmpfs and read-only bind
// mounts a test makes vanish with the process, however it ends, and are never seen by the rest
// of the machine. Must be called before any thread starts (first thing in main). Needs root (or
// CAP_SYS_ADMIN); false otherwise, and the tests that mount skip with the reason.
bool enterPrivateMountNamespace();

// Whether enterPrivateMountNamespace() succeeded, and if not, why.
bool inPrivateMountNamespace();
QString mountNamespaceProblem();
