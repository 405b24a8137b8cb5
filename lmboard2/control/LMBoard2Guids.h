// Identifiers of the whiteboard control's type library, interfaces and classes: the contract
// with its host, which finds the control by ProgID.
#pragma once
#include <guiddef.h>

// LMBOARD2Lib 1.0
inline constexpr GUID LIBID_LMBOARD2Lib = {
    0x12630617, 0x3A4C, 0x4567, {0xA2, 0xF9, 0x2A, 0x77, 0x80, 0x42, 0x0A, 0x14}};
// _DLMBoard2
inline constexpr IID DIID_DLMBoard2 = {
    0x9E4DE9CB, 0x5E81, 0x4012, {0x81, 0x0D, 0xE5, 0x4A, 0x8E, 0x61, 0x38, 0x66}};
// _DLMBoard2Events
inline constexpr IID DIID_DLMBoard2Events = {
    0x78D5C2C3, 0x7214, 0x4D16, {0xA8, 0xC5, 0x7B, 0x6D, 0x98, 0x64, 0x62, 0xD7}};
// The control class, our own choice: {72FF67C4-F137-4337-8910-CF7378E0DE94}
inline constexpr CLSID CLSID_LMBoard2 = {
    0x72FF67C4, 0xF137, 0x4337, {0x89, 0x10, 0xCF, 0x73, 0x78, 0xE0, 0xDE, 0x94}};
// The empty property page: {E3681066-55E2-48E4-AE20-0E4B4AC6CA8A}
inline constexpr CLSID CLSID_LMBoard2PropPage = {
    0xE3681066, 0x55E2, 0x48E4, {0xAE, 0x20, 0x0E, 0x4B, 0x4A, 0xC6, 0xCA, 0x8A}};

inline constexpr wchar_t kBoardProgId[] = L"LMBOARD2.LMBoard2Ctrl.1";
inline constexpr wchar_t kBoardPropPageProgId[] = L"LMBOARD2.LMBoard2PropPage.1";

// Invisible at run time, inside-out, can't link inside, recompose on resize, set client site first.
inline constexpr unsigned long kBoardMiscStatus = 0x20491;
