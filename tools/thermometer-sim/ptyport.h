#pragma once
// The pseudo-terminal the simulator serves: the master side is ours, the
// slave side is the "serial port" the program under test opens and closes.

#include <csignal>
#include <string>

namespace sim {

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // Creates the pair with the slave in raw mode at 19200 baud. The slave
    // fd is closed again, so the master sees a hang-up whenever no one has
    // the port open, as with a cable that is not plugged in.
    bool open(std::string &error);

    // Makes path a symlink to the slave, replacing an existing symlink.
    bool makeLink(const std::string &path, std::string &error);
    // Removes the symlink if it still points at our slave.
    void removeLink();

    // Whether someone has the slave open. When it finds the port closed
    // since the last call, it drops the answer bytes left unread there, so
    // the next one to open the port does not get stale bytes (a real port
    // loses them too).
    bool peerOpen();

    // Waits until the one who has the port open has read every byte sent, so
    // that a hang-up after it loses none of them (closing the master drops
    // what is still unread). Gives up after timeoutMs or when stop is set.
    void waitUntilRead(int timeoutMs, const volatile std::sig_atomic_t &stop);

    int masterFd() const { return master_; }
    const std::string &slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    std::string slavePath_;
    std::string linkPath_;
    bool peerWasOpen_ = false;

    void discardUnread();
};

} // namespace sim
