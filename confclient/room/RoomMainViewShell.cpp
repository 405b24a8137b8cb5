// CRoomMainViewDlg and the shell: the taskbar group's registry entries, files dropped on the
// window in player mode, the minimised window's face.
#include "confclient/network/registry/Registry.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/TaskbarGroup.h"
#include "confclient/session/texttable/TextTable.h"
#include "winui/WideText.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
// The text of a small file, when it exists.
std::optional<std::u16string> FileText(const std::wstring& szPath)
{
    std::ifstream file(std::filesystem::path(szPath), std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return CTextTable::Decode(bytes.data(), bytes.size());
}

bool FileExists(const std::wstring& szPath)
{
    DWORD dwAttr = ::GetFileAttributesW(szPath.c_str());
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

void CRoomMainViewDlg::GroupOnTaskbar(const std::wstring& szProgram, const std::wstring& szSkinFolder)
{
    S_TASKBARGROUPINPUT in;
    in.szProgram = U16Of(szProgram);
    in.szProgramPath =
        U16Of(RegReadString(HKEY_CURRENT_USER, RegProgramKey(szProgram).c_str(), L"ProgramPath", L""));
    const std::wstring szIcon = szSkinFolder + L"\\GroupIcon.ico";
    if (FileExists(szIcon)) in.groupIconPath = U16Of(szIcon);
    in.nameFileText = FileText(szSkinFolder + L"\\TaskbarName.ini");
    for (const S_REGWRITE& w : TaskbarGroupEntries(in))
        RegWriteString(w.bMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, WideOf(w.szKey).c_str(),
                       WideOf(w.szName).c_str(), WideOf(w.szValue).c_str());
}

void CRoomMainViewDlg::SetFileDrop(bool bRvEdition,
                                   std::function<void(DropAction, const std::wstring&)> onDrop)
{
    m_bRvEdition = bRvEdition;
    m_onDrop = std::move(onDrop);
}

void CRoomMainViewDlg::OnDropFiles(HDROP hDrop)
{
    // The whole path is read, however long: the rule refuses a long one rather than open a cut name.
    UINT nLen = ::DragQueryFileW(hDrop, 0, nullptr, 0);
    std::wstring szPath(nLen, L'\0');
    if (nLen) ::DragQueryFileW(hDrop, 0, szPath.data(), nLen + 1);
    ::DragFinish(hDrop);
    if (!nLen) return;
    DropAction action = DroppedFileAction(U16Of(szPath), m_state.bPlayer, m_bRvEdition);
    if (action != DROP_IGNORE && m_onDrop) m_onDrop(action, szPath);
}

bool CRoomMainViewDlg::PaintIconic()
{
    if (!::IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT rc;
    GetClientRect(&rc);
    auto hIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG, 0));
    if (hIcon)
        ::DrawIcon(hDC, (rc.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                   (rc.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2, hIcon);
    ::EndPaint(m_hWnd, &ps);
    return true;
}
