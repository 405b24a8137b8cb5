// The bounded queue of complete pictures.
#include "lmvideo/rtp/AccessUnit.h"

#include <utility>

void AccessUnitQueue::Push(AccessUnit&& unit)
{
    unit.bAfterLoss = unit.bAfterLoss || m_bLoss;
    m_bLoss = false;
    bool bOverflow = m_units.size() >= kMaxQueued;
    if (bOverflow) m_units.pop_front();
    m_units.push_back(std::move(unit));
    if (bOverflow) m_units.front().bAfterLoss = true;
}

bool AccessUnitQueue::Pop(AccessUnit& out)
{
    if (m_units.empty()) return false;
    out = std::move(m_units.front());
    m_units.pop_front();
    return true;
}

void AccessUnitQueue::Clear()
{
    m_units.clear();
    m_bLoss = false;
}
