// The registry key of a control library's class id, from the library's file stem.
#include <gtest/gtest.h>

#include "core/ControlProgId.h"

TEST(ControlProgId, KeyFromTheLibraryStem)
{
    struct
    {
        const char16_t* stem;
        const char16_t* key;
    } keys[] = {
        {u"LMVideoU", u"LMVideo.LMVideoSendCtrl.1\\CLSID"},
        {u"LMVideoUD", u"LMVideo.LMVideoSendCtrl.1\\CLSID"},
        {u"lmvideo", u"lmvideo.lmvideoSendCtrl.1\\CLSID"},
        {u"LMBoardU", u"LMBoard2.LMBoard2Ctrl.1\\CLSID"},
        {u"LMBoardUD", u"LMBoard2.LMBoard2Ctrl.1\\CLSID"},
        {u"LMBoard", u"LMBoard2.LMBoard2Ctrl.1\\CLSID"},
        {u"ComKitTestU", u"ComKitTest.ComKitTestCtrl.1\\CLSID"},
        {u"LMTest", u"LMTest.LMTestCtrl.1\\CLSID"},
    };
    for (auto k : keys)
        EXPECT_EQ(std::u16string(k.key), ControlProgIdClsidKey(k.stem));
}
