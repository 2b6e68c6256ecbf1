// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/pathcompare.h"

#include <QDir>
#include <QSet>
#include <QTest>

class TestPathCompare : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalFormCleansAndUsesNativeSeparators()
    {
        QCOMPARE(normalPath(QStringLiteral("/a/b/../c//d.jpg")), QDir::toNativeSeparators("/a/c/d.jpg"));
        QCOMPARE(normalPath(QStringLiteral("/a/./b/")), QDir::toNativeSeparators("/a/b"));
        QCOMPARE(normalPath(QString()), QString());
    }

    void sameFileWrittenTwoWays()
    {
        QVERIFY(samePath(QStringLiteral("/pics/x/../photo.jpg"), QStringLiteral("/pics//photo.jpg")));
        QVERIFY(!samePath(QStringLiteral("/pics/photo.jpg"), QStringLiteral("/pics/photo.jpeg")));
    }

    void letterCaseFollowsThePlatform()
    {
        const bool same = samePath(QStringLiteral("/pics/a.jpg"), QStringLiteral("/pics/A.JPG"));
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        QVERIFY(same);
#else
        QVERIFY(!same);
#endif
        QCOMPARE(pathKey(QStringLiteral("/pics/a.jpg")) == pathKey(QStringLiteral("/pics/A.JPG")), same);
    }

    void keysMatchSamePath()
    {
        QSet<QString> keys;
        keys.insert(pathKey(QStringLiteral("/p/q/../r.png")));
        QVERIFY(keys.contains(pathKey(QStringLiteral("/p/r.png"))));
        QVERIFY(!keys.contains(pathKey(QStringLiteral("/p/q/r.png"))));
    }
};

QTEST_GUILESS_MAIN(TestPathCompare)
#include "tst_pathcompare.moc"
