#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon::metersim {

namespace {

constexpr int kBacklogLimit = 2048;  // bytes
constexpr int kFullLineWaitMs = 20;

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY);
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

void SetFlags(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
}

}  // namespace

bool PseudoTerminal::open(std::string* error) {
    close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        *error = SystemError("posix_openpt");
        return false;
    }
    SetFlags(master_);
    // Raw at once, before the slave exists, so no byte ever meets a cooked line.
    if (!MakeRaw(master_)) {
        *error = SystemError("making the pseudo-terminal raw");
        close();
        return false;
    }
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        *error = SystemError("preparing the pseudo-terminal's slave side");
        close();
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0 || !MakeRaw(slave_)) {
        *error = SystemError("opening " + slavePath_);
        close();
        return false;
    }
    return true;
}

void PseudoTerminal::close() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

bool PseudoTerminal::heldByReader() const {
    int exclusive = 0;
    if (slave_ < 0) return false;
    if (ioctl(slave_, TIOCGEXCL, &exclusive) != 0) return true;
    return exclusive != 0;
}

int PseudoTerminal::unreadBytes() const {
    int queued = 0;
    if (slave_ < 0 || ioctl(slave_, FIONREAD, &queued) != 0) return 0;
    return queued;
}

bool PseudoTerminal::writeByte(std::uint8_t byte) {
    if (master_ < 0) return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t written = ::write(master_, &byte, 1);
        if (written == 1) return true;
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno == EAGAIN) {
            pollfd room{master_, POLLOUT, 0};
            poll(&room, 1, kFullLineWaitMs);
            continue;
        }
        return false;  // EIO: nobody on the other side
    }
    return false;
}

std::size_t PseudoTerminal::writeSome(const std::uint8_t* bytes, std::size_t count, int waitMs) {
    if (master_ < 0) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t written = ::write(master_, bytes + done, count - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno == EAGAIN && waitMs > 0) {
            pollfd room{master_, POLLOUT, 0};
            if (poll(&room, 1, waitMs) > 0) continue;
        }
        break;  // full for the whole wait, or nobody on the other side
    }
    return done;
}

void PseudoTerminal::dropUnreadBacklog() {
    if (master_ < 0) return;
    int queued = 0;
    if (ioctl(slave_, FIONREAD, &queued) == 0 && queued > kBacklogLimit) tcflush(slave_, TCIFLUSH);
    char discard[256];
    while (::read(master_, discard, sizeof discard) > 0) {
    }
}

bool SlaveLink::create(const std::string& path, const std::string& target, std::string* error) {
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = path + " exists and is not a symbolic link; not replacing it";
            return false;
        }
    } else if (errno != ENOENT) {
        *error = SystemError(path);
        return false;
    }
    // Made under a temporary name and renamed, so the name is never missing or half-made.
    const std::string temporary = path + ".new" + std::to_string(getpid());
    // A leftover of an earlier run may go; anything else of that name stays.
    if (lstat(temporary.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode))
        ::unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) {
        *error = SystemError("creating the link " + path);
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        *error = SystemError("creating the link " + path);
        ::unlink(temporary.c_str());
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}

void SlaveLink::remove() {
    if (path_.empty()) return;
    char buffer[4096];
    const ssize_t size = readlink(path_.c_str(), buffer, sizeof buffer - 1);
    if (size >= 0 && std::string(buffer, static_cast<std::size_t>(size)) == target_)
        ::unlink(path_.c_str());
    path_.clear();
    target_.clear();
}

}  // namespace quillon::metersim
