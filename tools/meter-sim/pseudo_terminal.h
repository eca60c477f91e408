#pragma once
// The simulated meter's end of the line: a pseudo-terminal whose slave side QUILLON
// opens like a serial port, and the symbolic link that gives the slave a fixed name.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::metersim {

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() { close(); }

    // Opens a new pair, both sides raw (the line discipline must neither eat bytes such
    // as 0x03, 0x11 and 0x13 nor echo them). Keeps a slave descriptor of its own so the
    // pair stays usable while nobody else has the slave open.
    bool open(std::string* error);
    // Closes both sides: a reader of the slave sees a hang-up.
    void close();
    const std::string& slavePath() const { return slavePath_; }

    // Whether a program holds the slave side for exclusive use (QUILLON does while it has
    // the port open). True when the system cannot tell.
    bool heldByReader() const;
    // Bytes sent that the reader has not read yet.
    int unreadBytes() const;
    // Sends one byte without blocking for long; false when it was lost (no room on the
    // line even after a short wait, or no reader at all), as on a real line.
    bool writeByte(std::uint8_t byte);
    // Sends as many of the bytes as the line takes within `waitMs` (0: only what fits
    // now); returns how many went out. A later call goes on where this one stopped.
    std::size_t writeSome(const std::uint8_t* bytes, std::size_t count, int waitMs);
    // A port nobody reads loses what arrives: drop the backlog once it grows past a few
    // seconds of frames, so a reader that comes later does not start with stale data.
    // Also discards whatever a reader may have written towards the meter.
    void dropUnreadBacklog();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// A symbolic link that names the slave side. Replaces an earlier link of that name but
// never a file or device.
class SlaveLink {
  public:
    SlaveLink() = default;
    SlaveLink(const SlaveLink&) = delete;
    SlaveLink& operator=(const SlaveLink&) = delete;
    ~SlaveLink() { remove(); }

    bool create(const std::string& path, const std::string& target, std::string* error);
    // Removes the link if it still points where this object made it point.
    void remove();

  private:
    std::string path_;
    std::string target_;
};

}  // namespace quillon::metersim
