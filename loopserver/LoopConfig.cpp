// Default users and rooms of the loopback server and its configuration text.
#include "loopserver/LoopConfig.h"

#include <fstream>
#include <cstdlib>
#include <sstream>
#include <utility>

std::u16string Utf16FromAscii(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

std::string AsciiFromUtf16(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

namespace
{
// The automatic kind that records "wmv".
constexpr uint32_t kAutoRecordWmv = 2;
} // namespace

QNSystemOption DefaultSystemOption()
{
    QNSystemOption o;
    o.dwOption24 = (1u << 2) | (1u << 6) | (1u << 19); // MessageMode 1, PresenterMode 1, UseInvite
    o.dwOption36 = (1u << 16) | (1u << 17);            // UseRemoteControl, UseDesktop
    o.dwOption50 = 3;                                  // media share
    o.szDssAddress = u"127.0.0.1";
    return o;
}

LoopConfig DefaultLoopConfig()
{
    LoopConfig cfg;
    for (const char* pszId : {"alice", "bob", "carol", "dave"})
    {
        std::string name = pszId;
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        cfg.users.push_back({Utf16FromAscii(pszId), u"", Utf16FromAscii(name), 1, 0});
    }
    cfg.rooms.push_back({1, u"ROOM1", u"Morning meeting", 1, 49});
    cfg.rooms.push_back({2, u"ROOM2", u"Class room", 2, 49});
    return cfg;
}

bool ParseFaults(const std::string& text, std::vector<LoopFault>& out)
{
    static const struct
    {
        const char* pszName;
        LoopFault fault;
    } kNames[] = {{"badbyte", LoopFault::BadFirstByte},
                  {"shortlen", LoopFault::ShortLength},
                  {"longlen", LoopFault::LongLength},
                  {"padding", LoopFault::BadPadding},
                  {"partial", LoopFault::PartialBlock},
                  {"delay", LoopFault::Delay},
                  {"midframe", LoopFault::CloseMidFrame},
                  {"logout223", LoopFault::ForcedLogout},
                  {"close", LoopFault::Close}};
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ','))
    {
        bool bFound = false;
        for (const auto& n : kNames)
            if (item == n.pszName)
            {
                out.push_back(n.fault);
                bFound = true;
            }
        if (!bFound) return false;
    }
    return true;
}

bool ParseLoopConfig(const std::string& text, LoopConfig& cfg, int* pErrLine)
{
    std::istringstream in(text);
    std::string line;
    int nLine = 0;
    while (std::getline(in, line))
    {
        ++nLine;
        if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream ls(line);
        std::string word;
        if (!(ls >> word)) continue;
        bool bOk = false;
        if (word == "port")
        {
            unsigned n = 0;
            bOk = static_cast<bool>(ls >> n) && n > 0 && n < 65536;
            if (bOk) cfg.wPort = static_cast<uint16_t>(n);
        }
        else if (word == "user")
        {
            std::string id, pw, name;
            unsigned level = 1, group = 0;
            bOk = static_cast<bool>(ls >> id >> pw >> name);
            if (bOk && (ls >> level)) ls >> group;
            if (bOk)
                cfg.users.push_back({Utf16FromAscii(id), pw == "-" ? u"" : Utf16FromAscii(pw),
                                     Utf16FromAscii(name), static_cast<uint16_t>(level),
                                     static_cast<uint16_t>(group)});
        }
        else if (word == "room")
        {
            unsigned index = 0, maxUser = 0, type = 0;
            std::string code, title;
            bOk = static_cast<bool>(ls >> index >> code >> maxUser >> type) && index > 0 && index < 65535;
            std::getline(ls >> std::ws, title);
            if (bOk)
                cfg.rooms.push_back({static_cast<uint16_t>(index), Utf16FromAscii(code),
                                     Utf16FromAscii(title), static_cast<uint16_t>(type),
                                     static_cast<uint16_t>(maxUser)});
        }
        else if (word == "refuselogin")
        {
            unsigned reason = 0;
            int times = 0;
            bOk = static_cast<bool>(ls >> reason >> times) && reason < 65536 && times >= 0;
            if (bOk)
            {
                cfg.wRefuseLoginReason = static_cast<uint16_t>(reason);
                cfg.nRefuseLoginTimes = times;
            }
        }
        else if (word == "option")
        {
            unsigned offset = 0;
            std::string value;
            bOk = static_cast<bool>(ls >> offset >> value);
            uint32_t* pWord = nullptr;
            QNSystemOption& o = cfg.systemOption;
            for (auto [nAt, pw] : {std::pair{0u, &o.dwOption0},
                                   {4u, &o.dwOption4},
                                   {24u, &o.dwOption24},
                                   {36u, &o.dwOption36},
                                   {50u, &o.dwOption50},
                                   {62u, &o.dwOption62}})
                if (nAt == offset) pWord = pw;
            char* pEnd = nullptr;
            unsigned long v = bOk ? std::strtoul(value.c_str(), &pEnd, 0) : 0;
            bOk = bOk && pWord && pEnd && *pEnd == 0 && v <= 0xFFFFFFFFul;
            if (bOk) *pWord = static_cast<uint32_t>(v);
        }
        else if (word == "confentry")
        {
            std::string index, code;
            bOk = static_cast<bool>(ls >> index >> code);
            if (bOk) cfg.confEntries.push_back(Utf16FromAscii(index + "\n" + code));
        }
        else if (word == "call")
        {
            std::string number, what;
            unsigned code = 0;
            bOk = static_cast<bool>(ls >> number >> what) &&
                  (what == "ring" || (what == "fail" && (ls >> code) && code < 65536));
            if (bOk && what == "ring") cfg.ringingNumbers.insert(Utf16FromAscii(number));
            if (bOk && what == "fail") cfg.callFailures[Utf16FromAscii(number)] = static_cast<uint16_t>(code);
        }
        else if (word == "callanswer")
        {
            unsigned ms = 0;
            bOk = static_cast<bool>(ls >> ms);
            if (bOk) cfg.nCallAnswerMs = ms;
        }
        else if (word == "phonebook")
        {
            std::string id, path;
            bOk = static_cast<bool>(ls >> id >> path);
            std::ifstream file(path, std::ios::binary);
            std::ostringstream content;
            bOk = bOk && file && (content << file.rdbuf());
            if (bOk) cfg.phoneBooks[Utf16FromAscii(id)] = Utf16FromAscii(content.str());
        }
        else if (word == "unreachable")
        {
            std::string id;
            bOk = static_cast<bool>(ls >> id);
            if (bOk) cfg.unreachableUsers.insert(Utf16FromAscii(id));
        }
        else if (word == "autorecord")
        {
            unsigned index = 0, interval = 0, length = 0;
            bOk = static_cast<bool>(ls >> index >> interval >> length) && interval < 65536 && length < 65536;
            LoopRoom* pRoom = nullptr;
            for (LoopRoom& r : cfg.rooms)
                if (r.wRoomIndex == index) pRoom = &r;
            bOk = bOk && pRoom;
            QNRoomRecordSettings settings{static_cast<uint16_t>(interval), static_cast<uint16_t>(length), 0};
            for (std::string flag; bOk && ls >> flag;)
            {
                if (flag == "wmv")
                    settings.dwOptions |= kAutoRecordWmv << kRecordOptionAutoKindShift;
                else if (flag == "playeronly")
                    settings.dwOptions |= kRecordOptionPlayerOnly;
                else
                    bOk = false;
            }
            if (bOk)
            {
                pRoom->recordSettings = settings;
                pRoom->bAutoRecord = true;
            }
        }
        else if (word == "scenario")
        {
            std::string list;
            bOk = static_cast<bool>(ls >> list) && ParseFaults(list, cfg.scenario);
        }
        if (!bOk)
        {
            if (pErrLine) *pErrLine = nLine;
            return false;
        }
    }
    return true;
}
