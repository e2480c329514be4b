// The About window: its components at their places, the lines about the
// machine, the picture, and how it gives "&About" back to the main window.
#include "linkfixture.h"
#include "shell/MAIN.h"
#include "shell/about.h"
#include "shell/logic/aboutlines.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void componentsAtTheirPlaces_data();
    void componentsAtTheirPlaces();
    void texts();
    void pictureFromTheTopLeftCutAtThePanel();
    void damagedPictureLeavesThePanelEmpty();
    void closingOffersAboutAgain_data();
    void closingOffersAboutAgain();
    void closesFromTheKeyboard_data();
    void closesFromTheKeyboard();

private:
    TForm3 *openAbout();

    std::unique_ptr<ProgramDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TForm1> m_form;
};

void TestAboutWindow::init()
{
    m_dir = std::make_unique<ProgramDir>();
    qputenv("ODBCINI", m_dir->path(QStringLiteral("odbc.ini")).toUtf8());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestAboutWindow::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
    m_dir.reset();
    qunsetenv("ODBCINI");
}

TForm3 *TestAboutWindow::openAbout()
{
    m_form->A1->trigger();
    const QList<TForm3 *> windows = m_form->findChildren<TForm3 *>();
    return windows.size() == 1 ? windows.first() : nullptr;
}

void TestAboutWindow::componentsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place"); // width or height 0: not fixed
    QTest::newRow("Label5") << "Label5" << QRect(176, 16, 0, 0);
    QTest::newRow("Label7") << "Label7" << QRect(176, 56, 0, 0);
    QTest::newRow("Bevel1") << "Bevel1" << QRect(152, 129, 377, 0);
    QTest::newRow("Label1") << "Label1" << QRect(176, 144, 0, 0);
    QTest::newRow("Label2") << "Label2" << QRect(176, 184, 0, 0);
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(300, 248, 73, 25);
    QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 145, -1); // -1: the window's height
}

void TestAboutWindow::componentsAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    TForm3 *about = openAbout();
    QVERIFY(about);
    const QWidget *component = about->findChild<QWidget *>(name);
    QVERIFY(component);
    QCOMPARE(component->parentWidget(), about);
    QCOMPARE(component->pos(), place.topLeft());
    if (place.width() > 0)
        QCOMPARE(component->width(), place.width());
    if (place.height() > 0)
        QCOMPARE(component->height(), place.height());
    if (place.height() < 0)
        QCOMPARE(component->height(), about->height());
}

void TestAboutWindow::texts()
{
    TForm3 *about = openAbout();
    QVERIFY(about);
    QCOMPARE(about->objectName(), QStringLiteral("Form3"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Kelvora"));
    QCOMPARE(about->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(about->Label5->text(), QStringLiteral("Kelvora"));
    QCOMPARE(about->Label5->font().family(), QStringLiteral("Arial Black"));
    QCOMPARE(about->Label5->font().pixelSize(), 21);
    QVERIFY(about->Label5->font().bold());
    QCOMPARE(about->Label7->text(), QStringLiteral("Version:  1.02 (Build 07.1016)"));
    QCOMPARE(about->Label2->text(), AboutLines::memoryLine(AboutLines::totalPhysicalMemory()));
    QCOMPARE(about->Label1->text(), *AboutLines::operatingSystemLine(AboutLines::currentOsVersion()));
    QCOMPARE(about->BitBtn1->text(), QStringLiteral("&OK"));
    QVERIFY(!about->BitBtn1->icon().isNull());
    // The labels show their whole text inside the window.
    for (const QLabel *label : {about->Label5, about->Label7, about->Label1, about->Label2}) {
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY2(label->geometry().right() < about->width(), qPrintable(label->text()));
    }

    // A close box only.
    const Qt::WindowFlags frame = qobject_cast<QMdiSubWindow *>(about->parentWidget())->windowFlags();
    QVERIFY(frame & Qt::WindowCloseButtonHint);
    QVERIFY(!(frame & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void TestAboutWindow::pictureFromTheTopLeftCutAtThePanel()
{
    TForm3 *about = openAbout();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    const QImage picture = about->Image1->picture();
    QCOMPARE(picture.size(), QSize(150, 291));
    // Inside the panel's bevel, which the picture is cut at.
    QCOMPARE(about->Image1->geometry(), about->Panel1->contentsRect());
    QVERIFY(about->Image1->width() < picture.width());

    const QImage shown = about->Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int right = about->Image1->width() - 1;
    for (const QPoint at : {QPoint(0, 0), QPoint(right, 0), QPoint(70, 150), QPoint(right, 290)})
        QCOMPARE(QColor(shown.pixel(at)), QColor(picture.pixel(at)));
}

void TestAboutWindow::damagedPictureLeavesThePanelEmpty()
{
    TForm3 *about = openAbout();
    QVERIFY(about);
    QFile file(QStringLiteral(":/aboutpicture.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    about->Image1->setJpeg(file.readAll().left(int(file.size() / 2)));
    QVERIFY(about->Image1->picture().isNull());
    const QImage shown = about->Image1->grab().toImage();
    QCOMPARE(shown.pixelColor(10, 10), about->Panel1->palette().color(QPalette::Window));
}

void TestAboutWindow::closingOffersAboutAgain_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("OK") << false;
    QTest::newRow("close box") << true;
}

void TestAboutWindow::closingOffersAboutAgain()
{
    QFETCH(bool, byCloseBox);
    QPointer<TForm3> about = openAbout();
    QVERIFY(about);
    QVERIFY(!m_form->A1->isEnabled());
    // A second About is not offered, from the menu nor from its tool button.
    m_form->A1->trigger();
    m_form->A1Click();
    QCOMPARE(m_form->findChildren<TForm3 *>().size(), 1);

    if (byCloseBox)
        qobject_cast<QMdiSubWindow *>(about->parentWidget())->close();
    else
        QTest::mouseClick(about->BitBtn1, Qt::LeftButton);
    QTRY_VERIFY(!about);
    // The main window's next refresh offers About again.
    QSignalSpy refresh(&m_form->Timer1, &ComponentTimer::timeout);
    QVERIFY(refresh.wait(5000));
    QVERIFY(m_form->A1->isEnabled());
    // Its frame goes with the next round of deferred deletes.
    QTRY_VERIFY(m_form->ClientArea->subWindowList().isEmpty());
    QVERIFY(m_dialogs->shown.isEmpty());

    QVERIFY(openAbout());
}

void TestAboutWindow::closesFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestAboutWindow::closesFromTheKeyboard()
{
    QFETCH(int, key);
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QPointer<TForm3> about = openAbout();
    QVERIFY(about);
    // The key goes where the user's keyboard goes: the focus the window opened with.
    QTRY_VERIFY(about->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!about);
    QSignalSpy refresh(&m_form->Timer1, &ComponentTimer::timeout);
    QVERIFY(refresh.wait(5000));
    QVERIFY(m_form->A1->isEnabled());
    QTRY_VERIFY(m_form->ClientArea->subWindowList().isEmpty());
}

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
