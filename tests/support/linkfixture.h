#pragma once

#include "common/apppaths.h"
#include "devicelink/systemvar.h"
#include "scripteddialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

// A fresh program directory (executable directory and working directory at
// once) holding a report layout and, when asked, a settings file.
class ProgramDir {
public:
    ProgramDir()
    {
        AppPaths::setExecutableDir(m_dir.path());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        SystemVars = TSystemVars{};
        writeFile(TForm6::ReportFileName, "layout\n");
    }
    ~ProgramDir()
    {
        SystemVars = TSystemVars{};
        QDir::setCurrent(m_previous);
        AppPaths::setExecutableDir(QString());
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeSettings(const QString &serialPort) const
    {
        writeFile(QStringLiteral("KELVORA.INI"),
                  "[Kelvora OPTIONS]\nSEARIAL_PORT=" + serialPort.toUtf8() + "\n");
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// The thermometer simulator on a pseudo-terminal reached through a symlink.
class Simulator {
public:
    Simulator(const QString &link, const QString &log, const QStringList &extra = {})
        : m_link(link), m_log(log)
    {
        m_process.setProgram(QStringLiteral(KELVORA_SIM_PATH));
        m_process.setArguments(QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"), log} + extra);
        m_process.start();
        // The first line is the slave's path; the link exists from then on.
        if (m_process.waitForReadyRead(5000))
            m_slave = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~Simulator() { stop(); }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    void toggleSilence() { ::kill(static_cast<pid_t>(m_process.processId()), SIGUSR1); }
    bool running() const { return m_process.state() == QProcess::Running && !m_slave.isEmpty(); }
    QString slave() const { return m_slave; }
    // Commands received so far, from the "ms CMD" lines of the log.
    QStringList commands() const { return commandsIn(m_log); }
    // The commands of a simulator log file (--log or --answer-log).
    static QStringList commandsIn(const QString &log)
    {
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList out;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                out << QString::fromUtf8(line.split(' ').value(1));
        return out;
    }

private:
    QProcess m_process;
    QString m_link;
    QString m_log;
    QString m_slave;
};

// Counts the link's poll ticks since the last received bytes and notes the
// tick on which the link first showed as not connected.
class TickWatch {
public:
    explicit TickWatch(TForm6 &link)
    {
        QObject::connect(&link.MSComm1, &SerialControl::comm, &m_context, [this](int event) {
            if (event != SerialControl::ReceiveEvent)
                return;
            ticks = 0;
            fellAtTick = -1;
            sinceBytes.start();
        });
        // Connected after the module's own handler, so it sees the tick's result.
        QObject::connect(&link.Timer1, &ComponentTimer::timeout, &m_context, [this] {
            ++ticks;
            if (!SystemVars.connected && fellAtTick < 0) {
                fellAtTick = ticks;
                fellAfterMs = sinceBytes.elapsed();
            }
        });
    }
    int ticks = 0;
    int fellAtTick = -1;
    qint64 fellAfterMs = -1;
    QElapsedTimer sinceBytes;

private:
    QObject m_context;
};

// A program directory with scripted dialogs, made fresh for each test function.
struct ProgramEnv {
    ProgramDir dir;
    ScriptedDialogs dialogs;
};
