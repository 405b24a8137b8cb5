// The control bar's own recording of the room: the record command, the automatic recordings of
// rooms that ask for them (a retry while recording is blocked, a length limit, the next one
// after an interval), the start and stop with their texts, and the room's notice (490, or 544
// for a listener).
#pragma once
#include <cstdint>
#include <string>

#include "confclient/media/RecordFileName.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "core/LogSink.h"

// Reasons a recording stops, as the bar reports them.
enum : int
{
    RECORD_STOP_NORMAL = 4032,
    RECORD_STOP_FAILED = 4033,
    RECORD_STOP_SIZE_LIMIT = 4034,
    RECORD_STOP_SERVER_MP4 = 4058,
};

// The bar's two recording timers, ticking every second.
enum : int
{
    RECORD_TIMER_RETRY = 1256,  // an automatic start waits for recording to be allowed
    RECORD_TIMER_LENGTH = 1257, // the automatic interval and length
};
constexpr unsigned kRecordTimerMs = 1000;

// The automatic interval or length that means "never" (interval) or "until stopped" (length).
constexpr uint16_t kRecordNoLimit = 0xFFFF;
constexpr uint16_t kRecordIntervalOnce = 0xFFFE;

// The recorder engine as the bar drives it.
class IRecordEngine
{
public:
    virtual ~IRecordEngine() = default;
    // Starts recording the room to the path as the kind; false when it cannot start.
    virtual bool StartRecording(const std::u16string& szPath, int nKind) = 0;
    // Ends the running recording for the reason; true when it ended cleanly (or none ran).
    virtual bool StopRecording(int nReason) = 0;
    // 0 idle, 1 recording the conference stream, 2 or 3 recording video only.
    virtual int RecordState() const = 0;
};

// What the session tells of the room and the user when a recording starts or stops.
struct S_RECORDROOM
{
    bool bPlayback = false;
    bool bRvEdition = false;
    bool bBlocked = false;    // the local user does not hold the room's record right
    bool bPlayerOnly = false; // the room offers the player file only
    bool bListener = false;   // the user's grade is 4
    bool bFullScreen = false; // the room window covers its screen
    std::u16string szProduct;
    std::u16string szPresetPath; // automatic recordings' path; empty: a name from the minute
    std::u16string szRecordFolder;
    std::u16string szDefaultFolder;
    uint32_t nAutoKind = 0;
    uint16_t wInterval = 0;      // minutes between automatic recordings
    uint16_t wLength = 0;        // minutes an automatic recording lasts
    uint8_t nServerChoice = 0;   // the room's server-record choice (low 4 bits)
    uint32_t dwMinuteMs = 60000; // the length of a minute on the tick clock
};

// The session's side: the room's values, the settings, the room's notices and the clocks.
class IRecordHost
{
public:
    virtual ~IRecordHost() = default;
    virtual S_RECORDROOM RecordRoom() const = 0;
    // "RecordFilterIndex" of the program's settings: 0 before the first use.
    virtual uint32_t ReadFilterIndex() = 0;
    virtual void WriteFilterIndex(uint32_t nIndex) = 0;
    // 490 with the own user number: this user records (true) or stopped.
    virtual void SendRecordState(bool bOn) = 0;
    // 544 without payload: a listener records.
    virtual void SendListenerNotice() = 0;
    virtual S_LOCALMINUTE LocalMinute() = 0;
    // Milliseconds of a steady clock; wraps at 32 bits.
    virtual uint32_t TickCount() = 0;
};

// The control bar's window as recording uses it.
class IRecordBarView
{
public:
    virtual ~IRecordBarView() = default;
    // The record toggle and the File menu's record item are checked or not.
    virtual void SetRecordCheck(bool bChecked) = 0;
    // The save dialog on the name, folder, filter and filter index; the chosen path and the
    // dialog's filter index come back (the index also on cancel). False on cancel.
    virtual bool AskRecordPath(const S_RECORDNAME& name, const std::u16string& szFilter,
                               std::u16string& szPath, uint32_t& nFilterIndex) = 0;
    // One of the recording timers runs (every kRecordTimerMs) or stops.
    virtual void SetRecordTimer(int nId, bool bOn) = 0;
    // The room window's normal placement is kept before a recording starts.
    virtual void SaveRoomPlacement() = 0;
};

// What the bar's record controls ask of the room's recording.
class IBarRecording
{
public:
    virtual ~IBarRecording() = default;
    // The record toggle or the File menu's record item (1149).
    virtual void OnRecordCommand() = 0;
    // The server-record button or the File menu's item (32901).
    virtual void OnServerRecordCommand() = 0;
    // One of the recording timers ticked.
    virtual void OnRecordTimer(int nId) = 0;
};

class CRecordControl
{
public:
    CRecordControl(IRecordEngine& engine, IRecordHost& host, IRecordBarView& view, IRecordFiles& files,
                   IRoomNotices& notices, ILogSink* pLog)
        : m_engine(engine), m_host(host), m_view(view), m_files(files), m_notices(notices), m_pLog(pLog)
    {
    }

    // The record toggle or menu item: stops a running recording, else asks for a file and starts.
    void OnRecordCommand();
    // An automatic recording, unless one runs or a recording plays; waits while recording is blocked.
    void StartAutoRecord();
    // Starts recording to the file when none runs; false when it did not start.
    bool StartRecord(const std::u16string& szPath, int nKind);
    // Stops and reports once: a chat notice, a box for the size limit.
    void StopRecord(int nReason);
    // The automatic length and interval count from now.
    void StartRecordTimer();
    void OnTimer(int nId);
    // A status the engine posted (4033 a write failure, 4034 the size limit): the recording stops.
    // One posted for a start that was already refused is not this recording's.
    void OnEngineStatus(int nStatus);
    // The server-record command: the room's choice starts the local player-file recording (1, 3)
    // or starts or stops an MP4 recording (2, 3).
    void OnServerRecordCommand();
    // The room is left, closed or the session ends: a running recording ends normally.
    void OnRoomLeaving();

    bool IsRecording() const { return m_engine.RecordState() != 0; }
    const std::u16string& RecordPath() const { return m_szRecordPath; }

private:
    S_RECORDNAMEINPUT NameInput(const S_RECORDROOM& room, bool bAutomatic);
    void Notice(const std::u16string& szText, int nLevel);

    IRecordEngine& m_engine;
    IRecordHost& m_host;
    IRecordBarView& m_view;
    IRecordFiles& m_files;
    IRoomNotices& m_notices;
    ILogSink* m_pLog;

    std::u16string m_szRecordPath;
    bool m_bRecordFlag = false; // the room was told this user records
    uint32_t m_dwTimerStart = 0;
    int m_nRefusalsPosted = 0; // refused starts whose 4033 the engine posted and has not arrived
};
