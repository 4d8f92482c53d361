#include "sim/FrameReader.h"

std::vector<std::string> FrameReader::feed(const char *bytes, std::size_t size)
{
    std::vector<std::string> frames;
    for (std::size_t i = 0; i < size; ++i) {
        const char byte = bytes[i];
        if (byte == '$') {
            m_frame.clear();
            m_inFrame = true;
        } else if (!m_inFrame) {
            continue;
        } else if (byte == '\r') {
            frames.push_back(m_frame);
            m_frame.clear();
            m_inFrame = false;
        } else if (m_frame.size() < MAX_FRAME_BYTES) {
            m_frame += byte;
        } else {
            m_frame.clear();
            m_inFrame = false;
        }
    }
    return frames;
}
