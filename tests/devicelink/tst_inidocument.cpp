// The line-level INI editor beyond what the settings file tests reach:
// several sections rewritten in one document.
#include "devicelink/inidocument.h"

#include <QtTest>

class TestIniDocument : public QObject {
    Q_OBJECT

private slots:
    // Section A gets k=1, then section B gets k=2: each rewrite touches only
    // its own section, also where both hold the same key.
    void twoSections_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("both appended to an empty document") << QByteArray() << QByteArray("[A]\nk=1\n\n[B]\nk=2\n");
        QTest::newRow("both present, same key in each")
            << QByteArray("[a]\nK=old\nx=1\n[B]\n; b\nk = old\n")
            << QByteArray("[a]\nk=1\nx=1\n[B]\nk=2\n; b\n");
        QTest::newRow("one rewritten in place, one appended")
            << QByteArray("[B]\r\nk=old\r\n[C]\r\nk=3\r\n")
            << QByteArray("[B]\r\nk=2\r\n[C]\r\nk=3\r\n\r\n[A]\r\nk=1\r\n");
    }

    void twoSections()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        IniDocument doc = IniDocument::fromBytes(before);
        doc.setSection("A", {{"k", "1"}});
        doc.setSection("B", {{"k", "2"}});
        QCOMPARE(doc.toBytes(), after);

        const IniDocument reread = IniDocument::fromBytes(doc.toBytes());
        QCOMPARE(reread.value("a", "K"), std::optional<QString>("1"));
        QCOMPARE(reread.value("b", "K"), std::optional<QString>("2"));
    }
};

QTEST_GUILESS_MAIN(TestIniDocument)
#include "tst_inidocument.moc"
