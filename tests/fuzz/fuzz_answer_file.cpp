// The simulator's answer file: any text parses without harm, and a set of
// answers written one ADDR=TEXT line each, with anything else between them,
// parses back to those answers, the last line of an address winning.
//
// Input: the text of a file, parsed as it stands; then, split at 0x00,
// addresses and answers to write and read back.

#include "sim/AnswerFile.h"

#include <cstdlib>
#include <map>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::map<char, std::string> asItStands = AnswerFile::parse(input);
    for (const auto &[address, answer] : asItStands)
        check(address != '\n' && answer.find('\n') == std::string::npos);

    // Round trip: each piece an address and its answer, with a comment line
    // (no '=' second) written between the answers.
    std::map<char, std::string> written;
    std::string file;
    size_t at = 0;
    while (at < size) {
        size_t end = input.find('\0', at);
        if (end == std::string::npos)
            end = size;
        std::string piece = input.substr(at, end - at);
        at = end + 1;
        if (piece.empty() || piece[0] == '\n')
            continue;
        std::string answer = piece.substr(1);
        answer = answer.substr(0, answer.find('\n'));
        while (!answer.empty() && answer.back() == '\r')
            answer.pop_back(); // a CR at the end of a line belongs to its ending
        written[piece[0]] = answer;
        file += std::string(1, piece[0]) + '=' + answer + (written.size() % 2 ? "\r\n" : "\n");
        file += "# a note, not an answer\n";
    }
    check(AnswerFile::parse(file) == written);
    return 0;
}
