// Identifiers of the video control library's type library, interfaces and classes: the contract
// with its host, which finds the controls by ProgID.
#pragma once
#include <guiddef.h>

// LMVideoLib 1.0
inline constexpr GUID LIBID_LMVideoLib = {
    0x4E542701, 0x3154, 0x4048, {0x89, 0x60, 0x68, 0x26, 0x2F, 0xC5, 0x82, 0x78}};
// _DLMVideo_Recv
inline constexpr IID DIID_DLMVideo_Recv = {
    0x2F78B9C8, 0x59B5, 0x456B, {0xBD, 0xB3, 0xA6, 0x91, 0xA3, 0x39, 0x14, 0x9F}};
// _DLMVideo_RecvEvents
inline constexpr IID DIID_DLMVideo_RecvEvents = {
    0xE6B85113, 0x0BA7, 0x4D2C, {0xA4, 0xB4, 0xD7, 0x15, 0x16, 0x7D, 0xE4, 0x09}};
// The receive control class LMVideo_Recv, our own choice: {C2EFCAEC-D3F0-4AB3-8D6C-C32C15306F54}
inline constexpr CLSID CLSID_LMVideo_Recv = {
    0xC2EFCAEC, 0xD3F0, 0x4AB3, {0x8D, 0x6C, 0xC3, 0x2C, 0x15, 0x30, 0x6F, 0x54}};

inline constexpr wchar_t kRecvProgId[] = L"LMVIDEO.LMVideoRecvCtrl.1";

// Activate when visible, set client site first, inside-out, can't link inside, recompose on resize.
inline constexpr unsigned long kRecvMiscStatus = 0x20191;

// The receive control's own window messages; a container may post the last two.
inline constexpr unsigned kRecvDrawFrame = 0x0400 + 1;       // wParam a posted record
inline constexpr unsigned kRecvReleaseRenderer = 0x0400 + 2; // release, with the REINIT broadcast
inline constexpr unsigned kRecvChooseRenderer = 0x0400 + 3;  // wParam the memory type

// _DLMVideo_Send
inline constexpr IID DIID_DLMVideo_Send = {
    0xF352A21F, 0xB9E8, 0x40AF, {0x82, 0x04, 0xCC, 0xF2, 0x78, 0xAB, 0xEE, 0x30}};
// _DLMVideo_SendEvents
inline constexpr IID DIID_DLMVideo_SendEvents = {
    0xEB9F27B7, 0xB91D, 0x4F06, {0x9E, 0x35, 0x8C, 0x74, 0xDD, 0x94, 0xE3, 0x35}};
// The send control class LMVideo_Send, our own choice: {CDF04779-5069-4E51-A1B4-DCCB40998063}
inline constexpr CLSID CLSID_LMVideo_Send = {
    0xCDF04779, 0x5069, 0x4E51, {0xA1, 0xB4, 0xDC, 0xCB, 0x40, 0x99, 0x80, 0x63}};

inline constexpr wchar_t kSendProgId[] = L"LMVIDEO.LMVideoSendCtrl.1";
// The send control's own window messages, as the receive control's.
inline constexpr unsigned kSendReleaseRenderer = 0x0400 + 2; // release, with the REINIT broadcast
inline constexpr unsigned kSendChooseRenderer = 0x0400 + 3;  // wParam the memory type
// The same behaviour in a container as the receive control.
inline constexpr unsigned long kSendMiscStatus = kRecvMiscStatus;
