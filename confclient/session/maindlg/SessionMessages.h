// Private messages and timers of the main dialog and its session.
#pragma once
#include <windows.h>

// Window messages.
enum : UINT
{
    WM_QN_QUIT = 4025,        // end the program: the dialog destroys itself
    WM_QN_SESSION_END = 4026, // a connection or logout notice; lParam picks it (below)
    WM_QN_HIDE_DRAWTOOL = 4056,
    WM_QN_SHOW_DRAWTOOL = 4057,
    WM_QN_REFUSAL_BOX = 4058,        // a lobby-login refusal box, shown outside the network's sent message
    WM_QN_NOTICE_BOX = 4059,         // a notice box by wParam (below), likewise
    WM_QN_PANEL_COMMAND = 4060,      // lParam: a control-panel command (S_PANELFRAME*), owned by the receiver
    WM_QN_ROOM_CLOSED = 4027,        // the room window was closed: the session leaves the room
    WM_QN_SEND_BACKLOG = 4053,       // to the control bar: frames wait to be sent
    WM_QN_PUSH_CHUNK_SENT = 4061,    // wParam: bytes of a pushed block that left the socket
    WM_QN_PRESENTER_QUESTION = 4062, // wParam: the requester's channel; asked outside the sent message
    WM_QN_BOARD_SENT = 4063,         // board frames left the socket: the board sends its next chunk
    WM_QN_VOICE_LEVELS = 4064,       // the voice engine has speech levels waiting
    WM_QN_FILE_BLOCK_SENT =
        4070, // wParam: the receiver of a messenger file block that left, lParam its bytes
    WM_QN_CONNSTATE = 0x54E,
    WM_QN_OUTSIDE_NOTICE = 0x54F, // to registered outside windows
    WM_QN_LOBBY = 0x550,
    WM_QN_SESSION_EVENT = 0x551, // from and to registered outside windows
    WM_QN_ROOM = 0x552,
    WM_QN_DATA = 0x553,
    WM_QN_RECORDER = 0x554,
    WM_QN_ROOM_WINDOWS = 1359, // to registered outside windows: the room window comes or the main one goes
};

// lParam of WM_QN_SESSION_END.
enum : LPARAM
{
    SESSIONEND_REFUSED = 0,         // the login was refused and the refusal shown: end
    SESSIONEND_NOTCONNECTED = 4044, // the server cannot be reached for this login: end
    SESSIONEND_PINGTIMEOUT = 4045,  // no keep-alive answer: reconnect
    SESSIONEND_FORCED = 4046,       // the server logged this user out: end
    SESSIONEND_RECONNECT = 4048,    // the connection was lost: reconnect
};

// wParam of WM_QN_NOTICE_BOX.
enum : WPARAM
{
    NOTICE_ALREADY_CONFOPEN = 1,
    NOTICE_INVITE_ACCEPTFAILED = 2,
};

// wParam of WM_QN_ROOM_WINDOWS.
enum : WPARAM
{
    ROOMWINDOWS_PREPARED = 1000, // lParam: the main window; a room's windows are about to be made
    ROOMWINDOWS_MAIN_GONE = 1003,
};

// wParam of WM_QN_OUTSIDE_NOTICE besides the connection states (1365 to 1367).
enum : WPARAM
{
    OUTSIDE_NOTICE_START_ERROR = 1004, // the program could not start; its box follows
};

// Why the session left a room, as told to outside windows.
enum : int
{
    QUIT_CAUSE_LEFT = 210,        // refused, reconnecting, logging out or leaving on request
    QUIT_CAUSE_ROOM_CLOSED = 212, // the room was closed or deleted
};

// Codes of WM_QN_SESSION_EVENT from outside windows.
enum : WPARAM
{
    OUTSIDE_REGISTER = 424, // lParam: the window to tell
    OUTSIDE_UNREGISTER = 1006,
};

// Timers of the main dialog.
enum : UINT_PTR
{
    TIMER_SPLASH = 1238,     // 30 s: the splash closes
    TIMER_SECOND = 1239,     // one-second tick of a room
    TIMER_KEEPALIVE = 1240,  // 30 s: a keep-alive goes out
    TIMER_RELOGIN = 1243,    // 500 ms: the lobby login again after a busy database
    TIMER_STARTUP = 1244,    // 500 ms: the session start-up
    TIMER_SHARER = 1247,     // 100 ms: the pending command line waits for the desktop sharer
    TIMER_LAUNCHER = 1248,   // the launcher's window is watched
    TIMER_CAMERA = 1254,     // 100 ms: a held camera-control button repeats
    TIMER_PINGANSWER = 1255, // the keep-alive answer did not come
    TIMER_FULLCURSOR = 1258, // 1 s: the full-screen cursor is watched
    TIMER_RECORDWAIT = 1260, // a close waits for the server's recording
    TIMER_RECONNECT = 1261,  // one-second steps of the reconnect countdown
};
