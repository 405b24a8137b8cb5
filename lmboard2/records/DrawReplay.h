// Replay of drawing records: the one routine through which records from peers and
// from page files are drawn exactly as the local tools draw them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lmboard2/records/DrawSurface.h"

// Draws one figure of a draw mode from a to b: a line for modes 0, 1 and 13, the
// shape for modes 7 to 12; other modes draw nothing.
void DrawFigure(IDrawSurface& surface, const BoardPen& pen, uint8_t byMode, DrawPt a, DrawPt b);

// Replays the record at pData (nAvail bytes from its length field). Pointer, scroll
// and zoom act only with bApplyToView; clear acts only without bTarget (a print or
// export target paints its own background). Returns the record type, or 0 when the
// record is malformed and nothing was drawn.
int ReplayDrawRecord(const uint8_t* pData, size_t nAvail, bool bApplyToView, bool bTarget,
                     IDrawSurface& surface);
int ReplayDrawRecord(const DrawRecord& rec, bool bApplyToView, bool bTarget, IDrawSurface& surface);
