#include "portname.h"

#include <QRegularExpression>

QString resolvePortName(const QString &configured)
{
    const QString name = configured.trimmed();
    if (name.isEmpty())
        return QString();

    static const QRegularExpression comPattern(QStringLiteral("^COM(\\d{1,3})$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch com = comPattern.match(name);
    if (com.hasMatch()) {
        const int number = com.captured(1).toInt();
        if (number < 1)
            return QString();
#ifdef Q_OS_WIN
        return QStringLiteral("COM%1").arg(number);
#else
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
    }
#ifdef Q_OS_WIN
    return name;
#else
    if (name.startsWith(QLatin1Char('/')))
        return name;
    if (name.contains(QLatin1Char('/')))
        return QString();
    return QStringLiteral("/dev/") + name;
#endif
}
