// Reading a log file's lines in blocks: line ends of either kind, a last
// line without one, line ends and characters split between two blocks, and
// each line read as UTF-8 or, failing that, as Latin-1.
#include "common/kelvoraerror.h"
#include "store/loglinereader.h"

#include <QTemporaryDir>
#include <QtTest>

class TestLogLineReader : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void directoryCannotBeRead();
    void overlongLineIsRefused_data();
    void overlongLineIsRefused();

private:
    QTemporaryDir m_dir;
};

void TestLogLineReader::lines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("ab\r\ncd\r\n") << QStringList{"ab", "cd"};
    QTest::newRow("LF") << QByteArray("ab\ncd\n") << QStringList{"ab", "cd"};
    QTest::newRow("no line end after the last line") << QByteArray("ab\r\ncd") << QStringList{"ab", "cd"};
    QTest::newRow("empty lines") << QByteArray("\r\nab\r\n\r\n\n") << QStringList{"", "ab", "", ""};
    QTest::newRow("CR inside a line stays") << QByteArray("a\rb\r\r\n") << QStringList{"a\rb\r"};
    QTest::newRow("lone CR at the end") << QByteArray("ab\r") << QStringList{"ab"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("UTF-8") << QByteArray("M\xc3\xa4r\r\nx\r\n")
                           << QStringList{QString::fromUtf8("M\xc3\xa4r"), "x"};
    QTest::newRow("Latin-1") << QByteArray("M\xe4r\r\nx\r\n")
                             << QStringList{QString::fromUtf8("M\xc3\xa4r"), "x"};
    QTest::newRow("Latin-1 line after a UTF-8 line")
        << QByteArray("\xc3\xa4\r\n\xe4\xc3\r\n")
        << QStringList{QString::fromUtf8("\xc3\xa4"), QString::fromUtf8("\xc3\xa4\xc3\x83")};
    const QByteArray longest(LogLineReader::MaxLineLength, 'x');
    QTest::newRow("longest line") << "ab\r\n" + longest + "\r\ncd"
                                  << QStringList{"ab", QString::fromLatin1(longest), "cd"};
    QTest::newRow("ASCII line after a longer non-ASCII line")
        << QByteArray("M\xc3\xa4rz 2006\r\nab\r\n")
        << QStringList{QString::fromUtf8("M\xc3\xa4rz 2006"), "ab"};
}

// Every block size from one byte on splits the lines differently: CR and LF
// apart, a UTF-8 character apart, a line over several blocks.
void TestLogLineReader::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);

    const QString path = m_dir.filePath(QStringLiteral("lines.klg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
    file.close();
    for (const qsizetype blockSize : {1, 2, 3, 5, 64}) {
        LogLineReader reader(path, blockSize);
        QStringList read;
        while (!reader.atEnd())
            read << reader.next().toString();
        QCOMPARE(read, lines);
        QCOMPARE(reader.next().toString(), QString());
    }
}

void TestLogLineReader::directoryCannotBeRead()
{
    QString error;
    try {
        LogLineReader reader(m_dir.path());
        reader.next();
    } catch (const KelvoraError &e) {
        error = e.text();
    }
    QVERIFY2(error.startsWith(QStringLiteral("Cannot ")), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(m_dir.path())), qPrintable(error));
}

void TestLogLineReader::overlongLineIsRefused_data()
{
    QTest::addColumn<QString>("path"); // empty: a file of content
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");

    const QByteArray overlong(LogLineReader::MaxLineLength + 1, 'x');
    QTest::newRow("one byte over, CR LF") << QString() << "ab\r\n" + overlong + "\r\ncd\r\n" << 2;
    QTest::newRow("one byte over, last line") << QString() << "ab\n" + overlong << 2;
    QTest::newRow("no line end in a megabyte") << QString() << QByteArray(1 << 20, 'x') << 1;
    // A device that never ends would otherwise fill the memory.
    if (QFileInfo::exists(QStringLiteral("/dev/zero")))
        QTest::newRow("endless device") << QStringLiteral("/dev/zero") << QByteArray() << 1;
}

void TestLogLineReader::overlongLineIsRefused()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(int, line);

    if (path.isEmpty()) {
        path = m_dir.filePath(QStringLiteral("long.klg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }
    for (const qsizetype blockSize : {qsizetype(7), LogLineReader::DefaultBlockSize}) {
        QString error;
        QStringList read;
        try {
            LogLineReader reader(path, blockSize);
            while (!reader.atEnd())
                read << reader.next().toString();
        } catch (const KelvoraError &e) {
            error = e.text();
        }
        QCOMPARE(read.size(), line - 1);
        QCOMPARE(error,
                 QStringLiteral("Cannot read file %1: line %2 is longer than %3 bytes, so it is no log file")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(line)
                     .arg(LogLineReader::MaxLineLength));
    }
}

QTEST_GUILESS_MAIN(TestLogLineReader)
#include "tst_loglinereader.moc"
