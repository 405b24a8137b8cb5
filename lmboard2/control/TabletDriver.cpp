// Loading and checking the pen-tablet driver library.
#include "lmboard2/control/TabletDriver.h"

#include <wincrypt.h>

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "lmboard2/view/TabletPen.h"

namespace
{
constexpr wchar_t kDriverLibrary[] = L"Wintab32.dll";

std::optional<std::array<uint16_t, 4>> FileVersion(const std::filesystem::path& file)
{
    DWORD dwHandle = 0;
    DWORD cb = GetFileVersionInfoSizeW(file.c_str(), &dwHandle);
    if (!cb) return std::nullopt;
    std::vector<BYTE> info(cb);
    if (!GetFileVersionInfoW(file.c_str(), 0, cb, info.data())) return std::nullopt;
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLen = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&pFixed), &nLen) ||
        nLen < sizeof *pFixed)
        return std::nullopt;
    return std::array<uint16_t, 4>{HIWORD(pFixed->dwFileVersionMS), LOWORD(pFixed->dwFileVersionMS),
                                   HIWORD(pFixed->dwFileVersionLS), LOWORD(pFixed->dwFileVersionLS)};
}
} // namespace

std::wstring FileSignerName(const std::filesystem::path& file)
{
    HCERTSTORE hStore = nullptr;
    HCRYPTMSG hMsg = nullptr;
    DWORD dwEncoding = 0, dwContent = 0, dwFormat = 0;
    if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, file.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                          CERT_QUERY_FORMAT_FLAG_BINARY, 0, &dwEncoding, &dwContent, &dwFormat, &hStore,
                          &hMsg, nullptr))
        return {};
    std::wstring name;
    DWORD cb = 0;
    if (CryptMsgGetParam(hMsg, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &cb) && cb)
    {
        std::vector<BYTE> buffer(cb);
        if (CryptMsgGetParam(hMsg, CMSG_SIGNER_INFO_PARAM, 0, buffer.data(), &cb))
        {
            const auto* pSigner = reinterpret_cast<const CMSG_SIGNER_INFO*>(buffer.data());
            CERT_INFO certInfo{};
            certInfo.Issuer = pSigner->Issuer;
            certInfo.SerialNumber = pSigner->SerialNumber;
            if (PCCERT_CONTEXT pCert =
                    CertFindCertificateInStore(hStore, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                               CERT_FIND_SUBJECT_CERT, &certInfo, nullptr))
            {
                wchar_t text[256] = {};
                CertGetNameStringW(pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, text, ARRAYSIZE(text));
                name = text;
                CertFreeCertificateContext(pCert);
            }
        }
    }
    CryptMsgClose(hMsg);
    CertCloseStore(hStore, 0);
    return name;
}

bool CWintab::DriverFilesSupported(const std::filesystem::path& driverFolder) const
{
    std::optional<std::array<uint16_t, 4>> version = FileVersion(driverFolder / kDriverLibrary);
    if (!version || !TabletVersionAccepted(*version)) return false;
    std::error_code ec;
    if (!std::filesystem::exists(driverFolder / L"Pen_Tablet.dll", ec) ||
        !std::filesystem::exists(driverFolder / L"Pen_Touch_Tablet.dll", ec))
        return false;
    return FileSignerName(driverFolder / L"Pen_Touch_Tablet.dll").find(L"Wacom") != std::wstring::npos;
}

bool CWintab::ResolveEntryPoints()
{
    for (const char* name : kWintabEntryPoints)
        if (!GetProcAddress(m_hModule, name)) return false;
    WTInfoA = reinterpret_cast<PFN_WTInfoA>(reinterpret_cast<void*>(GetProcAddress(m_hModule, "WTInfoA")));
    WTOpenA = reinterpret_cast<PFN_WTOpenA>(reinterpret_cast<void*>(GetProcAddress(m_hModule, "WTOpenA")));
    WTClose = reinterpret_cast<PFN_WTClose>(reinterpret_cast<void*>(GetProcAddress(m_hModule, "WTClose")));
    WTPacket = reinterpret_cast<PFN_WTPacket>(reinterpret_cast<void*>(GetProcAddress(m_hModule, "WTPacket")));
    return true;
}

bool CWintab::LoadTablet(const std::filesystem::path& driverFolder)
{
    UnloadWintab();
    m_hModule = LoadLibraryW(kDriverLibrary);
    if (!m_hModule)
    {
        char text[64];
        std::snprintf(text, sizeof text, "LoadLibrary error: %i\n", static_cast<int>(GetLastError()));
        OutputDebugStringA(text);
        OutputDebugStringA("Could not load Wintab32.dll");
        return false;
    }
    if (!DriverFilesSupported(driverFolder)) return false;
    if (!ResolveEntryPoints())
    {
        UnloadWintab();
        return false;
    }
    m_bUsable = true;
    return true;
}

void CWintab::UnloadWintab()
{
    WTInfoA = nullptr;
    WTOpenA = nullptr;
    WTClose = nullptr;
    WTPacket = nullptr;
    m_bUsable = false;
    if (m_hModule) FreeLibrary(m_hModule);
    m_hModule = nullptr;
}
