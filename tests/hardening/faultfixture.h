// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "smalldisk.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// What the fault-injection tests share. A test class derives from it, and Qt Test finds the
// set-up slots below in the derived class too: every test function starts from the default
// options and an empty load cache, with a temporary folder of its own for the scene and the
// faults, removed after it.
class FaultFixture : public QObject {
    Q_OBJECT

protected:
    // Whether the tests make mounts (small disks, read-only bind mounts), which need a private
    // mount namespace.
    enum class Mounts { Unused, Used };

    explicit FaultFixture(Mounts mounts)
        : m_mounts(mounts)
    {
    }

    // A disk to fill: `bytes` mounted over the folder `name` of the test's folder. Null when there
    // is none; the test has then failed (no folder) or been skipped (nothing mounts here) and
    // returns.
    std::unique_ptr<SmallDisk> smallDisk(const QString &name, qint64 bytes);

    std::unique_ptr<QTemporaryDir> dir;
    // The tests skipped for want of a disk.
    int disksMissing = 0;

private Q_SLOTS:
    // Silences the engine's debug lines; where the tests mount, says why those will skip if
    // they must.
    void initTestCase();
    void init();
    void cleanup() { dir.reset(); }

private:
    Mounts m_mounts;
};
