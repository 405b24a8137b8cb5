// The room's media-share record as the sharer's commands change it.
#include "confclient/media/MediaShareFeature.h"

void CMediaShareFeature::OnRecord(uint16_t, const QNPacketDesc& desc, const QNMediaShareRecord& r)
{
    if (desc.wSub == m_room.wMyChannel || (r.wSharer != kNoIndex && r.wSharer == m_wMyIndex)) return;
    m_record = r;
    m_wSharerChannel = desc.wSub;
    m_view.OnShareNotice(SHARENOTICE_FILEINFO, 0);
}

void CMediaShareFeature::OnState(uint16_t, const QNPacketDesc& desc, const uint32_t& dwFlags)
{
    if (desc.wSub == m_room.wMyChannel || IsLocalSharer()) return;
    m_record.dwFlags = dwFlags;
    m_wSharerChannel = desc.wSub;
    m_view.OnShareNotice(SHARENOTICE_STATE, 0);
}

void CMediaShareFeature::OnMemberLeft(uint16_t wChannel)
{
    if (wChannel == kNoIndex || wChannel != m_wSharerChannel) return;
    Reset();
    m_view.OnShareNotice(SHARENOTICE_RESET, 0);
}

void CMediaShareFeature::Reset()
{
    m_record.Reset();
    m_wSharerChannel = kNoIndex;
}
