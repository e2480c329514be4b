#pragma once

#include "measure/logic/announcethrottle.h"
#include "measure/logic/ledgeometry.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

// Shows a short text of digits as seven-segment LED characters: lit segments
// in LightColor, unlit ones in DarkColor, on BGColor, with a decimal point
// after a digit and a minus sign. Cells are drawn from polygons, not from a
// font. With AutoSize the control takes the size of its text.
//
// To a screen reader the control is a static text whose value is the text
// shown with its unit ("25.3 °C") and whose description is the alarm state.
// A changed value is announced at most once per AnnounceIntervalMs, the
// latest one last; the start of an alarm is announced at once.
class TLEDFontNum : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int OffSetX READ OffSetX WRITE SetOffSetX)
    Q_PROPERTY(int OffSetY READ OffSetY WRITE SetOffSetY)
    Q_PROPERTY(int WordWidth READ WordWidth WRITE SetWordWidth)
    Q_PROPERTY(int WordHeight READ WordHeight WRITE SetWordHeight)
    Q_PROPERTY(int Thick READ Thick WRITE SetThick)
    Q_PROPERTY(int Space READ Space WRITE SetSpace)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QColor BGColor READ BGColor WRITE SetBGColor)
    Q_PROPERTY(QColor LightColor READ LightColor WRITE SetLightColor)
    Q_PROPERTY(QColor DarkColor READ DarkColor WRITE SetDarkColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)

public:
    static constexpr int AnnounceIntervalMs = 5000;

    explicit TLEDFontNum(QWidget *parent = nullptr);

    int OffSetX() const { return m_metrics.offSetX; }
    int OffSetY() const { return m_metrics.offSetY; }
    int WordWidth() const { return m_metrics.wordWidth; }
    int WordHeight() const { return m_metrics.wordHeight; }
    int Thick() const { return m_metrics.thick; }
    int Space() const { return m_metrics.space; }
    QString Text() const { return m_text; }
    QColor BGColor() const { return m_bgColor; }
    QColor LightColor() const { return m_lightColor; }
    QColor DarkColor() const { return m_darkColor; }
    bool AutoSize() const { return m_autoSize; }

    // Each setter ignores a value equal to the stored one. The geometry
    // setters silently refuse a value that does not fit the other two.
    void SetOffSetX(int value);
    void SetOffSetY(int value);
    // Accepted when wider than two segments.
    void SetWordWidth(int value);
    // Accepted when at least four segments high; an even height is stored
    // one larger, so that the middle row lies on a pixel row.
    void SetWordHeight(int value);
    // Accepted when two segments fit across and four down the cell.
    void SetThick(int value);
    void SetSpace(int value);
    // Repaints at once rather than on the next paint request.
    void SetText(const QString &value);
    void SetBGColor(const QColor &value);
    void SetLightColor(const QColor &value);
    void SetDarkColor(const QColor &value);
    void SetAutoSize(bool value);

    // The control's picture at its current size.
    QImage DrawDigits() const;

    // The text shown, without its padding, then the unit.
    QString AccessibleValue() const;
    // The unit said after the digits, such as "°C"; none at first.
    void SetUnit(const QString &unit);
    // The alarm state in words, the accessible description; empty when
    // there is no alarm. A new non-empty text announces the value at once.
    void SetAlarmText(const QString &text);

signals:
    // The value went out to assistive technology as a value change. Qt
    // passes such events on only while assistive technology is active, so
    // this is where the announcements can be followed otherwise.
    void ValueAnnounced(const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize fittedSize() const;
    // With AutoSize, takes the size of the text unless the control is exactly
    // one pixel larger each way, as the constructed 47 x 38 is for "00".
    void fitToText();
    // Follows a property change other than the text: fits, then asks for a
    // repaint.
    void changed();
    // The value changed: announced now or when the interval has passed.
    void valueChanged();
    // Sends the value-change event to assistive technology when its time
    // has come.
    void announceIfDue();
    // Waits are at most one interval, as the throttle's are.
    void startAnnounceTimer(qint64 wait);

    LedGeometry::Metrics m_metrics;
    QString m_text = QStringLiteral("00");
    QColor m_bgColor{74, 66, 74};
    QColor m_lightColor{247, 255, 0};
    QColor m_darkColor{99, 99, 99};
    bool m_autoSize = true;
    QString m_unit;
    AnnounceThrottle m_throttle{AnnounceIntervalMs};
    QElapsedTimer m_clock;
    // Runs while an announcement waits; a zero wait gathers the changes of
    // one reading (text and alarm) into one announcement.
    QTimer m_announceTimer;
};
