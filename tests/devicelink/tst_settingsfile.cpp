#include "devicelink/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(TSystemVars)
Q_DECLARE_METATYPE(SettingsFile::LoadResult)

namespace {

// A byte string literal that may hold NUL bytes.
template <std::size_t N>
QByteArray bytes(const char (&s)[N])
{
    return QByteArray(s, qsizetype(N - 1));
}

// Every persisted field, read and set by name so test tables can name them.
QVariant field(const TSystemVars &v, const QString &name)
{
    if (name == "companyName") return v.companyName;
    if (name == "serialPort") return v.serialPort;
    if (name == "machineMode") return int(v.machineMode);
    if (name == "measureMode") return int(v.measureMode);
    if (name == "halValue") return v.halValue;
    if (name == "lalValue") return v.lalValue;
    if (name == "systemLal") return v.systemLal;
    if (name == "systemHal") return v.systemHal;
    if (name == "unitCelsius") return v.unitCelsius;
    if (name == "alarmOn") return v.alarmOn;
    if (name == "emsValue") return v.emsValue;
    if (name == "samplePeriod") return v.samplePeriod;
    qFatal("unknown field %s", qPrintable(name));
}

void setField(TSystemVars &v, const QString &name, const QVariant &value)
{
    if (name == "companyName") v.companyName = value.toString();
    else if (name == "serialPort") v.serialPort = value.toString();
    else if (name == "machineMode") v.machineMode = qint16(value.toInt());
    else if (name == "measureMode") v.measureMode = qint16(value.toInt());
    else if (name == "halValue") v.halValue = value.toInt();
    else if (name == "lalValue") v.lalValue = value.toInt();
    else if (name == "systemLal") v.systemLal = value.toDouble();
    else if (name == "systemHal") v.systemHal = value.toDouble();
    else if (name == "unitCelsius") v.unitCelsius = value.toBool();
    else if (name == "alarmOn") v.alarmOn = value.toBool();
    else if (name == "emsValue") v.emsValue = value.toInt();
    else if (name == "samplePeriod") v.samplePeriod = value.toInt();
    else qFatal("unknown field %s", qPrintable(name));
}

const QStringList FieldNames = {"companyName", "serialPort", "machineMode", "measureMode",
                                "halValue",    "lalValue",   "systemLal",   "systemHal",
                                "unitCelsius", "alarmOn",    "emsValue",    "samplePeriod"};

// Values that differ from every default, to see what load leaves or overwrites.
TSystemVars sentinelVars()
{
    TSystemVars v;
    v.companyName = "sentinel";
    v.serialPort = "COM9";
    v.machineMode = 3;
    v.measureMode = 5;
    v.halValue = 1111;
    v.lalValue = 2222;
    v.systemLal = -3.3;
    v.systemHal = 4.4;
    v.unitCelsius = false;
    v.alarmOn = false;
    v.emsValue = 77;
    v.samplePeriod = 60;
    v.portOpen = true; // not persisted: never touched
    return v;
}

void compareAllFields(const TSystemVars &actual, const TSystemVars &expected)
{
    for (const QString &name : FieldNames) {
        if (field(actual, name) != field(expected, name))
            QFAIL(qPrintable(QString("%1: %2 != %3").arg(name, field(actual, name).toString(),
                                                          field(expected, name).toString())));
    }
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

#ifdef Q_OS_WIN
const QByteArray NewFileEol = "\r\n";
#else
const QByteArray NewFileEol = "\n";
#endif

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString iniPath() const { return dir->filePath(SettingsFile::FileName); }

    // The keys written for keysVars(), one line each.
    static TSystemVars keysVars()
    {
        TSystemVars v = sentinelVars();
        v.companyName = "ACME";
        return v;
    }
    static QByteArray keysBlock(const QByteArray &eol)
    {
        const char *lines[] = {"COMPANY_NAME=ACME", "SEARIAL_PORT=COM9", "MACHINE_MODE=3",
                               "MEASURE_MODE=5",    "HAL_VALUE=1111",    "LAL_VALUE=2222",
                               "SYSTEMLAL=-33",     "SYSTEMHAL=44",      "UNIT_CF=0",
                               "ALARMONOFF=0",      "EMS=77",            "SAMPLE_PERIOD=60"};
        QByteArray out;
        for (const char *line : lines)
            out += QByteArray(line) + eol;
        return out;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");

        auto row = [](const char *tag, const QByteArray &lines, const char *name, const QVariant &expected) {
            QTest::newRow(tag) << QByteArray("[Kelvora OPTIONS]\n" + lines + "\n") << QString(name)
                               << expected;
        };
        // Alarm limits: above 65280 is a negative value in 16-bit form.
        row("hal 65335 -> -200", "HAL_VALUE=65335", "halValue", -200);
        row("hal 65280 stays", "HAL_VALUE=65280", "halValue", 65280);
        row("hal 65281 -> -254", "HAL_VALUE=65281", "halValue", -254);
        row("hal -200 stays", "HAL_VALUE=-200", "halValue", -200);
        row("lal 65335 -> -200", "LAL_VALUE=65335", "lalValue", -200);
        row("lal 250", "LAL_VALUE=250", "lalValue", 250);
        // Upper limits only.
        row("machine 9 -> 0", "MACHINE_MODE=9", "machineMode", 0);
        row("machine 5 -> 0", "MACHINE_MODE=5", "machineMode", 0);
        row("machine 4 stays", "MACHINE_MODE=4", "machineMode", 4);
        row("machine -1 stays", "MACHINE_MODE=-1", "machineMode", -1);
        row("machine int16 min", "MACHINE_MODE=-32768", "machineMode", -32768);
        row("machine 32768 too wide", "MACHINE_MODE=32768", "machineMode", 4);
        row("measure 12 -> 7", "MEASURE_MODE=12", "measureMode", 7);
        row("measure 7 stays", "MEASURE_MODE=7", "measureMode", 7);
        row("measure -3 stays", "MEASURE_MODE=-3", "measureMode", -3);
        row("measure -32769 too wide", "MEASURE_MODE=-32769", "measureMode", 0);
        row("sample 20000 -> 9999", "SAMPLE_PERIOD=20000", "samplePeriod", 9999);
        row("sample 9999 stays", "SAMPLE_PERIOD=9999", "samplePeriod", 9999);
        row("sample 0", "SAMPLE_PERIOD=0", "samplePeriod", 0);
        row("ems no limit", "EMS=150", "emsValue", 150);
        row("ems negative", "EMS=-5", "emsValue", -5);
        // Flags: only 1 is true.
        row("unit 1 celsius", "UNIT_CF=1", "unitCelsius", true);
        row("unit 2 fahrenheit", "UNIT_CF=2", "unitCelsius", false);
        row("unit 0 fahrenheit", "UNIT_CF=0", "unitCelsius", false);
        row("alarm 0 off", "ALARMONOFF=0", "alarmOn", false);
        row("alarm -1 off", "ALARMONOFF=-1", "alarmOn", false);
        row("alarm 1 on", "ALARMONOFF=1", "alarmOn", true);
        // Tenths to degrees.
        row("systemhal 377", "SYSTEMHAL=377", "systemHal", 37.7);
        row("systemlal -123", "SYSTEMLAL=-123", "systemLal", -12.3);
        row("systemlal 65335 not wrapped", "SYSTEMLAL=65335", "systemLal", 6533.5);
        // Text as read, trimmed.
        row("company trimmed", "COMPANY_NAME =  Acme Ltd  ", "companyName", "Acme Ltd");
        row("company utf8 and =", "COMPANY_NAME=M\xc3\xbcller=Co", "companyName",
            QString::fromUtf8("M\xc3\xbcller=Co"));
        row("company empty", "COMPANY_NAME=", "companyName", "");
        row("port", "SEARIAL_PORT=/dev/ttyUSB0", "serialPort", "/dev/ttyUSB0");
        row("port empty stays empty", "SEARIAL_PORT=", "serialPort", "");
        // Integer syntax.
        row("plus sign", "EMS=+12", "emsValue", 12);
        row("blanks and tabs", "EMS=\t 12 \t", "emsValue", 12);
        row("leading zeros", "EMS=007", "emsValue", 7);
        row("int32 min", "EMS=-2147483648", "emsValue", int(-2147483647 - 1));
        row("int32 max", "EMS=2147483647", "emsValue", 2147483647);
        row("int32 overflow", "EMS=2147483648", "emsValue", 95);
        row("huge number", "EMS=99999999999999999999999999", "emsValue", 95);
        row("letters", "HAL_VALUE=abc", "halValue", 365);
        row("trailing junk", "HAL_VALUE=12x", "halValue", 365);
        row("empty value", "LAL_VALUE=", "lalValue", 300);
        row("decimal", "SAMPLE_PERIOD=1.5", "samplePeriod", 5);
        row("hex", "SAMPLE_PERIOD=0x10", "samplePeriod", 5);
        row("sign alone", "MEASURE_MODE=-", "measureMode", 0);
        row("blank after sign", "MACHINE_MODE=- 1", "machineMode", 4);
        row("unit not integer -> default on", "UNIT_CF=yes", "unitCelsius", true);
        row("systemhal not integer", "SYSTEMHAL=37.7", "systemHal", 0.0);
        // Names.
        row("key any case", "hal_value = 100", "halValue", 100);
        row("duplicate: first wins", "HAL_VALUE=1\nHAL_VALUE=2", "halValue", 1);
        row("duplicate other case", "ems=10\nEMS=20", "emsValue", 10);
        row("commented key ignored", ";EMS=10\n#EMS=11", "emsValue", 95);
        row("missing key", "OTHER=1", "samplePeriod", 5);
        row("no = sign", "EMS 10\nEMS", "emsValue", 95);

        QTest::newRow("section any case, blanks")
            << QByteArray("  [ kelvora options ]  \nEMS=10\n") << QString("emsValue") << QVariant(10);
        QTest::newRow("key in another section ignored")
            << QByteArray("[Other]\nEMS=10\n[Kelvora OPTIONS]\nSAMPLE_PERIOD=1\n[More]\nEMS=11\n")
            << QString("emsValue") << QVariant(95);
        QTest::newRow("key before any section ignored")
            << QByteArray("EMS=10\n[Kelvora OPTIONS]\n") << QString("emsValue") << QVariant(95);
        QTest::newRow("section repeated: first wins")
            << QByteArray("[Kelvora OPTIONS]\nEMS=10\n[X]\n[KELVORA OPTIONS]\nEMS=11\nSAMPLE_PERIOD=7\n")
            << QString("samplePeriod") << QVariant(7);
        QTest::newRow("crlf") << QByteArray("[Kelvora OPTIONS]\r\nSEARIAL_PORT=COM2\r\nEMS=1\r\n")
                              << QString("serialPort") << QVariant("COM2");
        QTest::newRow("no final line break")
            << QByteArray("[Kelvora OPTIONS]\r\nSEARIAL_PORT=COM2") << QString("serialPort") << QVariant("COM2");
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBF[Kelvora OPTIONS]\nEMS=10\n") << QString("emsValue") << QVariant(10);
        QTest::newRow("junk around keys")
            << bytes("\xff\xfe\x00\x01garbage\n[\n]\n[Kelvora OPTIONS]\n\x00\x7f\x80\n==\n=5\n"
                     "\xc3(\nHAL_VALUE=100\n")
            << QString("halValue") << QVariant(100);
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        writeFile(iniPath(), content);
        TSystemVars vars = sentinelVars();
        QCOMPARE(SettingsFile::load(iniPath(), vars), SettingsFile::LoadResult::Loaded);
        QCOMPARE(field(vars, name), expected);
    }

    // Whatever the file lacks takes its default, whatever was held before.
    void defaults_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<SettingsFile::LoadResult>("result");
        using R = SettingsFile::LoadResult;
        QTest::newRow("missing file") << false << QByteArray() << R::Missing;
        QTest::newRow("empty file") << true << QByteArray() << R::Loaded;
        QTest::newRow("empty section") << true << QByteArray("[Kelvora OPTIONS]\n") << R::Loaded;
        QTest::newRow("keys in another section")
            << true << QByteArray("[Other]\nEMS=1\nSAMPLE_PERIOD=2\nUNIT_CF=0\n") << R::Loaded;
        QTest::newRow("binary junk") << true << bytes("\x00\x01\xff\xfe\x1b[\r\r\n\n=\x00")
                                     << R::Loaded;
    }

    void defaults()
    {
        QFETCH(bool, create);
        QFETCH(QByteArray, content);
        QFETCH(SettingsFile::LoadResult, result);
        if (create)
            writeFile(iniPath(), content);

        TSystemVars vars = sentinelVars();
        QCOMPARE(SettingsFile::load(iniPath(), vars), result);

        TSystemVars expected;
        expected.companyName = "";
        expected.serialPort = "COM1";
        expected.machineMode = 4;
        expected.measureMode = 0;
        expected.halValue = 365;
        expected.lalValue = 300;
        expected.systemLal = 0.0;
        expected.systemHal = 0.0;
        expected.unitCelsius = true;
        expected.alarmOn = true;
        expected.emsValue = 95;
        expected.samplePeriod = 5;
        compareAllFields(vars, expected);
        QVERIFY(vars.portOpen);
    }

    // Random bytes mixed with pieces of valid lines never upset the reader.
    void garbledFilesLoad()
    {
        QRandomGenerator rng(20240611);
        const QByteArray pieces[] = {"[Kelvora OPTIONS]", "[", "]", "=", "\n", "\r\n", "\r",
                                     "HAL_VALUE=", "UNIT_CF", "65335", "-", "\xef\xbb\xbf", "\xc3"};
        for (int round = 0; round < 200; ++round) {
            QByteArray data;
            const int parts = rng.bounded(1, 60);
            for (int p = 0; p < parts; ++p) {
                if (rng.bounded(2)) {
                    data += pieces[rng.bounded(int(std::size(pieces)))];
                } else {
                    for (int b = rng.bounded(1, 20); b > 0; --b)
                        data += char(rng.bounded(256));
                }
            }
            writeFile(iniPath(), data);
            TSystemVars vars;
            QCOMPARE(SettingsFile::load(iniPath(), vars), SettingsFile::LoadResult::Loaded);
            QVERIFY(vars.measureMode <= 7);
            QVERIFY(vars.machineMode <= 4);
            QVERIFY(vars.samplePeriod <= 9999);
            // Saving over junk must still give a file that loads back what was saved.
            TSystemVars saved = keysVars();
            QVERIFY(SettingsFile::save(iniPath(), saved));
            TSystemVars reloaded;
            QCOMPARE(SettingsFile::load(iniPath(), reloaded), SettingsFile::LoadResult::Loaded);
            compareAllFields(reloaded, saved);
        }
    }

    // Both fail for root too.
    void unreadable_data()
    {
        QTest::addColumn<bool>("directory");
        QTest::newRow("path is a directory") << true;
        QTest::newRow("every read fails with an I/O error") << false;
    }

    void unreadable()
    {
        QFETCH(bool, directory);
        if (directory)
            QVERIFY(QDir(dir->path()).mkdir(SettingsFile::FileName));
        else
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), iniPath()));
        TSystemVars vars = sentinelVars();
        QCOMPARE(SettingsFile::load(iniPath(), vars), SettingsFile::LoadResult::Unreadable);
        compareAllFields(vars, sentinelVars());

        // Neither is save allowed to replace what it could not read.
        QVERIFY(!SettingsFile::save(iniPath(), vars));
        QCOMPARE(QFileInfo(iniPath()).isDir(), directory);
        QCOMPARE(QFileInfo(iniPath()).isSymLink(), !directory);
    }

    // Values written by an older installation in an 8-bit code page are no
    // UTF-8: their bytes survive a load and a save unless the value changed.
    void eightBitValuesKept_data()
    {
        QTest::addColumn<QString>("newCompany"); // null: left as read
        QTest::addColumn<QByteArray>("companyLine");
        QTest::newRow("left as read") << QString() << QByteArray("COMPANY_NAME=M\xfcller & S\xf6hne");
        QTest::newRow("changed by the user")
            << QString::fromUtf8("M\xc3\xbcller AG") << QByteArray("COMPANY_NAME=M\xc3\xbcller AG");
    }

    void eightBitValuesKept()
    {
        QFETCH(QString, newCompany);
        QFETCH(QByteArray, companyLine);
        writeFile(iniPath(), "[Kelvora OPTIONS]\r\nCOMPANY_NAME= M\xfcller & S\xf6hne \r\n"
                             "SEARIAL_PORT=/dev/tty\xe9\r\nEMS=80\r\n");
        TSystemVars vars;
        QCOMPARE(SettingsFile::load(iniPath(), vars), SettingsFile::LoadResult::Loaded);
        QCOMPARE(vars.emsValue, 80);
        if (!newCompany.isNull())
            vars.companyName = newCompany;
        QVERIFY(SettingsFile::save(iniPath(), vars));
        const QByteArray expected =
            "[Kelvora OPTIONS]\r\n" + companyLine + "\r\nSEARIAL_PORT=/dev/tty\xe9\r\nMACHINE_MODE=4\r\n";
        QVERIFY2(readFile(iniPath()).startsWith(expected), readFile(iniPath()).constData());

        // A second run changes nothing more.
        TSystemVars again;
        SettingsFile::load(iniPath(), again);
        const QByteArray once = readFile(iniPath());
        QVERIFY(SettingsFile::save(iniPath(), again));
        QCOMPARE(readFile(iniPath()), once);
    }

    void roundTrip_data()
    {
        QTest::addColumn<TSystemVars>("vars");
        TSystemVars v = sentinelVars();
        QTest::newRow("sentinel") << v;

        v.companyName = QString::fromUtf8("M\xc3\xbcller & S\xc3\xb6hne = GmbH ; [x]");
        v.serialPort = "/dev/ttyUSB0";
        v.machineMode = -1;
        v.measureMode = 7;
        v.halValue = -200;
        v.lalValue = 65280;
        v.systemLal = -12.3;
        v.systemHal = 37.7;
        v.unitCelsius = true;
        v.alarmOn = true;
        v.emsValue = -2147483647 - 1;
        v.samplePeriod = 9999;
        QTest::newRow("edges") << v;

        v.machineMode = -32768;
        v.measureMode = -32768;
        v.halValue = -2147483647 - 1;
        v.lalValue = 0;
        v.systemLal = 214748364.7;
        v.systemHal = -214748364.8;
        v.emsValue = 2147483647;
        v.samplePeriod = -2147483647 - 1;
        QTest::newRow("widths") << v;
    }

    void roundTrip()
    {
        QFETCH(TSystemVars, vars);
        QVERIFY(SettingsFile::save(iniPath(), vars));
        TSystemVars loaded;
        QCOMPARE(SettingsFile::load(iniPath(), loaded), SettingsFile::LoadResult::Loaded);
        compareAllFields(loaded, vars);
        // Saving what was loaded changes no byte.
        const QByteArray first = readFile(iniPath());
        QVERIFY(SettingsFile::save(iniPath(), loaded));
        QCOMPARE(readFile(iniPath()), first);
    }

    void write_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("systemLal truncates toward zero") << "systemLal" << QVariant(-12.35) << QByteArray("SYSTEMLAL=-123");
        QTest::newRow("systemLal 37.7") << "systemLal" << QVariant(37.7) << QByteArray("SYSTEMLAL=377");
        QTest::newRow("systemHal -37.7") << "systemHal" << QVariant(-37.7) << QByteArray("SYSTEMHAL=-377");
        QTest::newRow("systemHal truncates 0.29") << "systemHal" << QVariant(0.29) << QByteArray("SYSTEMHAL=2");
        QTest::newRow("systemHal truncates 12.39") << "systemHal" << QVariant(12.39) << QByteArray("SYSTEMHAL=123");
        // 0.7 - 0.4 is 0.29999999999999993: meant as three tenths.
        QTest::newRow("systemHal float noise up") << "systemHal" << QVariant(0.7 - 0.4) << QByteArray("SYSTEMHAL=3");
        QTest::newRow("systemLal float noise down") << "systemLal" << QVariant(0.4 - 0.7) << QByteArray("SYSTEMLAL=-3");
        QTest::newRow("systemLal float noise 3.77*10") << "systemLal" << QVariant(3.77 * 10) << QByteArray("SYSTEMLAL=377");
        QTest::newRow("alarm off") << "alarmOn" << QVariant(false) << QByteArray("ALARMONOFF=0");
        QTest::newRow("alarm on") << "alarmOn" << QVariant(true) << QByteArray("ALARMONOFF=1");
        QTest::newRow("celsius") << "unitCelsius" << QVariant(true) << QByteArray("UNIT_CF=1");
        QTest::newRow("fahrenheit") << "unitCelsius" << QVariant(false) << QByteArray("UNIT_CF=0");
        QTest::newRow("hal signed") << "halValue" << QVariant(-200) << QByteArray("HAL_VALUE=-200");
        QTest::newRow("lal signed") << "lalValue" << QVariant(-1) << QByteArray("LAL_VALUE=-1");
        QTest::newRow("machine as held") << "machineMode" << QVariant(-1) << QByteArray("MACHINE_MODE=-1");
        QTest::newRow("measure as held") << "measureMode" << QVariant(12) << QByteArray("MEASURE_MODE=12");
        QTest::newRow("sample as held") << "samplePeriod" << QVariant(20000) << QByteArray("SAMPLE_PERIOD=20000");
        QTest::newRow("ems") << "emsValue" << QVariant(-95) << QByteArray("EMS=-95");
        QTest::newRow("company utf8") << "companyName" << QVariant(QString::fromUtf8("M\xc3\xbcller"))
                                      << QByteArray("COMPANY_NAME=M\xc3\xbcller");
        QTest::newRow("company line break") << "companyName" << QVariant("A\r\nB\nC")
                                            << QByteArray("COMPANY_NAME=A  B C");
        QTest::newRow("port") << "serialPort" << QVariant("COM12") << QByteArray("SEARIAL_PORT=COM12");
    }

    void write()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, line);
        TSystemVars vars = sentinelVars();
        setField(vars, name, value);
        QVERIFY(SettingsFile::save(iniPath(), vars));
        const QList<QByteArray> lines = readFile(iniPath()).split('\n');
        QVERIFY2(lines.contains(line + NewFileEol.chopped(1)), readFile(iniPath()).constData());
    }

    // A new file holds exactly the section with the twelve keys in their order.
    void newFileLayout()
    {
        QVERIFY(SettingsFile::save(iniPath(), keysVars()));
        QCOMPARE(readFile(iniPath()), "[Kelvora OPTIONS]" + NewFileEol + keysBlock(NewFileEol));
    }

    void keepsOtherLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray keys = keysBlock("\n");
        const QByteArray keysCrlf = keysBlock("\r\n");

        QTest::newRow("section between others")
            << QByteArray("; top comment\n[First]\nA=1\nHAL_VALUE=5\n\n"
                          "[kelvora options]\nEMS=1\n; note\nUNKNOWN = x\nhal_value=7\nFOO=2\nEMS=3\n\n"
                          "[Last]\nB = 2\n")
            << QByteArray("; top comment\n[First]\nA=1\nHAL_VALUE=5\n\n"
                          "[kelvora options]\n" + keys + "; note\nUNKNOWN = x\nFOO=2\n\n"
                          "[Last]\nB = 2\n");
        QTest::newRow("crlf kept")
            << QByteArray("[A]\r\nX=1\r\n[Kelvora OPTIONS]\r\nEMS=1\r\nZ=2\r\n")
            << QByteArray("[A]\r\nX=1\r\n[Kelvora OPTIONS]\r\n" + keysCrlf + "Z=2\r\n");
        QTest::newRow("section missing: appended")
            << QByteArray("[A]\nX=1\n") << QByteArray("[A]\nX=1\n\n[Kelvora OPTIONS]\n" + keys);
        QTest::newRow("section missing, crlf, no final break")
            << QByteArray("[A]\r\nX=1") << QByteArray("[A]\r\nX=1\r\n\r\n[Kelvora OPTIONS]\r\n" + keysCrlf);
        QTest::newRow("section missing after blank line")
            << QByteArray("[A]\nX=1\n\n") << QByteArray("[A]\nX=1\n\n[Kelvora OPTIONS]\n" + keys);
        QTest::newRow("header is last line without break")
            << QByteArray("[A]\r\n[Kelvora OPTIONS]") << QByteArray("[A]\r\n[Kelvora OPTIONS]\r\n" + keysCrlf);
        QTest::newRow("section last, other key without break")
            << QByteArray("[Kelvora OPTIONS]\nEMS=4\nZ=1") << QByteArray("[Kelvora OPTIONS]\n" + keys + "Z=1");
        QTest::newRow("byte order mark and odd bytes kept")
            << bytes("\xEF\xBB\xBF[Kelvora OPTIONS]\nEMS=4\n[B]\nX=\xff\xfe\x00y\n")
            << "\xEF\xBB\xBF[Kelvora OPTIONS]\n" + keys + bytes("[B]\nX=\xff\xfe\x00y\n");
        QTest::newRow("repeated section: first rewritten")
            << QByteArray("[Kelvora OPTIONS]\nEMS=1\n[Kelvora OPTIONS]\nEMS=2\n")
            << QByteArray("[Kelvora OPTIONS]\n" + keys + "[Kelvora OPTIONS]\nEMS=2\n");
        QTest::newRow("mixed line endings kept per line")
            << QByteArray("[A]\nX=1\r\n[Kelvora OPTIONS]\r\nEMS=1\n")
            << QByteArray("[A]\nX=1\r\n[Kelvora OPTIONS]\r\n" + keys);
    }

    void keepsOtherLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeFile(iniPath(), before);
        QVERIFY(SettingsFile::save(iniPath(), keysVars()));
        QCOMPARE(readFile(iniPath()), after);
        // A second save changes nothing.
        QVERIFY(SettingsFile::save(iniPath(), keysVars()));
        QCOMPARE(readFile(iniPath()), after);
    }

    // Each fails for root too.
    void saveFails_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing directory") << QString("missing/KELVORA.INI");
        QTest::newRow("path is a directory") << QString("isdir");
        QTest::newRow("path under a regular file") << QString("plain/KELVORA.INI");
        QTest::newRow("write cut short") << QString("short/KELVORA.INI");
    }

    void saveFails()
    {
        QFETCH(QString, relativePath);
        const QString path = dir->filePath(relativePath);
        const QByteArray old = "[Kelvora OPTIONS]\nEMS=1\n";
        if (relativePath == "isdir") {
            QVERIFY(QDir(dir->path()).mkpath("isdir/inside"));
        } else if (relativePath.startsWith("plain")) {
            writeFile(dir->filePath("plain"), old);
        } else if (relativePath.startsWith("short")) {
            QVERIFY(QDir(dir->path()).mkdir("short"));
            writeFile(path, old);
        }

        bool saved = true;
        if (relativePath.startsWith("short")) {
            // A full disk, as far as this process is concerned: writes stop
            // at 30 bytes (with the signal ignored, write() fails instead).
            rlimit previous{};
            QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
            rlimit limited = previous;
            limited.rlim_cur = 30;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
            saved = SettingsFile::save(path, keysVars());
            ::setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            saved = SettingsFile::save(path, keysVars());
        }
        QVERIFY(!saved);

        if (relativePath == "isdir") {
            QVERIFY(QFileInfo(dir->filePath("isdir/inside")).isDir());
        } else if (relativePath.startsWith("plain")) {
            QCOMPARE(readFile(dir->filePath("plain")), old);
        } else if (relativePath.startsWith("short")) {
            // The old file as it was, and no partial file left beside it.
            QCOMPARE(readFile(path), old);
            QCOMPARE(QDir(dir->filePath("short")).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"KELVORA.INI"});
        } else {
            QVERIFY(!QFileInfo::exists(path));
            QVERIFY(!QFileInfo::exists(dir->filePath("missing")));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
