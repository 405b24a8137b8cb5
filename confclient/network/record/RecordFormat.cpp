// Recording file layout and rules.
#include "confclient/network/record/RecordFormat.h"

#include "confclient/network/QNCommands.h"

#include <algorithm>
#include <array>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

size_t RecordHeaderSize(uint16_t wVersion)
{
    if (wVersion < 5381) return 14;
    return HasExtraHeaderField(wVersion) ? 18 : 16;
}

bool HasExtraHeaderField(uint16_t v)
{
    return (v >= 5427 && v <= 5431) || (v >= 5500 && v <= 5501);
}

bool ChecksMeetingName(uint16_t wVersion, uint16_t wExtra)
{
    return wVersion > 5501 || (HasExtraHeaderField(wVersion) && wExtra != 0);
}

std::optional<SRecordHeader> ParseRecordHeader(std::span<const uint8_t> bytes)
{
    ByteReader r(bytes.data(), bytes.size());
    SRecordHeader h;
    h.wVersion = r.U16();
    if (!r.Ok() || bytes.size() < RecordHeaderSize(h.wVersion)) return std::nullopt;
    h.dwStartTime = r.U32();
    h.dwEndTime = r.U32();
    h.dwIndexOffset = r.U32();
    if (h.wVersion >= 5381) h.wSkinCount = r.U16();
    if (HasExtraHeaderField(h.wVersion)) h.wExtra = r.U16();
    if (!r.Ok()) return std::nullopt;
    return h;
}

std::vector<uint8_t> BuildRecordHeader(const SRecordHeader& h)
{
    std::vector<uint8_t> out;
    ByteWriter(out)
        .U16(h.wVersion)
        .U32(h.dwStartTime)
        .U32(h.dwEndTime)
        .U32(h.dwIndexOffset)
        .U16(h.wSkinCount);
    return out;
}

namespace
{
uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put32(uint32_t v, uint8_t* p)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(uint16_t v, uint8_t* p)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
} // namespace

SRecordHead ParseRecordHead(const uint8_t* p)
{
    return {Le32(p), Le16(p + 4), Le32(p + 6)};
}

void WriteRecordHead(const SRecordHead& h, uint8_t* p)
{
    Put32(h.dwTime, p);
    Put16(h.wCommand, p + 4);
    Put32(h.dwLength, p + 6);
}

SIndexEntry ParseIndexEntry(const uint8_t* p)
{
    return {Le32(p), Le32(p + 4), Le16(p + 8), Le16(p + 10)};
}

void WriteIndexEntry(const SIndexEntry& e, uint8_t* p)
{
    Put32(e.dwTime, p);
    Put32(e.dwPosition, p + 4);
    Put16(e.wCommand, p + 8);
    Put16(e.wSub, p + 10);
}

bool NeedsIndexEntry(uint16_t wCommand, bool bKeyFrame)
{
    if (wCommand == DAT_VOICE) return false;
    if (IsMediaCommand(wCommand)) return bKeyFrame;
    return true;
}

uint16_t IndexSubOf(uint16_t c, const uint8_t* pPayload, size_t nLen)
{
    bool bChannel = c == 2000 || c == 2010 || c == 2030 || c == 2201;
    if (!bChannel || !pPayload || nLen < 2) return 65535;
    return Le16(pPayload);
}

uint32_t RecordElapsed(uint32_t dwNow, uint32_t dwStart)
{
    return dwNow >= dwStart ? dwNow - dwStart : dwNow + (0xFFFFFFFFu - dwStart);
}

namespace
{
char16_t Upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

bool IsDeviceName(std::u16string_view name)
{
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    std::u16string s;
    for (char16_t c : stem)
        s.push_back(Upper(c));
    while (!s.empty() && s.back() == u' ')
        s.pop_back();
    static const std::array<std::u16string_view, 6> kPlain = {u"CON", u"PRN",    u"AUX",
                                                              u"NUL", u"CONIN$", u"CONOUT$"};
    if (std::find(kPlain.begin(), kPlain.end(), s) != kPlain.end()) return true;
    return s.size() == 4 && (s.starts_with(u"COM") || s.starts_with(u"LPT")) && s[3] >= u'0' && s[3] <= u'9';
}
} // namespace

bool IsSafeEmbeddedName(std::u16string_view name)
{
    if (name.empty() || name.size() > kEmbeddedNameUnits) return false;
    if (name.find(u"..") != std::u16string_view::npos) return false;
    for (size_t i = 0; i < name.size(); ++i)
    {
        char16_t c = name[i];
        if (c < 0x20 || c == 0x7F) return false;
        // Only well-formed UTF-16: a lone surrogate names no file on some systems.
        if (c >= 0xD800 && c <= 0xDBFF)
        {
            if (i + 1 == name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
            ++i;
            continue;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) return false;
        if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
    }
    if (name.back() == u'.' || name.back() == u' ') return false;
    return !IsDeviceName(name);
}

namespace
{
// Old names are 8-bit text of an unknown code page: bytes map one to one.
std::u16string AnsiName(std::span<const uint8_t> field)
{
    std::u16string s;
    for (uint8_t b : field)
    {
        if (!b) break;
        s.push_back(char16_t(b));
    }
    return s;
}
} // namespace

std::optional<SEmbeddedFile> ParseEmbeddedFile(uint16_t wCommand, uint16_t wVersion,
                                               std::span<const uint8_t> payload)
{
    bool bUtf16 = wVersion >= kUtf16NamesFrom;
    size_t nField = (wCommand == REC_AGENDA_FILE && !bUtf16) ? 32 : kEmbeddedNameBytes;
    if (payload.size() < nField) return std::nullopt;
    SEmbeddedFile f;
    f.nDataOffset = nField;
    if (bUtf16)
    {
        ByteReader r(payload.data(), kEmbeddedNameBytes);
        f.szName = r.Utf16Field(kEmbeddedNameUnits);
    }
    else
        f.szName = AnsiName(payload.first(32));
    return f;
}

std::vector<uint8_t> BuildEmbeddedName(std::u16string_view name)
{
    std::vector<uint8_t> out;
    ByteWriter w(out);
    size_t n = std::min(name.size(), kEmbeddedNameUnits);
    for (size_t i = 0; i < n; ++i)
        w.U16(name[i]);
    w.Zeros(kEmbeddedNameBytes - 2 * n);
    return out;
}

std::u16string ParseMeetingName(uint16_t wVersion, std::span<const uint8_t> payload)
{
    if (wVersion < kUtf16NamesFrom) return AnsiName(payload.first(std::min<size_t>(32, payload.size())));
    ByteReader r(payload.data(), payload.size() & ~size_t(1));
    return r.Utf16Field(payload.size() / 2);
}

std::vector<uint8_t> BuildMeetingName(std::u16string_view name)
{
    std::vector<uint8_t> out;
    ByteWriter w(out);
    for (char16_t c : name)
        w.U16(c);
    w.U16(0);
    return out;
}
