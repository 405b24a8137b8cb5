// The dialer's rules and state, the phone book's lines, and the end or failure of a call.
#include "confclient/people/CallFeature.h"

#include <algorithm>

#include "confclient/session/roomdispatch/RoomRules.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "core/Utf8Text.h"

namespace
{
// Virtual-key codes the dialer reads.
constexpr unsigned kVkCancel = 0x03; // Ctrl+Break
constexpr unsigned kVkBack = 0x08;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkDelete = 0x2E;
constexpr unsigned kVkDigit0 = 0x30;
constexpr unsigned kVkPad0 = 0x60;
constexpr unsigned kVkMultiply = 0x6A;
constexpr unsigned kVkDecimal = 0x6E;
constexpr unsigned kVkSemicolon = 0xBA; // ';' and ':'
constexpr unsigned kVkPeriod = 0xBE;

constexpr char16_t kPhoneLinkPrefix[] = u"http://phone_";

bool IsDialDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'*' || c == u'#';
}

std::u16string Lower(std::u16string s)
{
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

std::u16string WithDashes(const std::u16string& s, size_t nFirst, size_t nSecond)
{
    std::u16string out = s.substr(0, nFirst) + u"-";
    if (nSecond == 0) return out + s.substr(nFirst);
    return out + s.substr(nFirst, nSecond - nFirst) + u"-" + s.substr(nSecond);
}

std::u16string Decimal(unsigned n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}
} // namespace

std::u16string FormatNumber(const std::u16string& szNumber)
{
    const size_t n = szNumber.size();
    for (char16_t c : szNumber)
        if (!IsDialDigit(c)) return szNumber;
    if (szNumber.compare(0, 2, u"02") == 0)
    {
        if (n <= 2) return szNumber;
        if (n == 9) return WithDashes(szNumber, 2, 5);
        if (n <= 6) return WithDashes(szNumber, 2, 0);
        return WithDashes(szNumber, 2, 6);
    }
    if (n <= 3) return szNumber;
    if (n <= 7) return WithDashes(szNumber, 3, 0);
    if (n == 8) return WithDashes(szNumber, 4, 0);
    if (n <= 10) return WithDashes(szNumber, 3, 6);
    return WithDashes(szNumber, 3, 7);
}

bool IsTelephoneNumber(const std::u16string& szNumber)
{
    for (char16_t c : szNumber)
        if (!IsDialDigit(c)) return false;
    return true;
}

std::u16string WithoutDashes(const std::u16string& szNumber)
{
    std::u16string out;
    for (char16_t c : szNumber)
        if (c != u'-') out.push_back(c);
    return out;
}

std::u16string PhoneBookText(const std::vector<PhoneBookEntry>& rows)
{
    std::u16string text;
    for (const PhoneBookEntry& row : rows)
    {
        std::u16string line = row.szName + u" = " + Decimal(row.wKind) + u";" + row.szNumber + u"\n";
        if (text.size() + line.size() + 1 > kPhoneBookMaxChars) break;
        text += line;
    }
    return text;
}

std::vector<PhoneBookEntry> ParsePhoneBook(const std::u16string& szText, size_t* pSkipped)
{
    std::vector<PhoneBookEntry> rows;
    size_t nSkipped = 0;
    size_t nStart = 0;
    while (nStart < szText.size())
    {
        size_t nEnd = szText.find(u'\n', nStart);
        if (nEnd == std::u16string::npos) nEnd = szText.size();
        const std::u16string line = szText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (line.empty()) continue;
        // "name = kind;number": the kind one digit of 0..2, name and number not empty.
        const size_t nEq = line.find(u" = ");
        const size_t nSemi = nEq == std::u16string::npos ? nEq : line.find(u';', nEq + 3);
        if (nEq == 0 || nSemi != nEq + 4 || nSemi + 1 >= line.size() || line[nEq + 3] < u'0' ||
            line[nEq + 3] > u'2' || BadNameChar(line.substr(0, nEq)) != 0)
        {
            ++nSkipped;
            continue;
        }
        rows.push_back(
            {static_cast<uint16_t>(line[nEq + 3] - u'0'), line.substr(0, nEq), line.substr(nSemi + 1)});
    }
    if (pSkipped) *pSkipped = nSkipped;
    return rows;
}

char16_t BadNumberChar(const std::u16string& szNumber)
{
    for (char16_t c : szNumber)
        if (!((c >= u'0' && c <= u'9') || c == u'-' || c == u'*' || c == u'#' || c == u'.' || c == u':' ||
              c == u'@'))
            return c;
    return 0;
}

char16_t BadNameChar(const std::u16string& szName)
{
    for (char16_t c : szName)
        if (c == u'\n' || c == u'\r' || c == u';' || c == u'=') return c;
    return 0;
}

LinkAction NavigationOf(const std::u16string& szUrl, const std::u16string& szPageUrl)
{
    LinkAction action;
    const std::u16string lower = Lower(szUrl);
    const std::u16string page = Lower(szPageUrl);
    if (!page.empty() && lower.compare(0, page.size(), page) == 0) return action;
    action.bCancel = true;
    const std::u16string prefix(kPhoneLinkPrefix);
    if (lower.compare(0, prefix.size(), prefix) != 0) return action;
    std::u16string number;
    for (char16_t c : szUrl.substr(prefix.size()))
        if (c != u'/') number.push_back(c);
    if (!number.empty()) action.number = number;
    return action;
}

DialerArea DialerPlacement(int cx, int cy, const DialerArea& room, const DialerArea& workArea, bool bOnScreen)
{
    const DialerArea& over = bOnScreen ? workArea : room;
    int x = over.left + (over.right - over.left - cx) / 2;
    int y = over.top + (over.bottom - over.top - cy) / 2;
    // The far edges first, so that a dialer larger than the work area keeps its title band in it.
    x = std::max(workArea.left, std::min(x, workArea.right - cx));
    y = std::max(workArea.top, std::min(y, workArea.bottom - cy));
    return {x, y, x + cx, y + cy};
}

DialKeyAction DialKeyOf(unsigned nVk, bool bShift, bool bControl)
{
    if (nVk == kVkCancel) return {DialInput::Swallow};
    if (bControl) return {};
    if (nVk >= kVkDigit0 && nVk <= kVkDigit0 + 9)
    {
        const int nDigit = static_cast<int>(nVk - kVkDigit0);
        if (!bShift) return {DialInput::Key, kDialKeyFirst + nDigit};
        if (nDigit == 2) return {DialInput::Key, kDialKeyFirst + 2}; // with Shift: '@'
        if (nDigit == 3) return {DialInput::Key, kDialKeyHash};
        if (nDigit == 8) return {DialInput::Key, kDialKeyStar};
        return {};
    }
    if (nVk >= kVkPad0 && nVk <= kVkPad0 + 9)
        return {DialInput::Key, kDialKeyFirst + static_cast<int>(nVk - kVkPad0)};
    switch (nVk)
    {
    case kVkMultiply:
        return {DialInput::Key, kDialKeyStar};
    case kVkDecimal:
        return {DialInput::Separator, 0, u'.'};
    case kVkPeriod:
        return bShift ? DialKeyAction{} : DialKeyAction{DialInput::Separator, 0, u'.'};
    case kVkSemicolon:
        return bShift ? DialKeyAction{DialInput::Separator, 0, u':'} : DialKeyAction{};
    case kVkBack:
        return {bShift ? DialInput::ClearNumber : DialInput::Backspace};
    case kVkDelete:
        return {DialInput::Delete};
    case kVkEscape:
        return {DialInput::Escape};
    default:
        return {};
    }
}

void CCallFeature::OpenDialer(ICallView& view)
{
    m_pView = &view;
    m_bBookChanged = false;
    m_sender.SendPhoneBookQuery();
    size_t nSkipped = 0;
    m_book = ParsePhoneBook(m_room.szPrivateData, &nSkipped);
    if (nSkipped)
        LogF(m_pLog, LOG_ERROR, "[CALL] %u phone book lines skipped", static_cast<unsigned>(nSkipped));
    ShowRows();
    m_pView->ShowNumber(m_szDisplay);
    m_pView->ShowCallState(m_nCallState);
}

void CCallFeature::CloseDialer()
{
    if (!m_pView) return;
    m_pView = nullptr;
    const std::u16string text = PhoneBookText(m_book);
    if (text == m_room.szPrivateData) return;
    m_room.szPrivateData = text;
    m_sender.SendPhoneBook(text);
    LogF(m_pLog, LOG_INFO, "[CALL] phone book stored, %u rows", static_cast<unsigned>(m_book.size()));
}

bool CCallFeature::PressKey(int nKeyId, bool bShift)
{
    if (m_szNumber.size() >= kDialKeyLimit) return false;
    char16_t ch = 0;
    if (nKeyId >= kDialKeyFirst && nKeyId < kDialKeyFirst + 10)
        ch = (bShift && nKeyId == kDialKeyFirst + 2) ? u'@'
                                                     : static_cast<char16_t>(u'0' + nKeyId - kDialKeyFirst);
    else if (nKeyId == kDialKeyStar)
        ch = m_bCalling ? u'*' : u'.';
    else if (nKeyId == kDialKeyHash)
        ch = u'#';
    else
        return false;
    m_szNumber.push_back(ch);
    NumberChanged();
    return true;
}

bool CCallFeature::TypeSeparator(char16_t ch)
{
    if ((ch != u'.' && ch != u':') || m_szNumber.size() >= kDialSeparatorLimit) return false;
    m_szNumber.push_back(ch);
    NumberChanged();
    return true;
}

bool CCallFeature::Backspace()
{
    if (m_szNumber.empty()) return false;
    m_szNumber.pop_back();
    NumberChanged();
    return true;
}

void CCallFeature::ClearNumber()
{
    m_szNumber.clear();
    NumberChanged();
}

void CCallFeature::SetNumber(const std::u16string& szNumber)
{
    m_szNumber = WithoutDashes(szNumber);
    NumberChanged();
}

void CCallFeature::NumberChanged()
{
    m_szDisplay = FormatNumber(m_szNumber);
    if (m_pView) m_pView->ShowNumber(m_szDisplay);
}

void CCallFeature::Dial(bool bVoice)
{
    if (m_bCalling || m_szNumber.empty()) return;
    const bool bTelephone = IsTelephoneNumber(m_szNumber);
    // A document room takes voice calls to telephones only.
    if (m_room.info.wRoomType == kDocumentRoomType && (!bVoice || !bTelephone))
    {
        m_notices.ShowBox(m_notices.Text("IDS_MSG_PHONE_NONINVITE"));
        return;
    }
    // The call field holds 64 characters: a cut number would call someone else.
    if (m_szNumber.size() > kCallNumberUnits)
    {
        m_notices.ShowBox(m_notices.Text("IDS_MSG_PHONE_NUMBERLONG"));
        return;
    }
    QNPhoneCall call;
    call.dwFlags = (bTelephone ? kCallTelephone : kCallTerminal) | (bVoice ? kCallVoice : 0);
    call.szNumber = m_szNumber;
    const uint32_t dwRequest = NextRequestId();
    m_sender.SendPhoneCall(call);
    LogF(m_pLog, LOG_INFO, "[CALL] request %u: %s, flags 0x%02x", dwRequest, Utf8Of(m_szNumber).c_str(),
         call.dwFlags);
    m_bCalling = true;
    SetCallState(bVoice ? 1 : 2);
}

void CCallFeature::SetNumberAndDial(const std::u16string& szKind, const std::u16string& szNumber)
{
    SetNumber(szNumber);
    Dial(szKind != u"1");
}

void CCallFeature::HangUpButton()
{
    if (m_bCalling)
        HangUp();
    else
    {
        // A member that joined by a call carries the number as its ID, without the dashes
        // of the display form.
        for (const S_ROOMUSERINFO& user : m_room.users.Users())
            if (!m_szNumber.empty() && (user.ID == m_szNumber || user.ID == m_szDisplay))
            {
                m_sender.SendBanish(user.userIndex, user.channel);
                LogF(m_pLog, LOG_INFO, "[CALL] hang up %s, CH:%d", Utf8Of(user.ID).c_str(), user.channel);
                break;
            }
    }
    SetCallState(0);
}

void CCallFeature::HangUp()
{
    m_sender.SendHangUp();
    m_bCalling = false;
    SetCallState(0);
}

void CCallFeature::OnCallEnded(uint16_t, const QNPacketDesc&)
{
    EndCall();
    LogF(m_pLog, LOG_INFO, "[CALL] ended");
}

void CCallFeature::OnCallFailed(uint16_t, const QNPacketDesc& desc)
{
    EndCall();
    const uint16_t wCode = static_cast<uint16_t>(desc.dwExtra);
    if (const char* pszKey = CallFailureTextKey(wCode)) m_notices.ShowBox(m_notices.Text(pszKey));
    LogF(m_pLog, LOG_ERROR, "[CALL] failed (%d)", wCode);
}

void CCallFeature::EndCall()
{
    m_bCalling = false;
    SetCallState(0);
}

void CCallFeature::SetCallState(int nState)
{
    m_nCallState = nState;
    if (m_pView) m_pView->ShowCallState(nState);
}

PhoneEntryResult CCallFeature::AddPhoneEntry(const std::u16string& szKind, const std::u16string& szName,
                                             const std::u16string& szNumber)
{
    const std::u16string bad = m_notices.Text("IDS_CONF_NONCHARACTER");
    if (char16_t ch = BadNumberChar(szNumber))
    {
        m_notices.ShowBox(u"[" + std::u16string(1, ch) + u"] " + bad);
        return PhoneEntryResult::BadNumber;
    }
    if (szName.empty() || szNumber.empty() || szKind.size() != 1 || szKind[0] < u'0' || szKind[0] > u'2')
        return PhoneEntryResult::Incomplete;
    if (char16_t ch = BadNameChar(szName))
    {
        m_notices.ShowBox(u"[" + std::u16string(1, ch) + u"] " + bad);
        return PhoneEntryResult::BadName;
    }
    // The stored text must hold every row: one that would not fit is refused now, not dropped at close.
    const size_t nLine = szName.size() + 3 + 2 + szNumber.size() + 1; // "name = k;number\n"
    if (PhoneBookText(m_book).size() + nLine + 1 > kPhoneBookMaxChars)
    {
        m_notices.ShowBox(m_notices.Text("IDS_MSG_PHONE_BOOKFULL"));
        return PhoneEntryResult::BookFull;
    }
    std::vector<PhoneBookEntry> rows = m_book;
    rows.push_back({static_cast<uint16_t>(szKind[0] - u'0'), szName, szNumber});
    m_book = std::move(rows);
    m_bBookChanged = true;
    ShowRows();
    return PhoneEntryResult::Added;
}

void CCallFeature::DeletePhoneEntry(size_t nRow)
{
    if (nRow >= m_book.size()) return;
    m_book.erase(m_book.begin() + static_cast<std::ptrdiff_t>(nRow));
    m_bBookChanged = true;
    ShowRows();
}

void CCallFeature::ParsePrivateData(const std::u16string& szText)
{
    if (!m_pView || m_bBookChanged) return;
    size_t nSkipped = 0;
    m_book = ParsePhoneBook(szText, &nSkipped);
    if (nSkipped)
        LogF(m_pLog, LOG_ERROR, "[CALL] %u phone book lines skipped", static_cast<unsigned>(nSkipped));
    ShowRows();
}

void CCallFeature::ShowRows()
{
    if (m_pView) m_pView->ShowPhoneBook(m_book);
}
