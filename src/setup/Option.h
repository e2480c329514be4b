#pragma once

#include "setup/logic/setuprules.h"
#include "setup/logic/steppercount.h"

#include <QWidget>

class AlarmStepper;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The setup window ("Form8"): the serial port, the thermometer's own
// settings (shown only), the unit, the alarm sound, the PC-side alarm limits
// and the company name. It works on SystemVars in memory; the settings file
// is written when the program ends. OK and Apply announce a change of unit to
// the open data windows and move the link to a changed port.
class TForm8 final : public QWidget {
    Q_OBJECT
public:
    static constexpr int AlarmMinimum = 2000; // tenths of a degree
    static constexpr int AlarmMaximum = 22000;
    static constexpr int PortChangeWaitMs = 200;

    explicit TForm8(QWidget *parent = nullptr);

    // Handlers, public so that tests can drive them.
    void BitBtn1Click(); // Ok
    void BitBtn2Click(); // Cancel
    void BitBtn3Click(); // Apply
    void FormClose();
    void TabSheet2Show();
    void TabSheet3Show();
    void UpDown4ChangingEx(StepDirection direction);
    void UpDown5ChangingEx(StepDirection direction);
    void UpDown4MouseUp();
    void UpDown5MouseUp();
    void ChangePort();

    bool pcPageShown() const { return m_pcPageShown; }
    bool setupFailed() const { return m_setupFailed; }
    quint32 stepCount() const { return m_stepCount; }

    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4;
    // "Serial Port Setting"
    QComboBox *ComboBox1;
    QLineEdit *Edit4, *Edit5, *Edit6, *Edit7; // baud rate, data bits, stop bits, parity
    // "Infrared Thermometer Setting"
    QComboBox *ComboBox2, *ComboBox3;
    QLineEdit *Edit2, *Edit1, *Edit3; // low alarm, high alarm, emissivity
    AlarmStepper *UpDown2, *UpDown1, *UpDown3;
    QFrame *Bevel1;
    QLabel *Label11, *Label12; // empty lines below the separator
    // "PC Software Setting"
    QLineEdit *Edit12, *Edit14;
    AlarmStepper *UpDown4, *UpDown5;
    QGroupBox *GroupBox1, *GroupBox2;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    // "Miscellaneous Option"
    QLineEdit *Edit8;
    QProgressBar *ProgressBar1;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    QWidget *buildSerialPortPage();
    QWidget *buildThermometerPage();
    QWidget *buildPcPage();
    QWidget *buildMiscellaneousPage();
    QWidget *buildButtonRow();
    void connectHandlers();
    void FormCreate();

    // Steps of OK and Apply up to the port change; false when the handling
    // ended early (a refused unit change, or the window left meanwhile).
    bool takeSettings(SetupRules::Button button);
    void finishTaking();
    void stepEvent(AlarmStepper *stepper, QLineEdit *shown, StepDirection direction);
    void stepperReleased(AlarmStepper *stepper);
    void leave();
    // The port the box names: a listed entry stands for its port name.
    QString portNameInBox() const;

    // The state of one window: it starts cleared with every window.
    // The PC page has been shown, so OK and Apply take its limits.
    bool m_pcPageShown = false;
    // The last port change was refused: OK keeps the window open.
    bool m_setupFailed = false;
    // Step events of both alarm steppers since the mouse button was last
    // released on one of them.
    quint32 m_stepCount = 0;
    // Cancel or the close box came while a handler waited: it goes no further.
    bool m_leaving = false;
    bool m_shownBefore = false;
};
