#pragma once

#include <string>

// A pseudo-terminal pair for the simulator: the master side it talks on, and
// its own open slave, kept in raw mode so the tty neither echoes nor edits and
// so the master never sees a hang-up when the station closes its side.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool open(std::string *error);
    // A symbolic link at path to the slave; an existing link there is
    // replaced, anything else there is left alone and refused.
    bool link(const std::string &path, std::string *error);

    int masterFd() const { return m_master; }
    const std::string &slavePath() const { return m_slavePath; }
    const std::string &linkPath() const { return m_linkPath; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_linkPath;
};
