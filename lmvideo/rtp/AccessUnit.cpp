// The bounded queue of complete pictures.
#include "lmvideo/rtp/AccessUnit.h"

#include <cstddef>
#include <utility>

void AccessUnitQueue::Push(AccessUnit&& unit)
{
    unit.bAfterLoss = unit.bAfterLoss || m_bLoss;
    m_bLoss = false;
    m_units.push_back(std::move(unit));
    Trim(m_nMaxQueued);
}

void AccessUnitQueue::Trim(size_t nKeep)
{
    if (m_units.size() <= nKeep) return;
    m_units.erase(m_units.begin(), m_units.end() - static_cast<std::ptrdiff_t>(nKeep));
    if (!m_units.empty()) m_units.front().bAfterLoss = true;
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
