// The 92-byte LOGFONTW of text records, read and written field by field.
#pragma once
#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "lmboard2/boardbase/BoardRecord.h"

void WriteLogFont(ByteWriter& w, const S_BOARD_LOGFONT& lf);
// Reads 92 bytes; the face name is cut to 31 units so that it is always terminated.
S_BOARD_LOGFONT ReadLogFont(ByteReader& r);
