#pragma once

// Runs the command-line companion as a separate process and collects what it
// prints.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

class CliProcess {
public:
    explicit CliProcess(const QString &workingDirectory)
    {
        m_process.setProgram(QStringLiteral(KELVORA_CLI_PATH));
        m_process.setWorkingDirectory(workingDirectory);
    }
    ~CliProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    void start(const QStringList &arguments)
    {
        m_process.setArguments(arguments);
        m_process.start();
    }
    // Starts the command with its stdout read by "head -n count", which
    // closes the pipe after that many lines; the exit code is the command's.
    void startIntoHead(const QStringList &arguments, int count)
    {
        m_process.setProgram(QStringLiteral("bash"));
        m_process.setArguments(
            QStringList{QStringLiteral("-c"),
                        QStringLiteral("\"$0\" \"$@\" | head -n %1; exit ${PIPESTATUS[0]}").arg(count),
                        QStringLiteral(KELVORA_CLI_PATH)} +
            arguments);
        m_process.start();
    }
    // Starts the command and waits for its end; false when it did not end in time.
    bool run(const QStringList &arguments, int timeoutMs = 30000)
    {
        start(arguments);
        return waitForEnd(timeoutMs);
    }
    bool waitForEnd(int timeoutMs)
    {
        if (!m_process.waitForFinished(timeoutMs))
            return false;
        collect();
        return true;
    }
    // Waits until stdout holds at least count whole lines.
    bool waitForLines(int count, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (lines().size() < count && clock.elapsed() < timeoutMs) {
            QTest::qWait(50);
            collect();
        }
        return lines().size() >= count;
    }

    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }
    bool endedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return m_process.exitCode(); }
    // The whole lines printed on stdout so far.
    QStringList lines() const
    {
        QStringList out = QString::fromUtf8(m_stdout).split(QLatin1Char('\n'));
        out.removeLast(); // the unfinished rest
        return out;
    }
    QString errorText()
    {
        collect();
        return QString::fromUtf8(m_stderr);
    }

private:
    void collect()
    {
        m_stdout += m_process.readAllStandardOutput();
        m_stderr += m_process.readAllStandardError();
    }

    QProcess m_process;
    QByteArray m_stdout;
    QByteArray m_stderr;
};
