// Times a full reload of 1,000 pages (AddPage 1, 0 ... 0, 2) into the agenda list, painted
// once, beside a bare tree view (a child with the same styles and pictures) filled with the same
// 1,000 items with its redraw off and painted once, in alternating rounds; prints each side's
// median and their ratio, and the list tree's paints per round.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "confclient/room/RoomAgendaListDlg.h"
#include "winui/WinApp.h"

namespace
{
constexpr int kPages = 1000;
constexpr int kRounds = 15;

class CQuietHost : public IAgendaListHost
{
public:
    SAgendaRights AgendaListRights() const override { return {true, false, false, 1}; }
    int AgendaBoardMode() const override { return 0; }
    void ShowBoardPage(int) override {}
    Answer ConfirmPageDelete(int) override { return Answer::Keep; }
    void DeletePageCheck() override {}
    void SendDeletePage(bool, const std::u16string&) override {}
    void LoadDroppedFile(const std::wstring&) override {}
    std::wstring AgendaText(const char*) const override { return L"Agenda"; }
    void AgendaNotice(const char*) override {}
};

std::vector<S_BOARD_FILEHDR> Pages()
{
    std::vector<S_BOARD_FILEHDR> pages(kPages);
    for (int i = 0; i < kPages; ++i)
    {
        const std::u16string name = u"bench_" + std::u16string(1, u'0' + i / 100) +
                                    std::u16string(1, u'0' + i / 10 % 10) + std::u16string(1, u'0' + i % 10);
        pages[i].byKind = i == 0 ? PAGE_BLANK : PAGE_PICTURE;
        S_BOARD_FILEHDR::SetText(pages[i].szName, name);
        S_BOARD_FILEHDR::SetText(pages[i].szTitle, u"Page " + name.substr(6));
    }
    return pages;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The list's tree's paints, counted on top of its own procedure.
WNDPROC g_pfnTree = nullptr;
int g_nTreePaints = 0;
LRESULT CALLBACK CountPaints(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) ++g_nTreePaints;
    return ::CallWindowProcW(g_pfnTree, hWnd, msg, wParam, lParam);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
} // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    HINSTANCE hResource = ::LoadLibraryW(QUILLON_RESOURCE_DLL);
    if (!hResource) return 1;
    AfxSetResourceHandle(hResource);
    CWnd host;
    if (!host.CreateEx(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, RECT{0, 0, 260, 700}, nullptr, 0))
        return 1;
    CQuietHost quiet;
    CRoomAgendaListDlg list(nullptr, &quiet);
    if (!list.Create(&host)) return 1;
    list.SetWindowPos(nullptr, 0, 0, 240, 680, SWP_NOZORDER | SWP_SHOWWINDOW);
    // The bare tree stands as the list's does: a child, with the same styles and item pictures.
    CWnd bareHost;
    if (!bareHost.CreateEx(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE, RECT{300, 0, 560, 700}, nullptr, 0))
        return 1;
    HWND hBare = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                       TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                                   0, 0, 240, 680, bareHost.m_hWnd, nullptr, nullptr, nullptr);
    TreeView_SetImageList(hBare, TreeView_GetImageList(list.Tree().m_hWnd, TVSIL_NORMAL), TVSIL_NORMAL);
    const std::vector<S_BOARD_FILEHDR> pages = Pages();
    Pump();
    g_pfnTree = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list.Tree().m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
    int nMostPaints = 0;

    std::vector<double> listTimes, bareTimes;
    for (int r = 0; r < kRounds; ++r)
    {
        g_nTreePaints = 0;
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kPages; ++i)
        {
            const int nMode = i == 0 ? 1 : (i + 1 == kPages ? 2 : 0);
            list.Tree().OnAddPage(nMode, pages[i], list.ListsPage(nMode, pages[i]));
        }
        ::UpdateWindow(list.Tree().m_hWnd);
        listTimes.push_back(Seconds(t0));
        Pump();
        nMostPaints = std::max(nMostPaints, g_nTreePaints);

        t0 = std::chrono::steady_clock::now();
        ::SendMessageW(hBare, WM_SETREDRAW, FALSE, 0);
        TreeView_DeleteAllItems(hBare);
        for (int i = 0; i < kPages; ++i)
        {
            std::u16string title = S_BOARD_FILEHDR::Text(pages[i].szTitle);
            std::wstring text(title.begin(), title.end());
            TVINSERTSTRUCTW ins{};
            ins.hParent = TVI_ROOT;
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            ins.item.pszText = text.data();
            ins.item.lParam = i;
            ins.item.iImage = ins.item.iSelectedImage = i == 0 ? 0 : 2;
            TreeView_InsertItem(hBare, &ins);
        }
        ::SendMessageW(hBare, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hBare, nullptr, TRUE);
        ::UpdateWindow(hBare);
        bareTimes.push_back(Seconds(t0));
        Pump();
    }
    const double dList = Median(listTimes), dBare = Median(bareTimes);
    std::printf("pages %d rounds %d: agenda list %.2f ms, bare tree %.2f ms, ratio %.2f, list tree paints "
                "per round at most %d\n",
                kPages, kRounds, dList * 1e3, dBare * 1e3, dList / dBare, nMostPaints);
    ::SetWindowLongPtrW(list.Tree().m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnTree));
    list.DestroyWindow();
    ::DestroyWindow(hBare);
    bareHost.DestroyWindow();
    host.DestroyWindow();
    return 0;
}
