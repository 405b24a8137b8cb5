// CRoomUserListDlg: the room's participants, one row each: "name (ch N)", then their status.
#pragma once
#include "confclient/room/SidePanelDlg.h"
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class IRoomHost;

class CRoomUserListDlg : public CSidePanelDlg
{
public:
    explicit CRoomUserListDlg(IRoomHost* pHost = nullptr);

    // Replaces every row; a row's item data is its channel.
    void SetUsers(const std::vector<std::pair<uint16_t, std::wstring>>& chNames);
    void RemoveRow(uint16_t ch);
    // The row of that channel shows the status and flags; an unknown channel changes nothing.
    void UpdateUserRow(uint16_t ch, uint16_t wStatus, uint32_t dwFlags);
    int RowCount() const;
    std::wstring RowText(int nIndex) const;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Row
    {
        uint16_t wChannel;
        std::wstring szName;
    };
    int FindRow(uint16_t ch) const;
    // The channel of the selected row; 65535 without one.
    uint16_t SelectedChannel() const;
    // The participant menu of the selected row at the screen point, present, enabled and checked
    // by the menus' rules.
    void ShowUserMenu(POINT pt);

    IRoomHost* m_pHost;
    static std::wstring BaseText(const Row& row);

    std::vector<Row> m_rows; // in list order
};
