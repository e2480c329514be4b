#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QVector>

#include <csignal>
#include <sys/prctl.h>

// A private PulseAudio server for tests that need a real sound server: one
// null sink, reached through a socket in a temporary directory (no D-Bus, no
// autospawn, no user configuration), whose monitor can be recorded as raw
// mono 16-bit PCM. The server and the recorder end with this object, and the
// kernel ends them should the test process die first.
class PulseNullSink {
public:
    static constexpr int RecordRate = 22050;

    PulseNullSink()
    {
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("no temporary directory");
            return;
        }
        QDir(m_dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile script(m_dir.filePath(QStringLiteral("server.pa")));
        if (!script.open(QIODevice::WriteOnly)) {
            m_error = script.errorString();
            return;
        }
        script.write(
            "load-module module-native-protocol-unix auth-anonymous=1 socket=" + socketPath().toUtf8() +
            "\nload-module module-null-sink sink_name=alarm\nset-default-sink alarm\n");
        script.close();

        // Running as root needs no --system here: the server only warns.
        // Real-time scheduling and the CPU limit stay off so that a busy
        // machine neither starves nor kills it.
        setUp(m_server, {});
        m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")));
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                        QStringLiteral("--no-cpu-limit=yes"), QStringLiteral("--log-target=stderr"),
                        QStringLiteral("-F"), script.fileName()});
        if (!m_server.waitForStarted(10000)) {
            m_error = QStringLiteral("pulseaudio: ") + m_server.errorString();
            return;
        }
        // Clients only connect once the socket exists, so none of them
        // tries to start a server of its own meanwhile.
        const auto ready = [this] {
            return QFileInfo::exists(socketPath()) &&
                   pactl({QStringLiteral("info")}).contains("Default Sink: alarm");
        };
        if (!waitUntil(ready, 20000))
            m_error = QStringLiteral("the server did not come up: ") + serverLog();
    }

    ~PulseNullSink()
    {
        end(m_recorder);
        end(m_server);
    }

    bool isRunning() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    QString serverAddress() const { return QStringLiteral("unix:") + socketPath(); }
    QString serverLog() const
    {
        QFile log(m_dir.filePath(QStringLiteral("server.log")));
        return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
    }

    // Suspends the sink, as a device that stops taking samples would, or
    // lets it run again.
    bool suspend(bool on)
    {
        QProcess process;
        setUp(process, {QStringLiteral("PULSE_SERVER=") + serverAddress()});
        process.start(QStringLiteral("pactl"), {QStringLiteral("suspend-sink"), QStringLiteral("alarm"),
                                                on ? QStringLiteral("1") : QStringLiteral("0")});
        const bool done = process.waitForFinished(5000) && process.exitCode() == 0;
        end(process);
        return done;
    }

    // Starts recording the sink's monitor and returns once samples flow.
    // latencyMs asks the recorder for that latency; 0 leaves the recorder's
    // default (long buffering, as a plain recording command has), which lets
    // the sink render far ahead of time between sounds.
    bool startRecording(int latencyMs)
    {
        end(m_recorder); // one left over from a failed check
        setUp(m_recorder, {QStringLiteral("PULSE_SERVER=") + serverAddress()});
        m_recorder.setStandardOutputFile(recordingPath());
        m_recorder.setStandardErrorFile(m_dir.filePath(QStringLiteral("recorder.log")));
        QStringList arguments{QStringLiteral("--device=alarm.monitor"), QStringLiteral("--raw"),
                              QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                              QStringLiteral("--rate=%1").arg(RecordRate)};
        if (latencyMs > 0)
            arguments << QStringLiteral("--latency-msec=%1").arg(latencyMs);
        m_recorder.start(QStringLiteral("parec"), arguments);
        if (!m_recorder.waitForStarted(10000))
            return false;
        // The recorder delivers its first block once that much is recorded:
        // the moment it shows ties the recording to the clock.
        const bool flowing = waitUntil([this] { return QFileInfo(recordingPath()).size() > 0; }, 10000, 5);
        m_anchor.start();
        m_anchorMs = QFileInfo(recordingPath()).size() * 1000.0 / 2 / RecordRate;
        return flowing;
    }

    // Where in the recording the present moment lies, in ms: short of it by
    // at most the time a block takes to reach the file, and by however far
    // the sink renders ahead of time.
    double recordingPosMs() const { return m_anchorMs + m_anchor.nsecsElapsed() / 1e6; }

    // Waits until the recording holds ms more of the monitor than it does
    // now, so that everything the sink played so far has reached it.
    bool recordFurther(int ms)
    {
        const qint64 target = QFileInfo(recordingPath()).size() + qint64(ms) * RecordRate / 1000 * 2;
        return waitUntil([&] { return QFileInfo(recordingPath()).size() >= target; }, ms + 10000);
    }

    // Ends the recording and returns its samples.
    QVector<qint16> stopRecording()
    {
        end(m_recorder);
        QFile file(recordingPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        QVector<qint16> samples(bytes.size() / 2);
        for (int i = 0; i < samples.size(); ++i)
            samples[i] = qint16(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8);
        return samples;
    }

private:
    QString socketPath() const { return m_dir.filePath(QStringLiteral("runtime/native")); }
    QString recordingPath() const { return m_dir.filePath(QStringLiteral("monitor.raw")); }

    void setUp(QProcess &process, const QStringList &extraEnvironment) const
    {
        QStringList environment = QProcess::systemEnvironment();
        environment.removeIf([](const QString &entry) {
            return entry.startsWith(QLatin1String("PULSE_")) || entry.startsWith(QLatin1String("HOME=")) ||
                   entry.startsWith(QLatin1String("XDG_"));
        });
        environment << QStringLiteral("HOME=") + m_dir.path()
                    << QStringLiteral("PULSE_RUNTIME_PATH=") + m_dir.filePath(QStringLiteral("runtime"))
                    << extraEnvironment;
        process.setEnvironment(environment);
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }

    QByteArray pactl(const QStringList &arguments) const
    {
        QProcess process;
        setUp(process, {QStringLiteral("PULSE_SERVER=") + serverAddress()});
        process.start(QStringLiteral("pactl"), arguments);
        if (!process.waitForFinished(5000)) {
            end(process);
            return {};
        }
        return process.readAllStandardOutput();
    }

    template <typename Condition>
    static bool waitUntil(Condition condition, int ms, int pollMs = 50)
    {
        const QDeadlineTimer deadline(ms);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(pollMs);
        }
        return true;
    }

    static void end(QProcess &process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
    QElapsedTimer m_anchor;
    double m_anchorMs = 0;
    QString m_error;
};
