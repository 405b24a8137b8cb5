// The questionnaire page's address.
#include "confclient/room/QuestionAddress.h"

#include "core/Utf8Text.h"

std::u16string PercentEncode(const std::u16string& s)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::u16string out;
    for (unsigned char c : Utf8Of(s))
    {
        bool bPlain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~';
        if (bPlain)
        {
            out.push_back(c);
            continue;
        }
        out.push_back(u'%');
        out.push_back(static_cast<char16_t>(kHex[c >> 4]));
        out.push_back(static_cast<char16_t>(kHex[c & 15]));
    }
    return out;
}

std::u16string QuestionPageAddress(const std::u16string& szServer, const std::u16string& szPagePath,
                                   const std::u16string& szConfCode, bool bChief)
{
    return u"http://" + szServer + szPagePath + u"?confcode=" + PercentEncode(szConfCode) +
           (bChief ? u"&auth=1" : u"&auth=0");
}
