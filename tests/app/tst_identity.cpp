#include "app/identity.h"

#include <QCoreApplication>
#include <QTest>

class TestIdentity : public QObject
{
    Q_OBJECT
private slots:
    void namesAndVersionComeFromTheBuild()
    {
        applyIdentity();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tolvex Brevon"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Tolvex"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    }
};

QTEST_GUILESS_MAIN(TestIdentity)
#include "tst_identity.moc"
