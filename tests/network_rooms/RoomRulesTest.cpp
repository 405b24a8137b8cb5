// The room dispatcher's tables and the check of a server-chosen recording name.
#include <gtest/gtest.h>

#include <cstring>

#include "confclient/session/roomdispatch/RoomRules.h"

namespace
{
std::string Key(const char* p)
{
    return p ? p : "(none)";
}
} // namespace

TEST(RoomRules, ReasonAndFailureTables)
{
    struct
    {
        uint16_t wCode;
        const char* pszNak;
        const char* pszCall;
    } cases[] = {
        {0, "(none)", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1, "(none)", "IDS_DIFFER_INVITE_ERROR_MGINFO"},
        {4, "(none)", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {99, "(none)", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {104, "(none)", "IDS_DIFFER_INVITE_ERROR_SSCTO"},
        {105, "(none)", "(none)"},
        {109, "(none)", "IDS_DIFFER_INVITE_ERROR_EXCEED_MAX"},
        {110, "(none)", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1002, "IDS_NAK_LOBY_MAXUSEROVERFLOW", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1009, "IDS_DESKTOP_16BIT", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1201, "IDS_MSG_INVITE_ACCEPTFAILED", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1202, "IDS_CONF_NOSEAT", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1205, "IDS_EXCEED_MAXUSER", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1206, "IDS_SERVERERROR_OPEN", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
        {1500, "(none)", "IDS_DIFFER_INVITE_ERROR_UNKNOWN"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.wCode);
        EXPECT_EQ(c.pszNak, Key(NakConfTextKey(c.wCode)));
        EXPECT_EQ(c.pszCall, Key(CallFailureTextKey(c.wCode)));
    }
}

TEST(RoomRules, LogNamesOfRoomCommands)
{
    struct
    {
        uint16_t wCode;
        const char* pszName;
    } cases[] = {
        {302, "NAK_CONF_OPEN"},         {322, "NAK_CONF_JOIN"},         {381, "NAK_CONF_CONFTYPE"},
        {501, "NAK_CONF_SERVERRECORD"}, {504, "NAK_CONF_SERVERRECORD"}, {505, "INFO_CONF_SERVERRECORD"},
        {550, "INFO_CONF_PRESENTER"},   {552, "INFO_CONF_PRESENTER"},   {554, "NAK_CONF_SET_PRESENTER"},
        {902, "NAK_PRIVATE_LOADDATA"},  {912, "NAK_PRIVATE_SAVEDATA"},  {9999, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszName, RoomCommandName(c.wCode)) << c.wCode;
}

TEST(RoomRules, ServerRecordTargetKeepsAPlainNameInsideThePathLimit)
{
    const std::u16string folder = u"C:\\Rec\\";
    struct
    {
        const char* pszName;
        std::u16string szName;
        std::u16string szPath;
    } cases[] = {
        {"plain", u"Weekly talk", u"C:\\Rec\\Weekly talk.mp4"},
        {"empty", u"", u"C:\\Rec\\ServerRecord.mp4"},
        {"back slash", u"..\\..\\Windows\\evil", u"C:\\Rec\\ServerRecord.mp4"},
        {"slash", u"a/b", u"C:\\Rec\\ServerRecord.mp4"},
        {"drive", u"D:x", u"C:\\Rec\\ServerRecord.mp4"},
        {"dots", u"..", u"C:\\Rec\\ServerRecord.mp4"},
        {"dots inside", u"a..b", u"C:\\Rec\\ServerRecord.mp4"},
        {"control", u"a\nb", u"C:\\Rec\\ServerRecord.mp4"},
        {"wildcard", u"a*b", u"C:\\Rec\\ServerRecord.mp4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.szPath, ServerRecordTarget(folder, c.szName)) << c.pszName;

    // 7 + n + 4 characters must stay below 260 with the terminator.
    EXPECT_EQ(259u, ServerRecordTarget(folder, std::u16string(248, u'n')).size());
    EXPECT_EQ(u"", ServerRecordTarget(folder, std::u16string(249, u'n')));
    EXPECT_EQ(u"", ServerRecordTarget(std::u16string(300, u'f'), u"x"));
}
