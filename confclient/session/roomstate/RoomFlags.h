// The bits of a room record's flags and the room types the session tests.
#pragma once
#include <cstdint>

constexpr uint16_t kDocumentRoomType = 8; // no video windows

enum : uint32_t
{
    ROOMFLAG_SENDERS_MASK = 0xFu << 3, // bits 3-6: how many users send video
    ROOMFLAG_MEDIASHARE_MOVIE = 1u << 8,
    ROOMFLAG_MEDIASHARE_SOUND = 1u << 9,
    ROOMFLAG_MEDIASHARE_ANY = ROOMFLAG_MEDIASHARE_MOVIE | ROOMFLAG_MEDIASHARE_SOUND,
    ROOMFLAG_EBOOK = 1u << 10,
    ROOMFLAG_QUESTIONNAIRE = 1u << 11,
    ROOMFLAG_NOVIDEOVIEW = 1u << 12,
};
