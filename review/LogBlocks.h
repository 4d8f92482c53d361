#pragma once

#include <QByteArray>

#include <vector>

// Cuts a file, as it is read a block at a time, into blocks of whole lines
// that can be parsed apart: the start of a line that a block ends inside is
// carried over to the next block, and a line longer than any log line is
// left out to its end, so that no block ever holds more than a block's worth
// and a line's.
class LogBlocks
{
public:
    struct Cut
    {
        size_t first = 0; // the whole lines of the block lie in [first, last)
        size_t last = 0;
        // A line too long to be a log line begins after them: what was seen of it.
        QByteArray skipped;
    };

    explicit LogBlocks(int longestLine) : m_longestLine(longestLine) { }

    // Starts a block with what the last one carried over; the bytes read
    // next are to be appended to it.
    void begin(std::vector<char> *block);
    // Where the block's lines lie, once the bytes read are in it. At the
    // file's end every byte belongs to a line, the last perhaps unended.
    Cut cut(const std::vector<char> &block, bool atEnd);
    // The bytes carried over: a line the file has not ended yet.
    size_t carried() const { return m_carry.size(); }

private:
    int m_longestLine;
    std::vector<char> m_carry;
    size_t m_carriedOver = 0;
    bool m_skipping = false;
};
