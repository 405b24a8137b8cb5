// The room's calls and the phone book as the network object sends them.
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/RoomMainViewDlg.h"

void IConfDlg::SendPhoneCall(const QNPhoneCall& call)
{
    if (m_pNet) m_pNet->SendPhoneCall(call);
}

void IConfDlg::SendHangUp()
{
    if (m_pNet) m_pNet->SendCmd810();
}

void IConfDlg::SendBanish(uint16_t wUserIndex, uint16_t wChannel)
{
    if (m_pNet) m_pNet->SendBanish(wUserIndex, wChannel);
}

void IConfDlg::SendPhoneBookQuery()
{
    if (m_pNet) m_pNet->SendTerminalQuery();
}

void IConfDlg::SendPhoneBook(const std::u16string& szText)
{
    if (m_pNet) m_pNet->SendTerminalCall(szText);
}

void IConfDlg::StartCallDialer()
{
    if (!m_pMainView) return;
    CallDialerSetup setup;
    setup.pCall = &m_call;
    setup.pHost = this;
    setup.dwCallOptions = m_sysOption.dwOption62;
    setup.szPageUrl = L"http://" + WideOf(m_launch.fields.szServerAddress) + L"/invite/invite_phone.asp";
    setup.szSettingsKey = RegProgramKey(m_szExeName);
    // Read here: the room's windows are made before its panels read their settings.
    setup.bCentreOnScreen =
        RegReadDword(HKEY_CURRENT_USER, setup.szSettingsKey.c_str(), L"DualMonitor", 0) != 0;
    m_pMainView->SetCallDialer(std::move(setup));
    m_pMainView->EnableCallTerminal(!IsPlayerMode() &&
                                    (m_sysOption.dwOption62 & (kUsePhoneCall | kUseHwCall)));
}
