#pragma once

#include <string>
#include <vector>

// Cuts the station's byte stream into command frames: "$", the frame's text,
// CR. Bytes outside a frame are dropped, a new "$" restarts the frame, and a
// frame that grows past MAX_FRAME_BYTES is dropped as line garbage.
class FrameReader
{
public:
    static constexpr std::size_t MAX_FRAME_BYTES = 64;

    // The texts (without "$" and CR) of the frames the bytes complete.
    std::vector<std::string> feed(const char *bytes, std::size_t size);

private:
    std::string m_frame;
    bool m_inFrame = false;
};
