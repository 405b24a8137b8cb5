// Cuts a plain coded stream, fed in blocks of any size, into whole pictures: H.264 byte
// streams at the first NAL unit of each new access unit, H.263 streams at each picture
// start code. A picture is known complete only when the next one starts, or at Flush.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lmvideo/rtp/AccessUnit.h"
#include "lmvideo/rtp/VideoCodec.h"

class StreamSplitter
{
public:
    explicit StreamSplitter(VideoCodec codec) : m_codec(codec) {}

    // The next bytes of the stream; completed pictures wait for Pop.
    void Push(const uint8_t* p, size_t n);
    // Ends the open picture, as at the end of the stream.
    void Flush();
    // Takes the oldest complete picture; false when none is waiting.
    bool Pop(AccessUnit& out) { return m_queue.Pop(out); }

    uint32_t DroppedPictures() const { return m_nDroppedPictures; }

private:
    // Finds the start codes in the bytes not yet looked at; at the end of the stream every
    // byte is there, else a start code needs the bytes that tell what it starts.
    void Scan(bool bFinal);
    void OnH264Nal(size_t nStartCode);
    void OnH263StartCode(size_t nStartCode);
    void EndPicture(size_t nEnd);
    void DropPicture();
    void Compact();

    static constexpr size_t kNone = ~size_t(0);

    VideoCodec m_codec;
    // One block may complete more pictures than a queue keeps (small pictures, a large
    // block): the bound applies to what is left untaken when the next block comes.
    AccessUnitQueue m_queue{~size_t(0)};
    std::vector<uint8_t> m_buffer;
    size_t m_nScanned = 0;
    size_t m_nPictureStart = kNone;
    bool m_bHasSlice = false;
    bool m_bKey = false;
    uint32_t m_nDroppedPictures = 0;
};
