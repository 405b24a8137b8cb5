// The Wintab declarations the board uses, as the tablet driver library exports them (the
// platform headers do not carry them): its types, the context record, the info categories and
// the sixteen entry points.
#pragma once
#include <windows.h>

DECLARE_HANDLE(HCTX);
using WTPKT = DWORD;
using FIX32 = DWORD;

struct WT_AXIS
{
    LONG axMin;
    LONG axMax;
    UINT axUnits;
    FIX32 axResolution;
};

struct WT_LOGCONTEXTA
{
    char lcName[40];
    UINT lcOptions;
    UINT lcStatus;
    UINT lcLocks;
    UINT lcMsgBase;
    UINT lcDevice;
    UINT lcPktRate;
    WTPKT lcPktData;
    WTPKT lcPktMode;
    WTPKT lcMoveMask;
    DWORD lcBtnDnMask;
    DWORD lcBtnUpMask;
    LONG lcInOrgX, lcInOrgY, lcInOrgZ;
    LONG lcInExtX, lcInExtY, lcInExtZ;
    LONG lcOutOrgX, lcOutOrgY, lcOutOrgZ;
    LONG lcOutExtX, lcOutExtY, lcOutExtZ;
    FIX32 lcSensX, lcSensY, lcSensZ;
    BOOL lcSysMode;
    int lcSysOrgX, lcSysOrgY, lcSysExtX, lcSysExtY;
    FIX32 lcSysSensX, lcSysSensY;
};

struct WT_ORIENTATION
{
    int orAzimuth;
    int orAltitude;
    int orTwist;
};

// The packet of the board's context: its fields in the order of their bits in the data mask.
struct WT_BOARD_PACKET
{
    DWORD pkButtons;
    LONG pkX;
    LONG pkY;
    UINT pkNormalPressure;
    WT_ORIENTATION pkOrientation;
};

constexpr WTPKT kPkButtons = 0x0040;
constexpr WTPKT kPkX = 0x0080;
constexpr WTPKT kPkY = 0x0100;
constexpr WTPKT kPkNormalPressure = 0x0400;
constexpr WTPKT kPkOrientation = 0x1000;
constexpr WTPKT kBoardPacketData = kPkButtons | kPkX | kPkY | kPkNormalPressure | kPkOrientation; // 0x15C0

constexpr UINT kCxoMessages = 0x0004;
constexpr UINT kWtiDefContext = 3;
constexpr UINT kWtiDevices = 100;
constexpr UINT kDvcName = 1;
constexpr UINT kDvcX = 12;
constexpr UINT kDvcY = 13;
constexpr UINT WT_PACKET = 0x7FF0;

using PFN_WTInfoA = UINT(WINAPI*)(UINT, UINT, LPVOID);
using PFN_WTOpenA = HCTX(WINAPI*)(HWND, WT_LOGCONTEXTA*, BOOL);
using PFN_WTClose = BOOL(WINAPI*)(HCTX);
using PFN_WTPacket = BOOL(WINAPI*)(HCTX, UINT, LPVOID);

// Every entry point the driver must export; the board is given the tablet only when all resolve.
constexpr const char* kWintabEntryPoints[] = {
    "WTOpenA",  "WTInfoA",        "WTGetA",     "WTSetA",       "WTPacket",  "WTClose",
    "WTEnable", "WTOverlap",      "WTSave",     "WTConfig",     "WTRestore", "WTExtSet",
    "WTExtGet", "WTQueueSizeSet", "WTDataPeek", "WTPacketsGet",
};
