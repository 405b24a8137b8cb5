// Ids shared by the language resource libraries and the program: templates, pictures, tables, controls.
#pragma once

// Dialog templates.
#define IDD_CONFCLIENT_DIALOG 102
#define IDD_ROOMCTRL 129
#define IDD_ROOMMAINVIEW 130
#define IDD_ROOMTXTCHAT 132
#define IDD_ROOMUSERLIST 133
#define IDD_ROOMVIDEOVIEW 138
#define IDD_PLAYER 388
#define IDD_ROOMAGENDALIST 449
#define IDD_MANAGETOOL 456
#define IDD_EBOOK 473
#define IDD_FLOATINGBOARDTOOL 477
#define IDD_INVITENOTICE 509
#define IDD_QUESTION 510
#define IDD_ROOMMEDIASHAREVIEW 11339

// "INI" resources: the layout table and the keyed text table.
#define IDR_INI_LAYOUT 10505
#define IDR_INI_TEXT 10506

// "BACKIMAGE" pictures.
#define IDR_BACK_INTRO 10453
#define IDR_BACK_TITLEBAR 20002

// Hand cursor of the skinned buttons.
#define IDC_CURSOR_HAND 10930

// Bitmaps: push button, check button, slider and progress pieces.
#define IDB_BTN_NORMAL 11001
#define IDB_BTN_PRESSED 11002
#define IDB_BTN_HOVER 11003
#define IDB_BTN_DISABLED 11004
#define IDB_CHK_OFF 11011
#define IDB_CHK_ON 11012
#define IDB_CHK_HOVER 11013
#define IDB_CHK_DISABLED 11014
#define IDB_SLIDER_CHANNEL 11021
#define IDB_SLIDER_ACTIVE 11022
#define IDB_SLIDER_THUMB 11023
#define IDB_PROGRESS_BAR 11031
// Bitmap slider pieces on a magenta key.
#define IDB_SLIDER_TRACK 11024
#define IDB_SLIDER_TRACK_ACTIVE 11025
#define IDB_SLIDER_KNOB 11026
#define IDB_SLIDER_KNOB_ACTIVE 11027
#define IDB_SLIDER_VTRACK 11028
#define IDB_SLIDER_VTRACK_ACTIVE 11029

// Controls of the main dialog's lobby.
#define IDC_LOBBY_STATUS 20200
#define IDC_LOBBY_CONFLABEL 20201
#define IDC_LOBBY_CONFLIST 20202
#define IDC_LOBBY_USERLABEL 20203
#define IDC_LOBBY_USERLIST 20204
#define IDC_LOBBY_OPEN 20205
#define IDC_LOBBY_JOIN 20206
#define IDC_LOBBY_CANCEL 20207

// The messenger window of one peer.
#define IDD_MESSENGER 20030

// Controls of the room windows.
#define IDC_ROOMCTRL_LEAVE 20400
#define IDC_ROOMCTRL_PRESENTER 20401
#define IDC_ROOMCTRL_RECORD 20402
#define IDC_ROOMCTRL_SERVERRECORD 20403
#define IDC_ROOMCTRL_STATUS 20404
#define IDC_ROOMCTRL_TALK 20405
#define IDC_ROOMCTRL_MUTE 20406
#define IDC_ROOMCTRL_LEVEL 20407
// Four view buttons, one per view mode from 0.
#define IDC_ROOMCTRL_VIEW_FIRST 20410
#define IDC_ROOMCTRL_VIEW_COUNT 4
#define IDC_ROOMCHAT_LIST 20420
#define IDC_ROOMCHAT_EDIT 20421
#define IDC_ROOMCHAT_SEND 20422
#define IDC_ROOMUSER_LIST 20425
#define IDC_INVITE_FROM 20430
#define IDC_INVITE_ROOM 20431
#define IDC_INVITE_TEXT 20432
#define IDC_MEDIASHARE_STATE 20435
#define IDC_MEDIASHARE_POSITION 20436
#define IDC_MESSENGER_LIST 20440
#define IDC_MESSENGER_INVITE 20441
// The video views are made in code: up to 49, ids from here.
#define IDC_VIDEOVIEW_FIRST 20500

// The modeless message box and its text.
#define IDD_MODELESSBOX 20040
#define IDC_MODELESSBOX_TEXT 20560
