// The zoom choices table and its lookups.
#include "confclient/notices/ZoomChoices.h"

const ZoomChoice kZoomChoices[kZoomChoiceCount] = {
    {1505, 25, 32941},
    {1506, 50, 32942},
    {1507, 75, 32943},
    {1508, 100, 32944},
    {1509, 125, 32945},
    {1510, 150, 32946},
    {1511, 200, 32947},
    {1512, 300, 32948},
    {1513, kZoomFitWidth, kZoomCommandFitWidth},
    {1514, kZoomFitPage, 32950},
    {kZoomRadioUserSet, 0, kZoomCommandUserSet},
};

const ZoomChoice& ZoomChoiceOfCommand(uint16_t wCommand)
{
    for (const ZoomChoice& c : kZoomChoices)
        if (c.wCommand == wCommand) return c;
    return *ZoomChoiceOfRadio(1513); // fit to width
}

const ZoomChoice* ZoomChoiceOfRadio(int nRadio)
{
    for (const ZoomChoice& c : kZoomChoices)
        if (c.nRadio == nRadio) return &c;
    return nullptr;
}

std::optional<uint16_t> ResultZoom(int nValue)
{
    for (const ZoomChoice& c : kZoomChoices)
        if (c.nValue != 0 && c.nValue == nValue) return c.wCommand;
    if (nValue >= kZoomMin && nValue <= kZoomMax) return kZoomCommandUserSet;
    return std::nullopt;
}

CZoomChoiceModel::CZoomChoiceModel(IZoomOwner& owner, uint16_t wCommandAtOpen, int nValueAtOpen)
    : m_owner(owner), m_nSelected(ZoomChoiceOfCommand(wCommandAtOpen).nRadio), m_nRadioAtOpen(m_nSelected),
      m_nValueAtOpen(nValueAtOpen)
{
}

int CZoomChoiceModel::RadioIndex() const
{
    return m_nSelected - kZoomRadioFirst;
}

std::optional<int> CZoomChoiceModel::EditValue() const
{
    const ZoomChoice& c = *ZoomChoiceOfRadio(m_nSelected);
    if (IsUserSet()) return m_nValueAtOpen;
    if (c.nValue == kZoomFitWidth || c.nValue == kZoomFitPage) return std::nullopt;
    return c.nValue;
}

void CZoomChoiceModel::Apply(uint16_t wCommand, int nValue, bool bApply)
{
    m_owner.CheckZoomItem(0, 0, false, true);
    m_owner.CheckZoomItem(wCommand, nValue, true, bApply);
}

void CZoomChoiceModel::Choose(int nRadio, int nEditValue)
{
    const ZoomChoice* pChoice = ZoomChoiceOfRadio(nRadio);
    if (!pChoice) return;
    m_nSelected = nRadio;
    const bool bUserSet = IsUserSet();
    Apply(pChoice->wCommand, bUserSet ? nEditValue : pChoice->nValue, !bUserSet);
}

bool CZoomChoiceModel::Ok(std::optional<int> number)
{
    if (!number || *number < kZoomMin || *number > kZoomMax) return false;
    if (IsUserSet() && *number != m_owner.StoredZoom()) Apply(kZoomCommandUserSet, *number, true);
    return true;
}

bool CZoomChoiceModel::Enter(std::optional<int> number)
{
    if (!number || *number < kZoomMin || *number > kZoomMax) return false;
    Apply(ZoomChoiceOfRadio(m_nSelected)->wCommand, *number, true);
    return true;
}

void CZoomChoiceModel::Cancel()
{
    m_nSelected = m_nRadioAtOpen;
    Apply(ZoomChoiceOfRadio(m_nSelected)->wCommand, m_nValueAtOpen, true);
}
