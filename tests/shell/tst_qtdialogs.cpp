// The product's dialogs as the user meets them: the message box offers the
// buttons asked for and answers Escape with its escape button; the save
// dialog neither asks about replacing a file nor adds an extension, since the
// program does both itself, and tells which filter was selected.
#include "modaluser.h"
#include "shell/qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void messageBoxButtons_data();
    void messageBoxButtons();
    void enterPressesTheNamedDefault();
    void saveDialogLeavesNameAndOverwriteToTheProgram_data();
    void saveDialogLeavesNameAndOverwriteToTheProgram();
    void saveDialogOpensWithTheSuggestionInTheLastFolder();
};

void TestQtDialogs::initTestCase()
{
    // The dialog of Qt's own widgets, which the test can reach, on every platform.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestQtDialogs::messageBoxButtons_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("offered"); // QMessageBox::StandardButtons
    QTest::addColumn<int>("press");   // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<int>("answer");
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int yesNoCancel = yesNo | QMessageBox::Cancel;
    QTest::newRow("OK, Escape") << int(Dialogs::Ok) << int(QMessageBox::Ok) << 0 << int(Dialogs::Ok);
    QTest::newRow("Yes No, Escape") << (Dialogs::Yes | Dialogs::No) << yesNo << 0 << int(Dialogs::No);
    QTest::newRow("Yes No, Yes") << (Dialogs::Yes | Dialogs::No) << yesNo << int(QMessageBox::Yes)
                                 << int(Dialogs::Yes);
    QTest::newRow("Yes No Cancel, Escape")
        << (Dialogs::Yes | Dialogs::No | Dialogs::Cancel) << yesNoCancel << 0 << int(Dialogs::Cancel);
    QTest::newRow("Yes No Cancel, No") << (Dialogs::Yes | Dialogs::No | Dialogs::Cancel) << yesNoCancel
                                       << int(QMessageBox::No) << int(Dialogs::No);
}

void TestQtDialogs::messageBoxButtons()
{
    QFETCH(int, buttons);
    QFETCH(int, offered);
    QFETCH(int, press);
    QFETCH(int, answer);

    QMessageBox::StandardButtons seenButtons;
    QString seenText;
    QString seenCaption;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    ModalUser user([&] {
        QMessageBox *box = shownDialog<QMessageBox>();
        if (!box)
            return false;
        seenButtons = box->standardButtons();
        seenText = box->text();
        seenCaption = box->windowTitle();
        seenIcon = box->icon();
        if (press == 0)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(press))->click();
        return true;
    });

    QtDialogs dialogs;
    const Dialogs::Button got =
        dialogs.message(QStringLiteral("First line\rsecond line"), QStringLiteral("Query Information"),
                        Dialogs::Icon::Question, buttons);

    QCOMPARE(int(seenButtons), offered);
    QCOMPARE(int(got), answer);
    QCOMPARE(seenText, QStringLiteral("First line\nsecond line"));
    QCOMPARE(seenCaption, QStringLiteral("Query Information"));
    QCOMPARE(seenIcon, QMessageBox::Question);
}

// A question whose default is No: Enter answers No.
void TestQtDialogs::enterPressesTheNamedDefault()
{
    bool defaultIsNo = false;
    ModalUser user([&] {
        QMessageBox *box = shownDialog<QMessageBox>();
        if (!box)
            return false;
        defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
        return true;
    });
    QtDialogs dialogs;
    const Dialogs::Button got = dialogs.ask(QStringLiteral("Overwrite?"), QStringLiteral("Note"),
                                            Dialogs::Icon::Question, Dialogs::Yes | Dialogs::No, Dialogs::No);
    QVERIFY(defaultIsNo);
    QCOMPARE(int(got), int(Dialogs::No));
}

void TestQtDialogs::saveDialogLeavesNameAndOverwriteToTheProgram_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("filter"); // selected by the user; empty: none
    QTest::addColumn<QString>("selected");
    QTest::newRow("existing file") << "series.klg" << true << ""
                                   << "*.klg (*.klg)";
    QTest::newRow("name without extension, second filter") << "run1" << false << "*.KLG (*.KLG)"
                                                           << "*.KLG (*.KLG)";
}

void TestQtDialogs::saveDialogLeavesNameAndOverwriteToTheProgram()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(QString, filter);
    QFETCH(QString, selected);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old\n");
    }
    QFileDialog::Options options;
    QString suffix = QStringLiteral("<not seen>");
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QStringList ownQuestions;
    bool accepted = false;
    ModalUser user([&] {
        // A question of the dialog's own is answered No, and the dialog
        // then cancelled, so that the test ends either way.
        if (QMessageBox *box = shownDialog<QMessageBox>()) {
            ownQuestions << box->text();
            QTest::keyClick(box, Qt::Key_Escape);
            return false;
        }
        QFileDialog *dialog = shownDialog<QFileDialog>();
        if (!dialog)
            return false;
        if (accepted) {
            dialog->reject();
            return true;
        }
        options = dialog->options();
        suffix = dialog->defaultSuffix();
        mode = dialog->acceptMode();
        filters = dialog->nameFilters();
        // Typed as the user does: selectFile() leaves the name box alone
        // while it has the focus, which it gets when the dialog activates.
        auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!nameBox)
            return false;
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        nameBox->setText(path);
        accepted = true;
        // As the Save button does, once this step has returned.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        return false;
    });

    QtDialogs dialogs;
    QString selectedFilter;
    const QString chosen =
        dialogs.saveFileName(QStringLiteral("Save As"), QStringLiteral("*.klg (*.klg);;*.KLG (*.KLG)"),
                             QString(), &selectedFilter);

    QCOMPARE(ownQuestions, QStringList());
    QCOMPARE(chosen, path);
    QCOMPARE(selectedFilter, selected);
    QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(suffix, QString());
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(filters, (QStringList{QStringLiteral("*.klg (*.klg)"), QStringLiteral("*.KLG (*.KLG)")}));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old\n")); // the dialog writes nothing
    }
}

// The first save opens with the suggested name; the next one opens with its
// own suggestion in the folder the first was saved to.
void TestQtDialogs::saveDialogOpensWithTheSuggestionInTheLastFolder()
{
    QTemporaryDir dir;
    const QString first = QStringLiteral("Measure 2026-12-11 0619.klg");
    const QString second = QStringLiteral("Import 2026-12-11 0620.klg");
    QStringList namesShown;
    QStringList foldersShown;
    bool answered = false;
    ModalUser user([&] {
        QFileDialog *dialog = shownDialog<QFileDialog>();
        auto *nameBox = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!nameBox || answered)
            return false;
        answered = true;
        namesShown << nameBox->text();
        foldersShown << dialog->directory().absolutePath();
        if (namesShown.size() == 1) {
            nameBox->setText(dir.filePath(QStringLiteral("run.klg")));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        }
        return false;
    });

    QtDialogs dialogs;
    const QString filter = QStringLiteral("*.klg (*.klg)");
    QCOMPARE(dialogs.saveFileName(QStringLiteral("Save As"), filter, first, nullptr),
             dir.filePath(QStringLiteral("run.klg")));
    answered = false;
    QCOMPARE(dialogs.saveFileName(QStringLiteral("Save As"), filter, second, nullptr), QString());

    QCOMPARE(namesShown, (QStringList{first, second}));
    QCOMPARE(foldersShown.value(1), QDir(dir.path()).absolutePath());
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
