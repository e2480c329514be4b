#pragma once

#include <QString>

#include <stdexcept>

// A failure that ends the running handler and reaches the application-wide
// error report, which shows text() in a message box. Thrown with the
// system's own wording; caught at event entry points, never let through the
// Qt event loop.
class KelvoraError : public std::runtime_error {
public:
    explicit KelvoraError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The serial port could not be opened. A hint on how to get access, when
// there is one, follows the text on a line of its own.
class SerialPortError : public KelvoraError {
public:
    explicit SerialPortError(const QString &text, const QString &hint = QString())
        : KelvoraError(hint.isEmpty() ? text : text + QLatin1Char('\n') + hint), m_hint(hint)
    {
    }
    QString hint() const { return m_hint; }

private:
    QString m_hint;
};

// The database engine refused an operation.
class DatabaseError : public KelvoraError {
public:
    using KelvoraError::KelvoraError;
};

// A text could not be converted to a number.
class ConversionError : public KelvoraError {
public:
    using KelvoraError::KelvoraError;
};

// Runs a handler body and sends any failure it throws to the error report,
// so that no exception crosses the Qt event loop.
template <typename Body>
void guardedHandler(Body &&body);

void reportError(const QString &text);

template <typename Body>
void guardedHandler(Body &&body)
{
    try {
        body();
    } catch (const KelvoraError &e) {
        reportError(e.text());
    } catch (const std::exception &e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
}
