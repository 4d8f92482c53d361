#include "review/LogBlocks.h"

#include <algorithm>
#include <iterator>

void LogBlocks::begin(std::vector<char> *block)
{
    block->assign(m_carry.begin(), m_carry.end());
    m_carriedOver = m_carry.size();
    m_carry.clear();
}

LogBlocks::Cut LogBlocks::cut(const std::vector<char> &block, bool atEnd)
{
    Cut cut;
    auto from = block.begin();
    if (m_skipping) {
        from = std::find(block.begin(), block.end(), '\n');
        m_skipping = from == block.end();
        from += m_skipping ? 0 : 1;
    }
    auto to = block.end();
    if (!atEnd) {
        // What was carried over holds no line end: only the bytes read are looked at.
        const auto read = std::max(from, block.begin() + static_cast<long>(m_carriedOver));
        to = std::find(block.rbegin(), std::make_reverse_iterator(read), '\n').base();
        if (to == read)
            to = from; // no line ends here: all of it is carried over
        m_carry.assign(to, block.end());
    }
    cut.first = static_cast<size_t>(from - block.begin());
    cut.last = static_cast<size_t>(to - block.begin());
    if (m_carry.size() >= static_cast<size_t>(m_longestLine - 1)) {
        cut.skipped = QByteArray(m_carry.data(), m_longestLine - 1);
        m_carry.clear();
        m_skipping = true;
    }
    return cut;
}
