// Control-panel frames.
#include "confclient/network/control/PanelFrames.h"

namespace
{
bool IsKeyword(std::string_view s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

std::optional<S_PANELFRAME> ParseBody(char type, std::string_view body)
{
    if (type != static_cast<char>(PanelFrameType::Command) &&
        type != static_cast<char>(PanelFrameType::Answer))
        return std::nullopt;
    for (char c : body)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) return std::nullopt;
    size_t blank = body.find(' ');
    S_PANELFRAME f;
    f.type = static_cast<PanelFrameType>(type);
    f.keyword = std::string(body.substr(0, blank));
    if (blank != std::string_view::npos) f.arguments = std::string(body.substr(blank + 1));
    if (!IsKeyword(f.keyword)) return std::nullopt;
    return f;
}
} // namespace

std::vector<uint8_t> EncodePanelFrame(const S_PANELFRAME& frame)
{
    std::string body = frame.keyword;
    if (!frame.arguments.empty()) body += " " + frame.arguments;
    if (body.size() > kMaxPanelBody) body.resize(kMaxPanelBody);
    std::vector<uint8_t> out = {kPanelFrameMark, static_cast<uint8_t>(frame.type),
                                static_cast<uint8_t>(body.size()), static_cast<uint8_t>(body.size() >> 8)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<uint8_t> EncodePanelAnswer(std::string_view keyword, long value)
{
    return EncodePanelFrame({PanelFrameType::Answer, std::string(keyword), std::to_string(value)});
}

std::vector<S_PANELFRAME> CPanelFrameReader::Feed(const uint8_t* pData, size_t nLen)
{
    std::vector<S_PANELFRAME> frames;
    m_held.insert(m_held.end(), pData, pData + nLen);
    size_t pos = 0;
    while (m_held.size() - pos >= kPanelHeaderSize)
    {
        const uint8_t* p = m_held.data() + pos;
        size_t nBody = p[2] | (p[3] << 8);
        if (p[0] != kPanelFrameMark || nBody > kMaxPanelBody)
        {
            ++m_nDropped;
            m_held.clear();
            return frames;
        }
        if (m_held.size() - pos < kPanelHeaderSize + nBody) break;
        std::optional<S_PANELFRAME> f =
            ParseBody(static_cast<char>(p[1]),
                      std::string_view(reinterpret_cast<const char*>(p) + kPanelHeaderSize, nBody));
        if (!f)
        {
            ++m_nDropped;
            m_held.clear();
            return frames;
        }
        frames.push_back(std::move(*f));
        pos += kPanelHeaderSize + nBody;
    }
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(pos));
    return frames;
}
