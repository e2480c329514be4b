// The directory check of compiled help files: the built help file passes;
// files whose chunk links loop, lead outside the directory or nest deeper
// than their header says, and files cut short, are refused before the help
// library reads them.
#include "craftedhelpfile.h"
#include "shell/logic/chmdirectory.h"

#include <QBuffer>
#include <QtTest>

using namespace CraftedHelpFile;

Q_DECLARE_METATYPE(ChmDirectoryFault)

namespace {

const QString BuiltHelpFile =
    QFileInfo(QStringLiteral(KELVORA_PROGRAM_PATH)).dir().filePath(QStringLiteral("readme_en.chm"));

const QByteArray Parts = listingEntry("/", 0, 0, 0) + listingEntry("/#SYSTEM", 0, 0, 4);

ChmDirectoryFault check(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return checkChmDirectory(buffer);
}

Directory oneListing()
{
    Directory d;
    d.chunks = {listingChunk(Parts, -1)};
    d.content = QByteArray(4, '\0');
    return d;
}

// Root index chunk 1 over the listing chunks 0 and 2.
Directory indexed()
{
    Directory d;
    d.depth = 2;
    d.root = 1;
    d.chunks = {listingChunk(listingEntry("/", 0, 0, 0), 2),
                indexChunk(indexEntry("/", 0) + indexEntry("/b", 2)),
                listingChunk(listingEntry("/b", 0, 0, 4), -1)};
    d.content = QByteArray(4, '\0');
    return d;
}

QByteArray resetTable(quint64 frameSize = ChmLayout::LzxFrameSize)
{
    return le(2, 4) + le(1, 4) + le(8, 4) + le(0x28, 4) + le(0, 8) + le(0, 8) + le(frameSize, 8);
}

// Control data as help compilers write it: version 2, sizes in frames.
QByteArray controlData(quint32 resetInterval, quint32 windowSize, quint32 windowsPerReset = 1,
                       quint32 version = 2)
{
    return le(6, 4) + "LZXC" + le(version, 4) + le(resetInterval, 4) + le(windowSize, 4) +
           le(windowsPerReset, 4) + le(0, 4);
}

// One listing chunk with the compression settings stored after "/#SYSTEM".
Directory compressed(const QByteArray &table, const QByteArray &control, quint64 controlLength = 0x1c)
{
    Directory d = oneListing();
    d.chunks = {listingChunk(Parts + listingEntry(ChmLayout::ControlDataPart, 0, 4 + 0x28, controlLength) +
                                 listingEntry(ChmLayout::ResetTablePart, 0, 4, 0x28),
                             -1)};
    d.content = QByteArray(4, '\0') + table + control;
    return d;
}

} // namespace

class TestChmDirectory : public QObject {
    Q_OBJECT
private slots:
    void builtHelpFilePasses();
    void craftedFiles_data();
    void craftedFiles();
    void everyCutOfTheBuiltFileIsRefusedOrWhole();
};

void TestChmDirectory::builtHelpFilePasses()
{
    QFile file(BuiltHelpFile);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(BuiltHelpFile));
    QCOMPARE(checkChmDirectory(file), ChmDirectoryFault::None);
}

void TestChmDirectory::craftedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ChmDirectoryFault>("fault");

    QTest::newRow("one listing chunk") << archive(oneListing()) << ChmDirectoryFault::None;
    QTest::newRow("index over two listing chunks") << archive(indexed()) << ChmDirectoryFault::None;

    Directory selfLinked = oneListing();
    selfLinked.chunks = {listingChunk(Parts, 0)};
    QTest::newRow("listing chunk linking to itself") << archive(selfLinked) << ChmDirectoryFault::Loop;
    Directory ring = indexed();
    ring.chunks[2] = listingChunk(listingEntry("/b", 0, 0, 4), 0);
    QTest::newRow("listing chunks linking in a ring") << archive(ring) << ChmDirectoryFault::Loop;

    Directory selfIndexed = indexed();
    selfIndexed.depth = 16;
    selfIndexed.chunks[1] = indexChunk(indexEntry("/", 1));
    QTest::newRow("index chunk pointing at itself") << archive(selfIndexed) << ChmDirectoryFault::Loop;
    Directory tooDeep = indexed();
    tooDeep.chunks.append(indexChunk(indexEntry("/", 1)));
    tooDeep.root = 3; // index over index over listing, with a depth of 2
    QTest::newRow("index nested deeper than the header says")
        << archive(tooDeep) << ChmDirectoryFault::TooDeep;

    Directory nextOutside = oneListing();
    nextOutside.chunks = {listingChunk(Parts, 1)};
    QTest::newRow("next link past the last chunk") << archive(nextOutside) << ChmDirectoryFault::ChunkIndex;
    Directory nextNegative = oneListing();
    nextNegative.chunks = {listingChunk(Parts, -2)};
    QTest::newRow("negative next link") << archive(nextNegative) << ChmDirectoryFault::ChunkIndex;
    Directory childOutside = indexed();
    childOutside.chunks[1] = indexChunk(indexEntry("/", 0) + indexEntry("/b", 3));
    QTest::newRow("index entry past the last chunk")
        << archive(childOutside) << ChmDirectoryFault::ChunkIndex;
    Directory headOutside = oneListing();
    headOutside.head = 5;
    QTest::newRow("first listing chunk outside") << archive(headOutside) << ChmDirectoryFault::ChunkIndex;
    Directory rootOutside = indexed();
    rootOutside.root = 7;
    QTest::newRow("root outside") << archive(rootOutside) << ChmDirectoryFault::ChunkIndex;

    Directory notAChunk = indexed();
    notAChunk.chunks[1] = QByteArray(ChunkSize, 'x');
    QTest::newRow("root of neither kind") << archive(notAChunk) << ChmDirectoryFault::Chunk;
    Directory indexInChain = indexed();
    indexInChain.chunks[0] = listingChunk(listingEntry("/", 0, 0, 0), 1);
    QTest::newRow("index chunk in the listing chain") << archive(indexInChain) << ChmDirectoryFault::Chunk;
    Directory longName = oneListing();
    longName.chunks = {listingChunk(Parts + encint(300) + "a", -1)}; // a name of 300 bytes, 1 there
    QTest::newRow("entry running past its chunk") << archive(longName) << ChmDirectoryFault::Chunk;
    Directory moreFree = oneListing();
    moreFree.chunks[0].replace(4, 4, le(ChunkSize, 4));
    QTest::newRow("free space larger than the chunk") << archive(moreFree) << ChmDirectoryFault::Chunk;
    Directory emptyName = oneListing();
    emptyName.chunks = {listingChunk(listingEntry("", 0, 0, 0), -1)};
    QTest::newRow("entry without a name") << archive(emptyName) << ChmDirectoryFault::Chunk;

    Directory tinyChunks = oneListing();
    tinyChunks.chunkSize = 0;
    QTest::newRow("chunk size 0") << archive(tinyChunks) << ChmDirectoryFault::ChunkSize;
    Directory hugeChunks = oneListing();
    hugeChunks.chunkSize = 0x40000000;
    QTest::newRow("chunk size of a gigabyte") << archive(hugeChunks) << ChmDirectoryFault::ChunkSize;
    Directory noDepth = indexed();
    noDepth.depth = 0;
    QTest::newRow("depth 0") << archive(noDepth) << ChmDirectoryFault::TooDeep;

    Directory section2 = oneListing();
    section2.chunks = {listingChunk(Parts + listingEntry("/x", 2, 0, 4), -1)};
    QTest::newRow("entry in section 2") << archive(section2) << ChmDirectoryFault::Chunk;

    // The library divides by half the window size and by the frames per
    // reset, even for settings it then ignores.
    QTest::newRow("compression: usual settings")
        << archive(compressed(resetTable(), controlData(2, 2))) << ChmDirectoryFault::None;
    QTest::newRow("compression: window size 0")
        << archive(compressed(resetTable(), controlData(2, 0))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: window size 1 byte")
        << archive(compressed(resetTable(), controlData(2, 1, 1, 1))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: window size wrapping to 0")
        << archive(compressed(resetTable(), controlData(2, 0x20000))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: window of 4 MiB")
        << archive(compressed(resetTable(), controlData(2, 128))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: reset interval 0")
        << archive(compressed(resetTable(), controlData(0, 2))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: reset interval below half the window")
        << archive(compressed(resetTable(), controlData(1, 4))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: 0 windows per reset")
        << archive(compressed(resetTable(), controlData(2, 2, 0))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: frame size 0")
        << archive(compressed(resetTable(0), controlData(2, 2))) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: no LZXC signature")
        << archive(compressed(resetTable(), controlData(2, 2).replace("LZXC", "LZXD")))
        << ChmDirectoryFault::Compression;
    QTest::newRow("compression: control data past the end")
        << archive(compressed(resetTable(), controlData(2, 2), 0x40)) << ChmDirectoryFault::Compression;
    QTest::newRow("compression: control data cut short")
        << archive(compressed(resetTable(), controlData(2, 2), 0x10)) << ChmDirectoryFault::Compression;
    Directory compressedSettings = compressed(resetTable(), controlData(2, 2));
    compressedSettings.chunks = {listingChunk(Parts +
                                                  listingEntry(ChmLayout::ControlDataPart, 1, 0x2c, 0x1c) +
                                                  listingEntry(ChmLayout::ResetTablePart, 0, 4, 0x28),
                                              -1)};
    QTest::newRow("compression: control data in the compressed section")
        << archive(compressedSettings) << ChmDirectoryFault::Compression;
    Directory upperCase = compressed(resetTable(), controlData(2, 0));
    upperCase.chunks = {listingChunk(
        Parts + listingEntry(QByteArray(ChmLayout::ControlDataPart).toUpper() + '\0' + "x", 0, 0x2c, 0x1c) +
            listingEntry(ChmLayout::ResetTablePart, 0, 4, 0x28),
        -1)};
    QTest::newRow("compression: name matched as the library does")
        << archive(upperCase) << ChmDirectoryFault::Compression;

    const QByteArray whole = archive(indexed());
    QTest::newRow("cut inside the ITSF header") << whole.left(0x50) << ChmDirectoryFault::Header;
    QTest::newRow("cut inside the ITSP header") << whole.left(0x78 + 0x30) << ChmDirectoryFault::Outside;
    QTest::newRow("cut inside the chunks")
        << whole.left(whole.size() - 4 - ChunkSize / 2) << ChmDirectoryFault::Outside;
    QTest::newRow("empty") << QByteArray() << ChmDirectoryFault::Header;
    QByteArray version4 = whole;
    version4[4] = 4;
    QTest::newRow("ITSF version 4") << version4 << ChmDirectoryFault::Header;
    QByteArray notItsp = whole;
    notItsp.replace(0x78, 4, "ITSQ");
    QTest::newRow("no ITSP header") << notItsp << ChmDirectoryFault::Header;
}

void TestChmDirectory::craftedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ChmDirectoryFault, fault);
    QCOMPARE(check(bytes), fault);
}

// A file cut anywhere within its directory is refused; the check never
// reads past the end.
void TestChmDirectory::everyCutOfTheBuiltFileIsRefusedOrWhole()
{
    QFile file(BuiltHelpFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const qint64 directoryEnd = 0x78 + 0x54 + 0x1000; // the built file's single chunk
    for (qsizetype cut = 0; cut < directoryEnd; cut += 7)
        QVERIFY2(check(whole.left(cut)) != ChmDirectoryFault::None, qPrintable(QString::number(cut)));
}

QTEST_GUILESS_MAIN(TestChmDirectory)
#include "tst_chmdirectory.moc"
