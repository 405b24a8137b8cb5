// Ids shared by the language resource libraries and the program: templates, pictures, tables, controls.
#pragma once

// Dialog templates.
#define IDD_CONFCLIENT_DIALOG 102
#define IDD_ROOMCTRL 129
#define IDD_ROOMMAINVIEW 130
// The room window's icon, and its icon while a recording plays back.
#define IDI_ROOM 128
#define IDI_ROOM_PLAYER 413
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
#define IDC_CURSOR_DRAGTILE 10353 // a video tile being dragged
#define IDC_CURSOR_DRAGUSER 10354 // a participant being dragged to a seat

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

// Controls of the room windows.
// The control bar: its buttons by the ids the room's commands use; the status line; the server-record
// button and the level text are not placed on the bar.
#define IDC_ROOMCTRL_LEAVE 1003
#define IDC_ROOMCTRL_MINIMIZE 1006
#define IDC_ROOMCTRL_CAMERA 1025
#define IDC_ROOMCTRL_TALK 1029
#define IDC_ROOMCTRL_SPEAKER 1030
#define IDC_ROOMCTRL_MUTE 1031
#define IDC_ROOMCTRL_MIC 1032
#define IDC_ROOMCTRL_SHARENAME 1139
#define IDC_ROOMCTRL_RECORD 1149
#define IDC_ROOMCTRL_SHAREVIEW 1321
#define IDC_ROOMCTRL_PRESENTER 1362
#define IDC_ROOMCTRL_DOCOPEN 1365
#define IDC_ROOMCTRL_WEB 1368
#define IDC_ROOMCTRL_WEBDRAW 1369
#define IDC_ROOMCTRL_WEBADDRESS 1413
#define IDC_ROOMCTRL_SERVERRECORD 20403
#define IDC_ROOMCTRL_STATUS 20404
#define IDC_ROOMCTRL_LEVEL 20407
// The bar's background: left end, middle tile, right end, separator.
#define IDR_BAR_BACK_L 10886
#define IDR_BAR_BACK_M 10887
#define IDR_BAR_BACK_R 10888
#define IDR_BAR_BACK_BAR 10890
#define IDC_ROOMUSER_LIST 1000
// The video views are made in code: up to 49, ids from here.
#define IDC_VIDEOVIEW_FIRST 20500

// The room window: its board and browser sites and the item that takes the focus; the control
// bar's view-mode, full-screen, maximise and restore items; the side-panel host's button.
#define IDC_ROOMMAIN_BROWSER 1020
#define IDC_ROOMMAIN_BOARD 1023
#define IDC_ROOMMAIN_FOCUS 1024
#define IDC_ROOMCTRL_VIEW_MEDIASHARE 1136
#define IDC_ROOMCTRL_VIEW_VIDEO 1137
#define IDC_ROOMCTRL_VIEW_BOARD 1138
#define IDC_ROOMCTRL_VIEW_QUESTION 1144
#define IDC_ROOMCTRL_MAXIMIZE 1410
#define IDC_ROOMCTRL_RESTORE 1411
#define IDC_ROOMCTRL_FULLSCREEN 1414
#define IDC_MANAGETOOL_POPUP 1426
// The notices: the notice box, the invitation notice, the share notice bar and the zoom dialog.
#define IDD_INFODLG2 290
#define IDD_INPUTDLG 499
#define IDD_NOTICEDLG 11026
#define IDC_INFO_THIRD 1040
#define IDC_INFO_MESSAGE 1046
#define IDC_NOTICE_TITLE 1033
#define IDC_INVITE_ACCEPT 1523
#define IDC_INVITE_DECLINE 1524
#define IDC_INVITE_MESSAGE 1525
#define IDC_ZOOM_OK 1500
#define IDC_ZOOM_CLOSE 1501
#define IDC_ZOOM_EDIT 1502
#define IDC_ZOOM_SPIN 1503
#define IDC_ZOOM_CANCEL 1504
#define IDC_ZOOM_FIRST 1505
#define IDC_ZOOM_LAST 1515
#define IDC_ZOOM_TITLE 1518
#define IDC_SHARE_CLOSE 1530
#define IDC_SHARE_TEXT 1533
#define IDC_SHARE_DRAWTOOL 20012
#define IDR_BACK_TITLE_L 10923
#define IDR_BACK_TITLE_R 10924
#define IDR_BACK_TITLE_M 10925
#define IDR_BACK_INFOBODY 10446
#define IDR_BACK_SHARERTOP 11501
#define IDR_WAVE_INVITE 10701
#define IDR_WAVE_TESTSOUND 10514
// Notice box buttons: OK and Cancel of the two-button set, Yes, No and Cancel of the three-button
// set, each normal, pressed and focused.
#define IDB_BOX2_OK 10620
#define IDB_BOX2_CANCEL 10623
#define IDB_BOX3_YES 10626
#define IDB_BOX3_NO 10629
#define IDB_BOX3_CANCEL 10632
// Invitation buttons (accept 10233-10235, decline 10236-10238; 10233 also the disabled picture).
#define IDB_INVITE_ACCEPT 10233
#define IDB_INVITE_DECLINE 10236
// The zoom dialog: OK 10003, 10004, 10000; Cancel 10005, 10001, 10002; close box 369, 368, 10025.
#define IDB_ZOOM_OK_N 10003
#define IDB_ZOOM_OK_P 10004
#define IDB_ZOOM_OK_F 10000
#define IDB_ZOOM_CANCEL_N 10005
#define IDB_ZOOM_CANCEL_P 10001
#define IDB_ZOOM_CANCEL_F 10002
#define IDB_CLOSE_N 369
#define IDB_CLOSE_P 368
#define IDB_CLOSE_F 10025
// The share bar: draw-tool toggle 11507, 11508, 11510 (hover), 11509 (disabled); close 10550-10553.
#define IDB_PEN_N 11507
#define IDB_PEN_P 11508
#define IDB_PEN_D 11509
#define IDB_PEN_H 11510
#define IDB_SHARECLOSE_N 10550
#define IDB_SHARECLOSE_P 10551
#define IDB_SHARECLOSE_F 10552
#define IDB_SHARECLOSE_D 10553
// The control bar's menu buttons and the room property dialog.
#define IDC_ROOMCTRL_MENU_FILE 1376
#define IDC_ROOMCTRL_MENU_TOOL 1377
#define IDC_ROOMCTRL_MENU_DRAW 1378
#define IDC_ROOMCTRL_MENU_VIEW 1379
#define IDC_ROOMCTRL_MENU_INVITE 1380
#define IDD_ROOMPROPERTY 243
#define IDC_PROPERTY_TITLE_LABEL 1033
#define IDC_PROPERTY_CLOSE 1040
#define IDC_PROPERTY_PASSWORD 1050
#define IDC_PROPERTY_TITLE 1051
#define IDC_PROPERTY_PASSWORD_LABEL 1226
#define IDC_PROPERTY_GENERAL 1233
#define IDC_PROPERTY_RIGHTS 1234
#define IDC_PROPERTY_FRAMEMIN 1236
#define IDC_PROPERTY_FRAMEMAX 1237
#define IDC_PROPERTY_VIDEO 1238
#define IDC_PROPERTY_FRAMEVALUE 1241
#define IDC_PROPERTY_TALK 1242
#define IDC_PROPERTY_DRAW 1243
#define IDC_PROPERTY_CLOSEWITHHOST 1244
#define IDC_PROPERTY_RECORD 1247
#define IDC_PROPERTY_FRAMEFIXED 1250
#define IDC_PROPERTY_PRINT 1252
#define IDC_PROPERTY_QUALITY_LABEL 1349
#define IDC_PROPERTY_QUALITY 1350
#define IDC_PROPERTY_CHAT 1356
#define IDC_PROPERTY_CAPTURE 1430
#define IDC_PROPERTY_CAPTURE_LABEL 1431
#define IDC_PROPERTY_MAXUSER_LABEL 1493
#define IDC_PROPERTY_MAXUSER 1494
#define IDC_PROPERTY_DESKTOPSHARE 1495
#define IDC_PROPERTY_MEDIASHARE 1496
#define IDC_PROPERTY_PRESENTER_LABEL 1497
#define IDC_PROPERTY_PRESENTER 1498
#define IDC_PROPERTY_PRESENTERPOS_LABEL 1499
#define IDC_PROPERTY_PRESENTERPOS 1500
#define IDC_PROPERTY_NOTICE 1518
#define IDC_PROPERTY_NOTICELOG 1546
#define IDC_PROPERTY_ERASEALL 1550
#define IDC_PROPERTY_FRAMERATE 10042
#define IDC_ROOMCTRL_TIME 1033
#define IDC_ROOMCTRL_NETWORK 1416
#define IDC_ROOMCTRL_LAYOUT 1364

// The dialer (calls to phones and terminals) and its entry form.
#define IDD_CALLTOHTERMINAL 11050
#define IDD_PHONEADD 479
#define IDC_CALL_WEB 1020
#define IDC_CALL_ADDNUMBER 1455
#define IDC_CALL_VOICE 10070
#define IDC_CALL_VIDEO 10069
#define IDC_CALL_HANGUP 11158
#define IDC_CALL_CLOSE 20004
#define IDC_CALL_DISPLAY 10075
#define IDC_CALL_TITLE 10076
#define IDC_CALL_BACKSPACE 10090
#define IDC_CALL_TAB_BOOK 10079
#define IDC_CALL_TAB_WEB 10094
#define IDC_CALL_TAB_PAD 10080
#define IDC_CALL_LIST 1454
#define IDC_CALL_KEY_FIRST 10056 // 0..9, then the star key (10066) and the hash key (10067)
#define IDC_CALL_KEY_LAST 10067
#define ID_PHONEBOOK_ADD 32978
#define ID_PHONEBOOK_DELETE 32980
#define IDC_PHONEADD_KIND 1457
#define IDC_PHONEADD_NAME 1120
#define IDC_PHONEADD_NUMBER 1459
#define IDC_PHONEADD_KINDLABEL 1460
#define IDC_PHONEADD_NAMELABEL 1010
#define IDC_PHONEADD_NUMBERLABEL 1462
#define IDC_PHONEADD_ADD 1455
#define IDC_PHONEADD_CLOSE 1122
#define IDR_BACK_HTERMINAL 11388
// Dialer buttons, each normal, pressed and focus from its first id: the twelve keys from 11400,
// voice call 11436, video call 11439, hang-up 11442, backspace 11445, add number 11448; the tabs
// unchecked, checked and hover: keypad 11451, phone book 11454, web page 11457; the phone book's
// kind images 11460. The entry form's add button 11308-11310 and close button 10992-10994.
#define IDB_DIAL_KEY_FIRST 11400
#define IDB_DIAL_VOICE 11436
#define IDB_DIAL_VIDEO 11439
#define IDB_DIAL_HANGUP 11442
#define IDB_DIAL_BACK 11445
#define IDB_DIAL_ADD 11448
#define IDB_TAB_PAD 11451
#define IDB_TAB_BOOK 11454
#define IDB_TAB_WEB 11457
#define IDB_PHONE_KINDS 11460
#define IDB_PHONEADD_ADD 11308
#define IDB_PHONEADD_CLOSE 10992

// The board palette's line and figure pickers.
#define IDD_DRAWFIGURE 504
// The agenda panel's tree of board pages.
#define IDC_AGENDA_TREE 20449
// The e-book panel: title, level, step and page combos, go, again, previous and next page.
#define IDC_EBOOK_TITLE 1444
#define IDC_EBOOK_LEVEL 1445
#define IDC_EBOOK_STEP 1446
#define IDC_EBOOK_PAGE 1447
#define IDC_EBOOK_GO 1448
#define IDC_EBOOK_AGAIN 1449
#define IDC_EBOOK_NEXT 1038
#define IDC_EBOOK_PREV 1039
// The board preview (template 454).
#define IDD_PREVIEW 454
#define IDC_PREVIEW_TITLE 1033
#define IDC_PREVIEW_NEXT 1038
#define IDC_PREVIEW_PREV 1039
#define IDC_PREVIEW_MINIMIZE 1421
#define IDC_PREVIEW_MAXIMIZE 1422
#define IDC_PREVIEW_RESTORE 1423
#define IDC_PREVIEW_CLOSE 1424
#define IDC_PREVIEW_PAGES 1425

// The memo pad: its template, menu button, minimise and close buttons, text area and menu
// commands; the buttons' bitmaps (normal, pressed, focus from the first id), its icon and its
// title band (left, middle, right).
#define IDD_MEMO 385
#define IDC_MEMO_MENU 1141
#define IDC_MEMO_MINIMIZE 1006
#define IDC_MEMO_CLOSE 1040
#define IDC_MEMO_TEXT 1140
#define IDM_MEMO_NEWFILE 32812
#define IDM_MEMO_OPEN 32813
#define IDM_MEMO_SAVE 32814
#define IDB_MEMO_MENU 10280
#define IDB_MEMO_MINIMIZE 10228
#define IDB_MEMO_CLOSE 10225
#define IDI_MEMO 10231
#define IDR_MEMO_TITLE_L 10473
#define IDR_MEMO_TITLE_M 10474
#define IDR_MEMO_TITLE_R 10475
// The messenger window of one peer: its template, controls, window icon, top pictures, the
// transfer panel's background, and the four bitmaps (normal, pressed, focus, disabled) of each
// button from its first id.
#define IDD_MESSANGE 383
#define IDC_MSG_TITLE 1069
#define IDC_MSG_PEERNAME 1033
#define IDC_MSG_SAVE 1065
#define IDC_MSG_FILE 1041
#define IDC_MSG_INVITE 1040
#define IDC_MSG_HISTORY 1017
#define IDC_MSG_INPUT 1064
#define IDC_MSG_MINIMIZE 1006
#define IDC_MSG_MAXIMIZE 1061
#define IDC_MSG_RESTORE 1063
#define IDC_MSG_CLOSE 1062
#define IDI_MESSENGER 10101
#define IDR_BACK_MTOP1 10484
#define IDR_BACK_MTOP2 10485
#define IDR_BACK_MTOP3 10486
#define IDR_BACK_FSENDBAR 10444
#define IDB_MSG_SAVE 12100
#define IDB_MSG_FILE 12104
#define IDB_MSG_INVITE 12108
#define IDB_MSG_MINIMIZE 12112
#define IDB_MSG_MAXIMIZE 12116
#define IDB_MSG_RESTORE 12120
#define IDB_MSG_CLOSE 12124
// The messenger's transfer panel: the file's name and its bar.
#define IDD_FILESPROGRESS 382
#define IDC_FILESPROGRESS_NAME 1075
#define IDC_FILESPROGRESS_BAR 382
// The board transfer's state bar and its cancel button (normal, pressed, focus, disabled).
#define IDD_FILEUPLOADSTATE 453
#define IDC_UPLOADSTATE_STATE 1417
#define IDC_UPLOADSTATE_BAR 1418
#define IDC_UPLOADSTATE_CANCEL 1419
#define IDC_UPLOADSTATE_TITLE 1420
#define IDB_UPLOADCANCEL_N 10460
#define IDB_UPLOADCANCEL_P 10461
#define IDB_UPLOADCANCEL_F 10462
#define IDB_UPLOADCANCEL_D 10463
// The participant list: title, find text, find next, close the find bar, show or hide the body,
// float or dock, the list menu. Its cell pictures: blank 375, voice on, off, speaking, error and
// disabled 10940-10944, board right on and off 10945-10946; the header (11030-11032) and find
// bar (11473-11475) pictures; its buttons' bitmaps by their first id.
#define IDC_USERLIST_TITLE 1153
#define IDC_USERLIST_FINDTEXT 1157
#define IDC_USERLIST_FINDNEXT 20045
#define IDC_USERLIST_FINDCLOSE 33003
#define IDC_USERLIST_POPUP 1387
#define IDC_USERLIST_FLOAT 1007
#define IDC_USERLIST_MENU 1409
#define IDB_USERLIST_BLANK 375
#define IDB_VOICE_ON 10940
#define IDB_VOICE_OFF 10941
#define IDB_VOICE_SPEAK 10942
#define IDB_VOICE_ERR 10943
#define IDB_VOICE_DIS 10944
#define IDB_BOARD_TRUE 10945
#define IDB_BOARD_FALSE 10946
#define IDR_BACK_HEADER_LEFT 11030
#define IDR_BACK_HEADER_MIDDLE 11031
#define IDR_BACK_HEADER_RIGHT 11032
#define IDR_BACK_SEARCH_LEFT 11473
#define IDR_BACK_SEARCH_MIDDLE 11474
#define IDR_BACK_SEARCH_RIGHT 11475
#define IDB_USERLIST_FINDNEXT 11466
#define IDB_USERLIST_FINDCLOSE 11476
#define IDB_USERLIST_MENU 11470
#define IDB_PANEL_FLOAT 10312
#define IDB_PANEL_HIDE 10960
#define IDB_PANEL_SHOW 10879
// The chat panel: its log and input line, the title band's title, show/hide and float buttons,
// the colour and save buttons (normal, pressed, disabled, focus from 10325 and 10333) with their
// menu commands, and the transparency slider while floating.
#define IDC_ROOMCHAT_LIST 1017
#define IDC_ROOMCHAT_EDIT 1019
#define IDC_CHAT_TITLE 1383
#define IDC_CHAT_POPUP 1386
#define IDC_CHAT_FLOAT 1007
#define IDC_ROOMCHAT_COLOUR 1043
#define IDC_CHAT_SAVE 1044
#define IDC_CHAT_ALPHA 1434
#define IDB_CHAT_COLOUR 10325
#define IDB_CHAT_SAVE 10333
#define ID_CHAT_SAVE 32816
#define ID_CHAT_COLOUR 32817
// The participant list's transparency slider while floating: channel 10873, thumb 367.
#define IDC_USERLIST_ALPHA 1435
#define IDB_PANEL_ALPHA_CHANNEL 10873
#define IDB_PANEL_ALPHA_THUMB 367
// The media-share tool bar (template 11340) inside the media-share view: its buttons, mute
// toggle, texts and sliders; the background pieces 10599-10601; four bitmaps a button (normal,
// pressed, disabled, focus) from 10604; the mute toggle's normal, pressed and hover bitmaps at
// 10641, 10642, 10644 and its muted ones at 10645, 10646, 10648 (10633 and 10634 are the notice
// box's); the seek channel 10386, the thumb 10387, the volume channel 10388.
#define IDD_MEDIASHARETOOL 11340
#define IDC_MEDIASHARE_OPEN 20013
#define IDC_MEDIASHARE_PLAY 20014
#define IDC_MEDIASHARE_PAUSE 20015
#define IDC_MEDIASHARE_STOP 20016
#define IDC_MEDIASHARE_MUTE 20019
#define IDC_MEDIASHARE_TIME 20022
#define IDC_MEDIASHARE_NAME 20023
#define IDC_MEDIASHARE_SEEK 20024
#define IDC_MEDIASHARE_VOLUME 20025
#define IDR_BACK_MEDIASHARE_LEFT 10599
#define IDR_BACK_MEDIASHARE_MIDDLE 10600
#define IDR_BACK_MEDIASHARE_RIGHT 10601
#define IDB_MEDIASHARE_OPEN 10604
#define IDB_MEDIASHARE_PLAY 10608
#define IDB_MEDIASHARE_PAUSE 10612
#define IDB_MEDIASHARE_STOP 10616
#define IDB_MEDIASHARE_MUTE 10641
#define IDB_MEDIASHARE_MUTED 10645
#define IDB_MEDIASHARE_SEEK_CHANNEL 10386
#define IDB_MEDIASHARE_THUMB 10387
#define IDB_MEDIASHARE_VOLUME_CHANNEL 10388
// The question view's browser.
#define IDC_QUESTION_WEB 20437
// The agenda list (template 449): title, show/hide, float/dock and delete buttons, the tree of
// board pages (made in code) and the transparency slider while floating; the delete button's
// pictures (normal, pressed, disabled) from 10927, the tree's item pictures 10926.
#define IDC_AGENDA_TITLE 1382
#define IDC_AGENDA_POPUP 1385
#define IDC_AGENDA_FLOAT 1007
#define IDC_AGENDA_DELETE 1422
#define IDC_AGENDA_LIST 1384
#define IDC_AGENDA_ALPHA 1432
#define IDB_AGENDA_DELETE 10927
#define IDB_AGENDA_ITEMS 10926
