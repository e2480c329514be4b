#include "LEDFont.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

namespace {

// Stores value in field; false when it was there already.
template <typename T>
bool store(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Fills each listed polygon of a cell, outline included, in colour.
void drawPolygons(QPainter &painter, const LedGeometry::CellPolygons &cell, const QString &which,
                  const QColor &colour)
{
    painter.setPen(colour);
    painter.setBrush(colour);
    for (const QChar index : which) {
        const LedGeometry::Polygon &polygon = cell[index.digitValue()];
        painter.drawPolygon(polygon.data(), static_cast<int>(polygon.size()));
    }
}

// Read-only text that carries the information, as a label does; its value
// is the reading with its unit.
class LedDisplayAccessible : public QAccessibleWidget {
public:
    explicit LedDisplayAccessible(TLEDFontNum *led) : QAccessibleWidget(led, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<const TLEDFontNum *>(widget())->AccessibleValue();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *ledDisplayAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(TLEDFontNum::staticMetaObject.className()))
        if (auto *led = qobject_cast<TLEDFontNum *>(object))
            return new LedDisplayAccessible(led);
    return nullptr;
}

} // namespace

TLEDFontNum::TLEDFontNum(QWidget *parent) : QWidget(parent)
{
    // The picture covers the whole control, so nothing is painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(47, 38);
    static const bool factoryInstalled = (QAccessible::installFactory(ledDisplayAccessible), true);
    Q_UNUSED(factoryInstalled)
    setAccessibleName(tr("LED display"));
    m_clock.start();
    m_announceTimer.setSingleShot(true);
    m_announceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_announceTimer, &QTimer::timeout, this, &TLEDFontNum::announceIfDue);
}

void TLEDFontNum::SetOffSetX(int value)
{
    if (store(m_metrics.offSetX, value))
        changed();
}

void TLEDFontNum::SetOffSetY(int value)
{
    if (store(m_metrics.offSetY, value))
        changed();
}

void TLEDFontNum::SetWordWidth(int value)
{
    if (LedGeometry::acceptsWordWidth(value, Thick()) && store(m_metrics.wordWidth, value))
        changed();
}

void TLEDFontNum::SetWordHeight(int value)
{
    const std::optional<int> height = LedGeometry::wordHeightFor(value, Thick());
    if (height && store(m_metrics.wordHeight, *height))
        changed();
}

void TLEDFontNum::SetThick(int value)
{
    if (LedGeometry::acceptsThick(value, WordWidth(), WordHeight()) && store(m_metrics.thick, value))
        changed();
}

void TLEDFontNum::SetSpace(int value)
{
    if (store(m_metrics.space, value))
        changed();
}

void TLEDFontNum::SetText(const QString &value)
{
    if (!store(m_text, value))
        return;
    fitToText();
    repaint();
    valueChanged();
}

void TLEDFontNum::SetBGColor(const QColor &value)
{
    if (store(m_bgColor, value))
        changed();
}

void TLEDFontNum::SetLightColor(const QColor &value)
{
    if (store(m_lightColor, value))
        changed();
}

void TLEDFontNum::SetDarkColor(const QColor &value)
{
    if (store(m_darkColor, value))
        changed();
}

void TLEDFontNum::SetAutoSize(bool value)
{
    if (!store(m_autoSize, value) || !value)
        return;
    const QSize fitted = fittedSize();
    if (width() != fitted.width())
        resize(fitted);
}

QImage TLEDFontNum::DrawDigits() const
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(m_bgColor);
    QPainter painter(&image);
    const LedGeometry::Cells cells = LedGeometry::splitText(m_text);
    for (int i = 0; i < cells.chars.size(); ++i) {
        const LedGeometry::CellPolygons polygons =
            LedGeometry::BuildSegments(LedGeometry::cellOrigin(m_metrics, i), m_metrics);
        // Unlit segments in the background colour would only hide the background.
        if (m_darkColor != m_bgColor)
            drawPolygons(painter, polygons, LedGeometry::UnlitPolygons, m_darkColor);
        if (m_lightColor != m_bgColor)
            drawPolygons(painter, polygons, LedGeometry::litPolygons(cells.chars[i], i == cells.pointCell),
                         m_lightColor);
    }
    return image;
}

QString TLEDFontNum::AccessibleValue() const
{
    const QString digits = m_text.trimmed();
    return m_unit.isEmpty() ? digits : digits + QLatin1Char(' ') + m_unit;
}

void TLEDFontNum::SetUnit(const QString &unit)
{
    if (store(m_unit, unit))
        valueChanged();
}

void TLEDFontNum::SetAlarmText(const QString &text)
{
    if (text == accessibleDescription())
        return;
    setAccessibleDescription(text);
    if (text.isEmpty())
        return;
    m_throttle.alarmStarted(m_clock.elapsed());
    startAnnounceTimer(0);
}

void TLEDFontNum::valueChanged()
{
    const qint64 now = m_clock.elapsed();
    const qint64 due = m_throttle.valueChanged(now);
    if (!m_announceTimer.isActive())
        startAnnounceTimer(due - now);
}

void TLEDFontNum::announceIfDue()
{
    const qint64 now = m_clock.elapsed();
    if (m_throttle.takeDue(now)) {
        QAccessibleValueChangeEvent event(this, AccessibleValue());
        QAccessible::updateAccessibility(&event);
        emit ValueAnnounced(AccessibleValue());
    } else if (const std::optional<qint64> due = m_throttle.due()) {
        startAnnounceTimer(*due - now);
    }
}

void TLEDFontNum::startAnnounceTimer(qint64 wait)
{
    m_announceTimer.start(int(std::clamp<qint64>(wait, 0, AnnounceIntervalMs)));
}

void TLEDFontNum::paintEvent(QPaintEvent *)
{
    // Drawn off screen and copied in one step, so a new text does not flicker.
    QPainter(this).drawImage(0, 0, DrawDigits());
}

QSize TLEDFontNum::fittedSize() const
{
    return LedGeometry::fittedSize(m_metrics, static_cast<int>(LedGeometry::splitText(m_text).chars.size()));
}

void TLEDFontNum::fitToText()
{
    if (!m_autoSize)
        return;
    const QSize fitted = fittedSize();
    if (size() != fitted + QSize(1, 1))
        resize(fitted);
}

void TLEDFontNum::changed()
{
    fitToText();
    update();
}
