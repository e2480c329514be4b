// The About window's lines about the machine: memory and operating system.
#include "shell/logic/aboutlines.h"

#include <QtTest>

using AboutLines::OsVersion;
using Family = AboutLines::OsVersion::Family;

Q_DECLARE_METATYPE(Family)

class TestAboutLines : public QObject {
    Q_OBJECT
private slots:
    void memoryLine_data();
    void memoryLine();
    void operatingSystemLine_data();
    void operatingSystemLine();
    void thisMachine();
};

void TestAboutLines::memoryLine_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("line");
    QTest::newRow("523,760 KB") << quint64(523760) * 1024 << "Memory Available to Windows: 523760KB";
    QTest::newRow("fraction dropped")
        << quint64(523760) * 1024 + 1023 << "Memory Available to Windows: 523760KB";
    QTest::newRow("beyond 32 bits of kilobytes")
        << quint64(8) * 1024 * 1024 * 1024 * 1024 << "Memory Available to Windows: 8589934592KB";
}

void TestAboutLines::memoryLine()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, line);
    QCOMPARE(AboutLines::memoryLine(bytes), line);
}

void TestAboutLines::operatingSystemLine_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("line"); // null: the line keeps its text

    QTest::newRow("NT with service pack") << Family::WindowsNT << 5 << "Service Pack 3"
                                          << "Windows NT 5 ( Service Pack 3 )";
    QTest::newRow("NT without service pack") << Family::WindowsNT << 5 << ""
                                             << "Windows NT 5 (  )";
    QTest::newRow("95/98") << Family::Windows9x << 4 << " A "
                           << "Windows 95/98 4 (  A  )";
    QTest::newRow("Linux") << Family::Linux << 6 << "Debian GNU/Linux 12 (bookworm)"
                           << "Linux 6 ( Debian GNU/Linux 12 (bookworm) )";
    QTest::newRow("detail cut to 128 characters")
        << Family::Linux << 6 << QString(130, QLatin1Char('x'))
        << QStringLiteral("Linux 6 ( %1 )").arg(QString(128, QLatin1Char('x')));
    QTest::newRow("unknown system") << Family::Unknown << 3 << "x" << QString();
}

void TestAboutLines::operatingSystemLine()
{
    QFETCH(Family, family);
    QFETCH(int, major);
    QFETCH(QString, detail);
    QFETCH(QString, line);
    const std::optional<QString> made = AboutLines::operatingSystemLine(OsVersion{family, major, detail});
    QCOMPARE(made.has_value(), !line.isNull());
    if (made)
        QCOMPARE(*made, line);
}

// Read from this machine: a kernel's major version and the memory
// /proc/meminfo reports.
void TestAboutLines::thisMachine()
{
    const OsVersion version = AboutLines::currentOsVersion();
    QCOMPARE(version.family, Family::Linux);
    QCOMPARE(version.majorVersion, QSysInfo::kernelVersion().section(QLatin1Char('.'), 0, 0).toInt());
    QCOMPARE(version.detail, QSysInfo::prettyProductName());

    QFile meminfo(QStringLiteral("/proc/meminfo"));
    QVERIFY(meminfo.open(QIODevice::ReadOnly));
    const QByteArray total = meminfo.readLine().simplified(); // "MemTotal: 16318340 kB"
    QVERIFY(total.startsWith("MemTotal:"));
    QCOMPARE(AboutLines::totalPhysicalMemory() >> 10, total.split(' ').at(1).toULongLong());
}

QTEST_GUILESS_MAIN(TestAboutLines)
#include "tst_aboutlines.moc"
