// Quillon.exe's entry: the application object runs the main dialog and frees what start-up took.
#include <windows.h>

#include <string>

#include "confclient/session/app/ConfClientApp.h"

namespace
{
// The command line after the program's own name (quoted or not) and the blanks after it.
std::wstring ArgumentsOf(const wchar_t* p)
{
    if (*p == L'"')
    {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p) ++p;
    }
    else
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CConfClientApp app(ArgumentsOf(GetCommandLineW()));
    app.m_hInstance = hInstance;
    app.InitInstance();
    return app.ExitInstance();
}
