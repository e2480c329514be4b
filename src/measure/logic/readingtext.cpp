#include "measure/logic/readingtext.h"

#include "store/decimalformat.h"

#include <algorithm>

namespace ReadingText {

namespace {
const QString Indent(10, QLatin1Char(' '));
const QString Gap(28, QLatin1Char(' '));
const QString LabelGap(5, QLatin1Char(' '));
} // namespace

QString valueText(qint32 tenthsCelsius, bool celsius)
{
    // Worked out in whole hundredths: tenths x 1.8 + 32 in floating point
    // leaves noise near zero (-17.8 C gives -0.0399999999999991 F) that the
    // 15-digit text would show in full.
    const qint64 hundredths = celsius ? qint64(tenthsCelsius) * 10 : qint64(tenthsCelsius) * 18 + 3200;
    QString v = QString::number(hundredths / 100.0, 'g', 15);
    if (v.size() >= 3 && v.at(v.size() - 3) == QLatin1Char('.'))
        v.chop(1);
    if (!v.contains(QLatin1Char('.')))
        v += QStringLiteral(".0");
    return v;
}

QString ledText(const QString &value)
{
    return value.rightJustified(6, QLatin1Char(' '));
}

QString emissivityText(qint16 hundredths)
{
    return QString::number(hundredths / 100.0, 'g', 15);
}

QString ledPlaceholder(bool celsius)
{
    return celsius ? QStringLiteral("  00.0") : QStringLiteral("  32.0");
}

QString unitLetter(bool celsius)
{
    return celsius ? QStringLiteral("C") : QStringLiteral("F");
}

QChar filterRateKey(QChar typed)
{
    // Control characters (backspace, and DEL, which the Delete key carries on
    // some platforms) keep their editing meaning.
    if (typed.unicode() <= 31 || typed.category() == QChar::Other_Control)
        return typed;
    if (typed >= QLatin1Char('1') && typed <= QLatin1Char('9'))
        return typed;
    return QLatin1Char('0');
}

QString rateBoxEdit(const QString &before, const QString &after)
{
    // The edit replaced what lies between the text both share at the front
    // and the text both share at the back.
    const int shortest = int(std::min(before.size(), after.size()));
    int head = 0;
    while (head < shortest && before.at(head) == after.at(head))
        ++head;
    int tail = 0;
    while (tail < shortest - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    QString brought;
    for (QChar c : after.mid(head, after.size() - head - tail)) {
        const QChar key = filterRateKey(c);
        if (key.isDigit())
            brought += key;
    }
    const int room = std::max(0, RateBoxLength - head - tail);
    return after.left(head) + brought.left(room) + after.right(tail);
}

int rateFromText(const QString &text)
{
    QString s = text.trimmed();
    if (!s.isEmpty() && s.contains(QLatin1Char(',')))
        s = s.left(1) + s.right(3);
    bool ok = false;
    const int rate = s.toInt(&ok);
    return ok ? rate : 0;
}

QStringList footerLines(double maxReading, double minReading, const QString &average,
                        const QString &dateLabel, const QString &date)
{
    return {Indent + QStringLiteral("MAX:") + LabelGap + formatOneDecimal(maxReading) + Gap +
                QStringLiteral("MIN:") + LabelGap + formatOneDecimal(minReading) + Gap +
                QStringLiteral("AVG:") + LabelGap + average,
            Indent + dateLabel + LabelGap + date};
}

} // namespace ReadingText
