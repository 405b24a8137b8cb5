// Ids of the tests' sample pages (TestSamples.rc): a block of their own, apart from the program's.
#pragma once

#define IDD_CONTROL_SAMPLE 20000
#define IDD_MENU_SLIDER_SAMPLE 20010
#define IDR_BACK_SAMPLE 20001
// The owner-drawn menu sample: its menu template, and a toolbar (type 241) whose bitmap of the
// same id holds the item images.
#define IDR_MENU_SAMPLE 20020
#define IDR_TOOLBAR_SAMPLE 20021
#define ID_SAMPLE_WHISPER 20301
#define ID_SAMPLE_VIDEO 20302
#define ID_SAMPLE_FLOOR_GIVE 20303
#define ID_SAMPLE_FLOOR_TAKE 20304
#define ID_SAMPLE_PRESENTER 20305
#define ID_SAMPLE_KICK 20306
#define IDC_SAMPLE_PICTURE 20100
#define IDC_SAMPLE_STATIC 20101
#define IDC_SAMPLE_WRAP 20102
#define IDC_SAMPLE_PROGRESS 20103
#define IDC_SAMPLE_PROGRESS_V 20104
#define IDC_SAMPLE_PROGRESSX 20105
#define IDC_SAMPLE_HBUTTON 20106
#define IDC_SAMPLE_LMBUTTON 20107
#define IDC_SAMPLE_LMCHECK 20108
#define IDC_SAMPLE_CHECK 20109
#define IDC_SAMPLE_LMBUTTON_OFF 20110
#define IDC_SAMPLE_SLIDER 20120
#define IDC_SAMPLE_SLIDER_V 20121
