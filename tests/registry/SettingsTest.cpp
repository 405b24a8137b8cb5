// The settings rules, held by every backing: defaults, writes, the text limit, and the two keys kept apart.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "confclient/network/registry/Settings.h"
#include "tests/registry/SettingsBackings.h"

namespace
{
class SettingsTest : public ::testing::TestWithParam<BackingFactory>
{
protected:
    void SetUp() override { settings = GetParam().make(); }
    std::unique_ptr<ISettings> settings;
};
} // namespace

TEST_P(SettingsTest, MissingValuesReadAsTheDefault)
{
    EXPECT_EQ(7u, settings->ReadDword(SettingsKey::Program, u"NoSuchValue", 7));
    EXPECT_EQ(u"INFO|ERROR", settings->ReadString(SettingsKey::Program, u"Log", u"INFO|ERROR"));
    EXPECT_EQ(u"", settings->ReadString(SettingsKey::Common, u"NoSuchValue", u""));
}

TEST_P(SettingsTest, WrittenValuesReadBackUnderTheirOwnKey)
{
    ASSERT_TRUE(settings->WriteDword(SettingsKey::Program, u"Floating_Video", 0xA1B2C3D4));
    ASSERT_TRUE(settings->WriteString(SettingsKey::Common, u"Skin", u"Blue \u00e9t\u00e9"));
    EXPECT_EQ(0xA1B2C3D4u, settings->ReadDword(SettingsKey::Program, u"Floating_Video", 0));
    EXPECT_EQ(u"Blue \u00e9t\u00e9", settings->ReadString(SettingsKey::Common, u"Skin", u"x"));
    EXPECT_EQ(5u, settings->ReadDword(SettingsKey::Common, u"Floating_Video", 5));
    EXPECT_EQ(u"x", settings->ReadString(SettingsKey::Program, u"Skin", u"x"));
    // A number read from a text value is not a number.
    EXPECT_EQ(9u, settings->ReadDword(SettingsKey::Common, u"Skin", 9));
}

TEST_P(SettingsTest, TextLengthLimit)
{
    struct
    {
        size_t nChars;
        bool bFits;
    } cases[] = {{0, true}, {259, true}, {260, false}, {300, false}};
    for (auto c : cases)
    {
        std::u16string text(c.nChars, u'q');
        ASSERT_TRUE(settings->WriteString(SettingsKey::Program, u"Long", text));
        EXPECT_EQ(c.bFits ? text : u"default",
                  settings->ReadString(SettingsKey::Program, u"Long", u"default"))
            << c.nChars << " characters";
    }
}

INSTANTIATE_TEST_SUITE_P(Backings, SettingsTest, ::testing::ValuesIn(SettingsBackings()),
                         [](const auto& info) { return info.param.name; });
