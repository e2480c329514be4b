#include "devicelink/portname.h"

#include <QtTest>

class TestPortName : public QObject {
    Q_OBJECT
private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1 is the first port") << "COM1" << "/dev/ttyS0";
        QTest::newRow("COM3") << "COM3" << "/dev/ttyS2";
        QTest::newRow("two digits address port 12") << "COM12" << "/dev/ttyS11";
        QTest::newRow("lower case") << "com2" << "/dev/ttyS1";
        QTest::newRow("name in /dev") << "ttyUSB0" << "/dev/ttyUSB0";
        QTest::newRow("device path") << "/dev/ttyACM1" << "/dev/ttyACM1";
        QTest::newRow("blanks trimmed") << " ttyS4 " << "/dev/ttyS4";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("COM0 addresses no port") << "COM0" << "";
        QTest::newRow("relative path with folders") << "dev/ttyS0" << "";
    }
    void resolve()
    {
        QFETCH(QString, configured);
        QFETCH(QString, device);
        QCOMPARE(resolvePortName(configured), device);
    }
};

QTEST_GUILESS_MAIN(TestPortName)
#include "tst_portname.moc"
