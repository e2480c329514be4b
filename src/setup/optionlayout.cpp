// The controls of the setup window and their places on its four pages.
#include "setup/Option.h"

#include "setup/alarmstepper.h"
#include "setup/logic/stepperacceleration.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <tuple>

namespace {

template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// A label that names its control for assistive technology as its buddy.
QLabel *labelFor(QWidget *control, const char *name, const QString &text, QWidget *parent)
{
    auto *label = named(new QLabel(text, parent), name);
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

// A greyed field that shows a value and cannot be edited.
QLineEdit *shownField(const char *name, QWidget *parent, const QString &text = QString())
{
    auto *field = named(new QLineEdit(text, parent), name);
    field->setEnabled(false);
    field->setFixedWidth(90);
    return field;
}

// A page whose rows of label and control start at its top left corner.
QGridLayout *pageGrid(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->setColumnStretch(3, 1);
    return grid;
}

// A field with its stepper beside it. Both stay children of the page, beside
// the label that names the field for assistive technology.
QHBoxLayout *withStepper(QLineEdit *field, AlarmStepper *stepper)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(field);
    row->addWidget(stepper);
    row->addStretch();
    return row;
}

// A stepper that shows a value only; it never changes one.
AlarmStepper *shownStepper(const char *name, QWidget *parent)
{
    auto *stepper = named(new AlarmStepper(0, 0, 0, 1, parent), name);
    stepper->setEnabled(false);
    return stepper;
}

AlarmStepper *alarmStepper(const char *name, QWidget *parent)
{
    return named(new AlarmStepper(TForm8::AlarmMinimum, TForm8::AlarmMaximum, TForm8::AlarmMinimum,
                                  StepperAcceleration::InitialStep, parent),
                 name);
}

} // namespace

void TForm8::buildLayout()
{
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    TabSheet1 = buildSerialPortPage();
    TabSheet2 = buildThermometerPage();
    TabSheet3 = buildPcPage();
    TabSheet4 = buildMiscellaneousPage();
    PageControl1->addTab(TabSheet1, QStringLiteral("Serial Port Setting"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Infrared Thermometer Setting"));
    PageControl1->addTab(TabSheet3, QStringLiteral("PC Software Setting"));
    PageControl1->addTab(TabSheet4, QStringLiteral("Miscellaneous Option"));
    PageControl1->setCurrentWidget(TabSheet3);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(buildButtonRow());
}

QWidget *TForm8::buildSerialPortPage()
{
    auto *page = named(new QWidget, "TabSheet1");
    QGridLayout *grid = pageGrid(page);
    ComboBox1 = named(new QComboBox(page), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(180);
    grid->addWidget(labelFor(ComboBox1, "Label1", QStringLiteral("Serial Port"), page), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);

    // The line settings of the link, fixed and shown only.
    Edit4 = shownField("Edit4", page, QStringLiteral("19200"));
    Edit5 = shownField("Edit5", page, QStringLiteral("8"));
    Edit6 = shownField("Edit6", page, QStringLiteral("1"));
    Edit7 = shownField("Edit7", page, QStringLiteral("N"));
    const std::tuple<QLineEdit *, const char *, const char *> lineFields[] = {
        {Edit4, "Label2", "Baud Rate"},
        {Edit5, "Label3", "Data Bit"},
        {Edit6, "Label4", "Stop Bit"},
        {Edit7, "Label5", "Parity Bit"}};
    int row = 1;
    for (const auto &[field, labelName, text] : lineFields) {
        grid->addWidget(labelFor(field, labelName, QString::fromLatin1(text), page), row, 0);
        grid->addWidget(field, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return page;
}

QWidget *TForm8::buildThermometerPage()
{
    auto *page = named(new QWidget, "TabSheet2");
    QGridLayout *grid = pageGrid(page);
    ComboBox2 = named(new QComboBox(page), "ComboBox2");
    ComboBox3 = named(new QComboBox(page), "ComboBox3");
    for (QComboBox *box : {ComboBox2, ComboBox3})
        box->setMinimumWidth(120);
    Edit2 = shownField("Edit2", page);
    Edit1 = shownField("Edit1", page);
    Edit3 = shownField("Edit3", page);
    UpDown2 = shownStepper("UpDown2", page);
    UpDown1 = shownStepper("UpDown1", page);
    UpDown3 = shownStepper("UpDown3", page);

    grid->addWidget(labelFor(ComboBox2, "Label6", QStringLiteral("Model"), page), 0, 0);
    grid->addWidget(ComboBox2, 0, 1);
    grid->addWidget(labelFor(ComboBox3, "Label7", QStringLiteral("Work Mode"), page), 1, 0);
    grid->addWidget(ComboBox3, 1, 1);
    grid->addWidget(labelFor(Edit2, "Label8", QStringLiteral("Low Temp. Alarm"), page), 2, 0);
    grid->addLayout(withStepper(Edit2, UpDown2), 2, 1);
    grid->addWidget(labelFor(Edit1, "Label9", QStringLiteral("High Temp. Alarm"), page), 3, 0);
    grid->addLayout(withStepper(Edit1, UpDown1), 3, 1);
    grid->addWidget(labelFor(Edit3, "Label10", QStringLiteral("Emissivity"), page), 4, 0);
    grid->addLayout(withStepper(Edit3, UpDown3), 4, 1);
    UpDown2->setValueName(QStringLiteral("Low Temp. Alarm"));
    UpDown1->setValueName(QStringLiteral("High Temp. Alarm"));
    UpDown3->setValueName(QStringLiteral("Emissivity"));

    Bevel1 = named(new QFrame(page), "Bevel1");
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Label11 = named(new QLabel(page), "Label11");
    Label12 = named(new QLabel(page), "Label12");
    grid->addWidget(Bevel1, 5, 0, 1, 4);
    grid->addWidget(Label11, 6, 0, 1, 4);
    grid->addWidget(Label12, 7, 0, 1, 4);
    grid->setRowStretch(8, 1);

    // The page can be brought to the front and read, but nothing on it changes.
    for (QWidget *control : page->findChildren<QWidget *>())
        control->setEnabled(false);
    return page;
}

QWidget *TForm8::buildPcPage()
{
    auto *page = named(new QWidget, "TabSheet3");
    QGridLayout *grid = pageGrid(page);
    Edit12 = shownField("Edit12", page);
    Edit14 = shownField("Edit14", page);
    UpDown4 = alarmStepper("UpDown4", page);
    UpDown5 = alarmStepper("UpDown5", page);
    grid->addWidget(labelFor(Edit12, "Label13", QStringLiteral("Low Temp. Alarm"), page), 0, 0);
    grid->addLayout(withStepper(Edit12, UpDown4), 0, 1);
    grid->addWidget(labelFor(Edit14, "Label14", QStringLiteral("High Temp. Alarm"), page), 1, 0);
    grid->addLayout(withStepper(Edit14, UpDown5), 1, 1);
    UpDown4->setValueName(QStringLiteral("Low Temp. Alarm"));
    UpDown5->setValueName(QStringLiteral("High Temp. Alarm"));

    // Each group is one exclusive choice.
    const auto group = [page](const char *name, const QString &title, QRadioButton *&first,
                              const char *firstName, const QString &firstText, QRadioButton *&second,
                              const char *secondName, const QString &secondText) {
        auto *box = named(new QGroupBox(title, page), name);
        first = named(new QRadioButton(firstText, box), firstName);
        second = named(new QRadioButton(secondText, box), secondName);
        auto *column = new QVBoxLayout(box);
        column->addWidget(first);
        column->addWidget(second);
        return box;
    };
    GroupBox1 = group("GroupBox1", QStringLiteral("Unit"), RadioButton1, "RadioButton1", QStringLiteral("C"),
                      RadioButton2, "RadioButton2", QStringLiteral("F"));
    GroupBox2 = group("GroupBox2", QStringLiteral("Alarm Sound"), RadioButton3, "RadioButton3",
                      QStringLiteral("On"), RadioButton4, "RadioButton4", QStringLiteral("Off"));
    grid->addWidget(GroupBox1, 2, 0, 1, 2);
    grid->addWidget(GroupBox2, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget *TForm8::buildMiscellaneousPage()
{
    auto *page = named(new QWidget, "TabSheet4");
    QGridLayout *grid = pageGrid(page);
    Edit8 = named(new QLineEdit(page), "Edit8");
    Edit8->setMinimumWidth(300);
    // Typed as plain keys: no input method composes the name.
    Edit8->setAttribute(Qt::WA_InputMethodEnabled, false);
    grid->addWidget(labelFor(Edit8, "Label15", QStringLiteral("Company's Name"), page), 0, 0);
    grid->addWidget(Edit8, 0, 1, 1, 2);
    grid->setRowStretch(1, 1);
    return page;
}

QWidget *TForm8::buildButtonRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    ProgressBar1 = named(new QProgressBar(row), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    layout->addWidget(ProgressBar1, 1);
    BitBtn1 = named(new QPushButton(QStringLiteral("Ok"), row), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("Cancel"), row), "BitBtn2");
    BitBtn3 = named(new QPushButton(QStringLiteral("Apply"), row), "BitBtn3");
    for (QPushButton *button : {BitBtn1, BitBtn2, BitBtn3}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    return row;
}
