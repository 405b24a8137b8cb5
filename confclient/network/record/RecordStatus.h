// Status codes of recording and playback, as the main window receives them.
#pragma once

enum RecordStatus : int
{
    REC_SUCCESS = 4032,
    REC_ERROR = 4033,         // not recording, bad length, a write or read failure, a bad embedded file
    REC_SIZE_LIMIT = 4034,    // the recording reached its size limit; records after it are dropped
    REC_CANNOT_OPEN = 4036,   // the play file cannot be opened
    REC_TOO_OLD = 4037,       // the play file's version is below the oldest playable one
    REC_PLAY_BROKEN = 4038,   // playback stopped at a short read or a corrupt record
    REC_PLAY_END = 4039,      // playback reached the end of an intact recording
    REC_OTHER_MEETING = 4055, // the recording belongs to another meeting than the one open
};
