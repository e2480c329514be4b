// Decoding JPEG pictures with libjpeg: the About picture, colours and grey
// pictures, and damaged data that must give an empty picture, not an end
// of the process.
#include "shell/jpegdecoder.h"

#include <QBuffer>
#include <QPainter>
#include <QFile>
#include <QtTest>

namespace {

QByteArray aboutPicture()
{
    QFile f(QStringLiteral(":/aboutpicture.jpg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray encoded(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    return bytes;
}

// Four quarters of plain colours: shows rows and colour channels in their places.
QImage quarters(QImage::Format format)
{
    QImage image(64, 32, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 32, 16, QColor(220, 30, 30));
    p.fillRect(32, 0, 32, 16, QColor(30, 200, 40));
    p.fillRect(0, 16, 32, 16, QColor(40, 60, 210));
    p.fillRect(32, 16, 32, 16, QColor(240, 240, 240));
    p.end();
    return image.convertToFormat(format);
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 6 && qAbs(qGreen(a) - qGreen(b)) <= 6 && qAbs(qBlue(a) - qBlue(b)) <= 6;
}

} // namespace

class TestJpegDecoder : public QObject {
    Q_OBJECT
private slots:
    void aboutPictureDecodes();
    void colours_data();
    void colours();
    void damagedGivesEmptyPicture_data();
    void damagedGivesEmptyPicture();
};

void TestJpegDecoder::aboutPictureDecodes()
{
    const QByteArray data = aboutPicture();
    QVERIFY(data.startsWith("\xff\xd8\xff"));
    const QImage picture = decodeJpeg(data);
    QCOMPARE(picture.size(), QSize(150, 291));
    // Dark sky at the top, the red laser spot on the screen.
    QVERIFY(qBlue(picture.pixel(75, 2)) > qRed(picture.pixel(75, 2)));
    int reddest = 0;
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 130; ++x)
            reddest = qMax(reddest, qRed(picture.pixel(x, y)) - qGreen(picture.pixel(x, y)));
    QVERIFY2(reddest > 100, qPrintable(QString::number(reddest)));
}

void TestJpegDecoder::colours_data()
{
    QTest::addColumn<QImage>("source");
    QTest::newRow("colour") << quarters(QImage::Format_RGB32);
    QTest::newRow("grey") << quarters(QImage::Format_Grayscale8);
}

void TestJpegDecoder::colours()
{
    QFETCH(QImage, source);
    const QImage decoded = decodeJpeg(encoded(source));
    QCOMPARE(decoded.size(), source.size());
    for (const QPoint at : {QPoint(16, 8), QPoint(48, 8), QPoint(16, 24), QPoint(48, 24)})
        QVERIFY2(near(decoded.pixel(at), source.pixel(at)), qPrintable(QStringLiteral("%1,%2: %3 for %4")
                                                                           .arg(at.x())
                                                                           .arg(at.y())
                                                                           .arg(decoded.pixel(at), 0, 16)
                                                                           .arg(source.pixel(at), 0, 16)));
}

void TestJpegDecoder::damagedGivesEmptyPicture_data()
{
    const QByteArray picture = aboutPicture();
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("GIF89a and some more bytes");
    QTest::newRow("start marker only") << picture.left(2);
    QTest::newRow("headers only") << picture.left(300);
    QTest::newRow("cut in half") << picture.left(picture.size() / 2);
    QTest::newRow("last tenth missing") << picture.left(picture.size() * 9 / 10);
    QByteArray wrongSize = picture;
    // Image data of a picture claiming zero rows.
    const qsizetype frame = wrongSize.indexOf("\xff\xc0");
    QVERIFY(frame > 0);
    wrongSize[frame + 5] = 0;
    wrongSize[frame + 6] = 0;
    QTest::newRow("no rows") << wrongSize;
}

void TestJpegDecoder::damagedGivesEmptyPicture()
{
    QFETCH(QByteArray, data);
    // libjpeg's own handler would end this test program here.
    QVERIFY(decodeJpeg(data).isNull());
}

QTEST_MAIN(TestJpegDecoder)
#include "tst_jpegdecoder.moc"
