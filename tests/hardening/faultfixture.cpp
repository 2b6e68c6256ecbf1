// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "faultfixture.h"

#include "convert/conversionoptions.h"
#include "imaging/renderpipeline.h"
#include "mountnamespace.h"

#include <QDir>
#include <QLoggingCategory>
#include <QTest>

void FaultFixture::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    if (m_mounts == Mounts::Used && !inPrivateMountNamespace())
        qInfo("no private mount namespace (%s): the tests that mount will skip",
            qPrintable(mountNamespaceProblem()));
}

void FaultFixture::init()
{
    resetOptions();
    clearLoadCache();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

std::unique_ptr<SmallDisk> FaultFixture::smallDisk(const QString &name, qint64 bytes)
{
    // What QVERIFY and QSKIP do, but for the calling test function.
    const QString folder = dir->path() + QLatin1Char('/') + name;
    if (!QTest::qVerify(QDir().mkpath(folder), "QDir().mkpath(folder)", "", __FILE__, __LINE__))
        return nullptr;
    auto disk = std::make_unique<SmallDisk>(folder, bytes);
    if (disk->isMounted())
        return disk;
    ++disksMissing;
    QTest::qSkip(qPrintable("no small disk to fill: " + disk->problem()), __FILE__, __LINE__);
    return nullptr;
}
