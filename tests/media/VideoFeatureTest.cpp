// Camera control and desktop-sharing commands are noted with what they carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/media/VideoFeature.h"
#include "confclient/network/QNCommands.h"
#include "tests/session/RecordedLog.h"

TEST(VideoFeature, NotesCameraControlAndDesktopSharing)
{
    RecordedLog log;
    CVideoFeature video(&log);
    video.OnCamControl({3, 2, 40});
    const uint8_t payload[] = {1, 2, 3};
    QNPacketDesc desc;
    desc.pData = payload;
    desc.nLength = sizeof payload;
    video.OnDesktopShare(INFO_DESKTOP_SHARE, desc);
    video.OnDesktopShare(NAK_DESKTOP_SHARE, QNPacketDesc{});
    EXPECT_EQ((std::vector<std::string>{
                  "2 [CAMCONTROL] CH:3, Action:2, Value:40",
                  "2 [DESKTOPSHARE] command " + std::to_string(INFO_DESKTOP_SHARE) + ", 3 bytes",
                  "2 [DESKTOPSHARE] command " + std::to_string(NAK_DESKTOP_SHARE) + ", 0 bytes"}),
              log.lines);
}
