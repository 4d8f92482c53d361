#include "sim/AnswerFile.h"

#include <fstream>
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
    if (::stat(m_path.c_str(), &status) != 0)
        return m_answers;
    const long long modifiedNs = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
    if (status.st_ino == m_inode && modifiedNs == m_modifiedNs && status.st_size == m_size)
        return m_answers;
    std::ifstream file(m_path);
    if (!file)
        return m_answers;
    m_inode = status.st_ino;
    m_modifiedNs = modifiedNs;
    m_size = status.st_size;
    m_answers.clear();
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line[1] == '=')
            m_answers[line[0]] = line.substr(2);
    }
    return m_answers;
}
