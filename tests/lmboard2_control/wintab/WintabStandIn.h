// The test's scripting entry points of the Wintab32.dll stand-in, found with GetProcAddress.
#pragma once
#include "lmboard2/control/WintabApi.h"

// Queues the packets and posts one packet message for each to the window of the open context.
// False when no context is open.
using PFN_StandInPlay = BOOL(WINAPI*)(const WT_BOARD_PACKET* pPackets, UINT nCount);
// The context record the board opened with; false when none is open.
using PFN_StandInContext = BOOL(WINAPI*)(WT_LOGCONTEXTA* pContext);

constexpr LONG kStandInAxisMax = 10000;
constexpr char kStandInDeviceName[] = "Quillon stand-in tablet";
