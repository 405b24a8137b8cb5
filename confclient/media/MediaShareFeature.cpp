// The shared movie's inbound state and position.
#include "confclient/media/MediaShareFeature.h"

void CMediaShareFeature::OnState(const QNMediaShareState& s)
{
    if (s.wSharerChannel != m_room.wMyChannel) m_view.OnShareVideoState(s.wState != 0);
}

void CMediaShareFeature::OnPosition(const QNMediaSharePosition& s)
{
    m_view.OnSharePosition(s.dwPositionMs);
}
