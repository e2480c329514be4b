// The line that tells a user refused by a serial device how to get access.
#include "devicelink/portaccess.h"

#include <QTemporaryFile>
#include <QtTest>

class TestPortAccess : public QObject {
    Q_OBJECT
private slots:
    void hint_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("hint");
        QTest::newRow("USB adapter")
            << "/dev/ttyUSB0" << "dialout"
            << "Permission denied: add your user to the group 'dialout' that owns /dev/ttyUSB0 "
               "(sudo usermod -aG dialout $USER) and log in again.";
        QTest::newRow("pseudo-terminal, group without a name")
            << "/dev/pts/3" << "1234"
            << "Permission denied: add your user to the group '1234' that owns /dev/pts/3 "
               "(sudo usermod -aG 1234 $USER) and log in again.";
    }
    void hint()
    {
        QFETCH(QString, device);
        QFETCH(QString, group);
        QFETCH(QString, hint);
        QCOMPARE(portPermissionHint(device, group), hint);
    }

    // A device this process may use was refused for another reason (another
    // program holds it, it is gone): group membership would not help.
    void noHintWithoutLackOfPermission()
    {
        QTemporaryFile device;
        QVERIFY(device.open());
        QCOMPARE(portAccessHint(device.fileName()), QString());
        QCOMPARE(portAccessHint(device.fileName() + QStringLiteral("-gone")), QString());
    }
};

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
