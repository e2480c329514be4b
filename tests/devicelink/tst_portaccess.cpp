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
        QTest::addColumn<bool>("groupMayUse");
        QTest::addColumn<QString>("hint");
        QTest::newRow("USB adapter, mode 0660")
            << "/dev/ttyUSB0" << "dialout" << true
            << "Permission denied: add your user to the group 'dialout' that owns /dev/ttyUSB0 "
               "(sudo usermod -aG dialout $USER) and log in again.";
        QTest::newRow("group without a name")
            << "/dev/ttyACM0" << "1234" << true
            << "Permission denied: add your user to the group '1234' that owns /dev/ttyACM0 "
               "(sudo usermod -aG 1234 $USER) and log in again.";
        // Joining a group that may not read and write the device gives nothing.
        QTest::newRow("pseudo-terminal, mode 0620")
            << "/dev/pts/3" << "tty" << false
            << "Permission denied: only the user 'root' may read and write /dev/pts/3; "
               "ask the administrator for access.";
    }
    void hint()
    {
        QFETCH(QString, device);
        QFETCH(QString, group);
        QFETCH(bool, groupMayUse);
        QFETCH(QString, hint);
        QCOMPARE(portPermissionHint(device, QStringLiteral("root"), group, groupMayUse), hint);
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
