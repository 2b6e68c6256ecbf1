#include <QTest>
class TestOverwriteSafety : public QObject { Q_OBJECT };
QTEST_MAIN(TestOverwriteSafety)
#include "tst_overwritesafety.moc"
