#include "sim/AnswerFile.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <utility>

AnswerFile::AnswerFile(std::string path) : m_path(std::move(path))
{
}

const std::map<char, std::string> &AnswerFile::answers()
{
    struct stat status
    {
    };
    // Never opened unless a regular file of sane size: a FIFO would hold the
    // simulator, a device would never end.
    if (::stat(m_path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > MAX_BYTES)
        return m_answers;
    const long long modifiedNs = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
    if (status.st_ino == m_inode && modifiedNs == m_modifiedNs && status.st_size == m_size)
        return m_answers;
    std::ifstream file(m_path, std::ios::binary);
    if (!file)
        return m_answers;
    std::string text(static_cast<size_t>(status.st_size), '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    m_inode = status.st_ino;
    m_modifiedNs = modifiedNs;
    m_size = status.st_size;
    m_answers = parse(text);
    return m_answers;
}

std::map<char, std::string> AnswerFile::parse(const std::string &text)
{
    std::map<char, std::string> answers;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line[1] == '=')
            answers[line[0]] = line.substr(2);
    }
    return answers;
}
