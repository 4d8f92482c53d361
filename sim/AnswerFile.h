#pragma once

#include <map>
#include <string>
#include <sys/types.h>

// Fixed answers from a file of ADDR=TEXT lines, read again whenever the file
// changes, so that what the modules say can be changed while the simulator
// runs (a probe moved from one buffer to the next). Lines that are not
// ADDR=TEXT are skipped.
class AnswerFile
{
public:
    explicit AnswerFile(std::string path);

    // The answers as the file stands now; those read last while it cannot be
    // read, or while it is not a regular file of at most MAX_BYTES.
    const std::map<char, std::string> &answers();

    // The answers in a file's text: its last ADDR=TEXT line for each address
    // (a CR before the LF dropped).
    static std::map<char, std::string> parse(const std::string &text);

    static constexpr long long MAX_BYTES = 1 << 20;

private:
    std::string m_path;
    ino_t m_inode = 0;
    long long m_modifiedNs = -1;
    long long m_size = -1;
    std::map<char, std::string> m_answers;
};
