#include "setup/Option.h"

#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "devicelink/delay.h"
#include "devicelink/systemvar.h"
#include "setup/alarmstepper.h"
#include "setup/logic/serialportlist.h"
#include "setup/logic/stepperacceleration.h"
#include "setup/logic/thermometerpage.h"
#include "store/cellentry.h"
#include "store/decimalformat.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>

TForm8::TForm8(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Software System Setup"));
    // A minimize box and a close box, no maximize box.
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    buildLayout();
    connectHandlers();
    FormCreate();
}

void TForm8::connectHandlers()
{
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn2Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn3Click(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        QWidget *page = PageControl1->widget(index);
        if (page == TabSheet2)
            guardedHandler([this] { TabSheet2Show(); });
        else if (page == TabSheet3)
            guardedHandler([this] { TabSheet3Show(); });
    });
    // A picked entry leaves only its name in the box, not what it says of the adapter.
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { ComboBox1->setEditText(ComboBox1->itemData(index).toString()); });
    connect(UpDown4, &AlarmStepper::changingEx, this,
            [this](StepDirection d) { guardedHandler([this, d] { UpDown4ChangingEx(d); }); });
    connect(UpDown5, &AlarmStepper::changingEx, this,
            [this](StepDirection d) { guardedHandler([this, d] { UpDown5ChangingEx(d); }); });
    connect(UpDown4, &AlarmStepper::mouseUp, this, [this] { guardedHandler([this] { UpDown4MouseUp(); }); });
    connect(UpDown5, &AlarmStepper::mouseUp, this, [this] { guardedHandler([this] { UpDown5MouseUp(); }); });
}

void TForm8::FormCreate()
{
    TSystemVars &v = SystemVars;
    (v.unitCelsius ? RadioButton1 : RadioButton2)->setChecked(true);
    (v.alarmOn ? RadioButton3 : RadioButton4)->setChecked(true);

    ComboBox1->clear();
    for (const SerialPortEntry &port : SerialPortList::machineEntries())
        ComboBox1->addItem(port.label, port.name);
    // The port in use, whether or not it is listed (a pseudo-terminal never is).
    ComboBox1->setEditText(v.serialPort);
    Edit8->setText(v.companyName);

    // The model list has no entries, so the model box stays empty.
    ComboBox2->setCurrentIndex(v.machineMode);
    v.measureMode = ThermometerPage::clampedWorkMode(v.measureMode);
    ComboBox3->addItems(ThermometerPage::workModes());
    ComboBox3->setCurrentIndex(v.measureMode);
}

void TForm8::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The page in front when the window first appears is shown with it.
    if (m_shownBefore)
        return;
    m_shownBefore = true;
    if (PageControl1->currentWidget() == TabSheet3)
        guardedHandler([this] { TabSheet3Show(); });
    else if (PageControl1->currentWidget() == TabSheet2)
        guardedHandler([this] { TabSheet2Show(); });
}

void TForm8::TabSheet2Show()
{
    TSystemVars &v = SystemVars;
    v.emsValue = ThermometerPage::clampedEmissivity(v.emsValue);
    Edit3->setText(ThermometerPage::emissivityText(v.emsValue));
    Edit1->setText(ThermometerPage::alarmText(v.halValue));
    Edit2->setText(ThermometerPage::alarmText(v.lalValue));
}

void TForm8::TabSheet3Show()
{
    const TSystemVars &v = SystemVars;
    m_pcPageShown = true;
    // A limit outside the steppers' range (0 by default) is shown as it is;
    // the stepper itself starts from the nearer end of its range.
    Edit12->setText(formatShortest(v.systemLal));
    UpDown4->setCount(tenthsCount(v.systemLal));
    Edit14->setText(formatShortest(v.systemHal));
    UpDown5->setCount(tenthsCount(v.systemHal));
}

void TForm8::stepEvent(AlarmStepper *stepper, QLineEdit *shown, StepDirection direction)
{
    shown->setText(formatShortest(stepper->target(direction) / 10.0));
    ++m_stepCount;
    stepper->setStep(StepperAcceleration::stepAfter(m_stepCount, stepper->step()));
}

void TForm8::stepperReleased(AlarmStepper *stepper)
{
    m_stepCount = 0;
    stepper->setStep(StepperAcceleration::InitialStep);
}

void TForm8::UpDown4ChangingEx(StepDirection direction)
{
    stepEvent(UpDown4, Edit12, direction);
}

void TForm8::UpDown5ChangingEx(StepDirection direction)
{
    stepEvent(UpDown5, Edit14, direction);
}

void TForm8::UpDown4MouseUp()
{
    stepperReleased(UpDown4);
}

void TForm8::UpDown5MouseUp()
{
    stepperReleased(UpDown5);
}

bool TForm8::takeSettings(SetupRules::Button button)
{
    TSystemVars &v = SystemVars;
    const QPointer<TForm8> self(this);
    // A message box or the port change's wait lets the user act meanwhile: no
    // second OK or Apply until this one has ended, however it ends.
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(false);
    auto enableButtons = qScopeGuard([self] {
        if (self) {
            self->BitBtn1->setEnabled(true);
            self->BitBtn3->setEnabled(true);
        }
    });

    v.companyName = Edit8->text();
    v.alarmOn = RadioButton3->isChecked();
    if (m_pcPageShown) {
        v.systemLal = decimalFromText(Edit12->text());
        v.systemHal = decimalFromText(Edit14->text());
    }

    const bool celsiusSelected = RadioButton1->isChecked();
    const SetupRules::UnitDecision unit =
        SetupRules::unitChange({v.unitCelsius, celsiusSelected, v.measuring, v.tableBusy}, button);
    switch (unit.action) {
    case SetupRules::UnitAction::Refuse:
        showError(unit.refusal.text, unit.refusal.caption);
        if (self)
            finishTaking();
        return false;
    case SetupRules::UnitAction::Change:
        v.unitCelsius = celsiusSelected;
        // Each window has converted its table before the next one hears of it.
        sendWindowMessage(v.analyzeWindow, WM_CHANGEUNIT);
        sendWindowMessage(v.measureWindow, WM_CHANGEUNIT);
        sendWindowMessage(v.importWindow, WM_CHANGEUNIT);
        break;
    case SetupRules::UnitAction::Keep: break;
    }
    if (!self || m_leaving)
        return false;

    ChangePort();
    if (!self || m_leaving)
        return false;
    finishTaking();
    return true;
}

void TForm8::finishTaking()
{
    // The setup window never holds the thermometer. While a measurement or a
    // download does, its claim stays: released, the poll would send its
    // own commands into that conversation.
    if (!SystemVars.deviceBusy)
        SystemVars.commState = CommIdle;
}

void TForm8::BitBtn1Click()
{
    // A refused port change keeps the window open for another try.
    if (takeSettings(SetupRules::Button::Ok) && !m_setupFailed)
        leave();
}

void TForm8::BitBtn3Click()
{
    takeSettings(SetupRules::Button::Apply);
}

void TForm8::BitBtn2Click()
{
    leave();
}

void TForm8::leave()
{
    SystemVars.setupMenuEnabled = true;
    m_leaving = true;
    deleteLater();
}

void TForm8::FormClose()
{
    SystemVars.setupMenuEnabled = true;
    m_leaving = true;
}

void TForm8::closeEvent(QCloseEvent *event)
{
    guardedHandler([this] { FormClose(); });
    event->accept();
    deleteLater();
}

QString TForm8::portNameInBox() const
{
    const QString text = ComboBox1->currentText();
    const int listed = ComboBox1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return listed < 0 ? text : ComboBox1->itemData(listed).toString();
}

void TForm8::ChangePort()
{
    TSystemVars &v = SystemVars;
    const QString typed = portNameInBox();
    // Only an attempted change can fail; the port in use needs nothing.
    m_setupFailed = false;
    switch (SetupRules::portChange(typed, v.serialPort, v.deviceBusy)) {
    case SetupRules::PortAction::Keep: return;
    case SetupRules::PortAction::Refuse: {
        m_setupFailed = true;
        const SetupRules::Message busy = SetupRules::portBusyMessage();
        showError(busy.text, busy.caption);
        return;
    }
    case SetupRules::PortAction::Change: break;
    }
    v.linkCountdown = 0;
    v.portOpen = false;
    Form6->MSComm1.close();
    v.serialPort = typed;
    v.settingsRead = false;
    // A port that cannot be opened ends OK or Apply here with the port's own
    // error text; the poll keeps trying the new name.
    Form6->OpenPort();
    delay(PortChangeWaitMs);
}
