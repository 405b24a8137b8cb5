// The recorder engine: writes the conference's protocol stream into a recording and plays a
// recording back on a clock, with pause, speed and seek. The network object derives from it
// and supplies the five operations below.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "confclient/network/record/PlayTimer.h"
#include "confclient/network/record/RecordFormat.h"
#include "confclient/network/record/RecordOwner.h"
#include "confclient/network/record/RecordReader.h"
#include "confclient/network/record/RecordStatus.h"
#include "confclient/network/record/RecordWriter.h"
#include "core/LogSink.h"

class CRecord
{
public:
    // The owner (and a timer given in place of the engine's own playback thread) outlive the
    // engine. A derived class stops playback and recording in its own destructor, since
    // ticks call its operations.
    explicit CRecord(IRecordOwner& owner, ILogSink* pLog = nullptr, IPlayTimer* pTimer = nullptr,
                     uint64_t nSizeLimit = kRecordSizeLimit);
    virtual ~CRecord();

    // Mode 0 records the conference into a new file at path: 1 on success, 0 on failure.
    // Other modes (a video recording of the room) are not available: 0, and REC_ERROR reported.
    int StartRecord(const std::filesystem::path& path, int nMode);
    // Appends one record now; REC_ERROR when no recording runs or the length is negative,
    // REC_SUCCESS (nothing written) while the embedded files are being written.
    int WriteRecord(const uint8_t* pPayload, int32_t nLen, uint16_t wCommand, bool bKeyFrame);
    // A frame the network object sent or received: recorded when recordable and a recording
    // runs; the first result other than success is reported, later ones not until the next start.
    void RecordPacket(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bKeyFrame);
    // Closes the recording; the index is appended only when nReason is REC_SUCCESS. True when
    // the file was completed (or nothing was recording), false when closing it failed.
    bool StopRecord(int nReason);
    // 0 idle, 1 recording the conference.
    int GetRecordState() const;

    // Opens a recording and plays it from the beginning: 1, or the status code (also reported).
    // An empty path does nothing and gives 0.
    int OpenPlayFile(const std::filesystem::path& path);
    // Plays from the beginning (embedded files written out, meeting checked) or from where
    // playback stands; starts the ticks. 1, or the status code (also reported).
    int StartPlay(bool bFromBeginning);
    // Pauses (the play clock stops) or resumes at the same play time.
    void PausePlay(bool bPause);
    // Rebuilds the conference state at nSeconds: state records before it are replayed with the
    // seeking flag; with bKeyFrame, each media channel also from its last key frame before it.
    void SeekPlay(bool bKeyFrame, uint32_t nSeconds);
    // Stops the ticks; closes the play file when asked.
    void StopPlay(bool bClose);

    bool IsPlaying() const;
    bool IsPaused() const;
    // The play clock now, in milliseconds of the recording.
    uint32_t PlayTime() const;
    // The tick period for a speed factor (one when not above zero): 40 ms divided by it, 1 to 1000 ms.
    static uint32_t PlayPeriod(double dSpeed);

    // What the opened recording said about its meeting.
    std::u16string PlayedMeetingName() const;
    std::u16string PlayedAgendaTitle() const;
    std::filesystem::path PlaySkinFolder() const;
    bool IsOldRecording() const;

protected:
    // The play file's start and end time (seconds since 1970).
    virtual void OnPlayFileInfo(uint32_t dwStart, uint32_t dwEnd) = 0;
    // A status code for the main window; may be called on the playback thread, so it must only post.
    virtual void OnRecordStatus(int nStatus) = 0;
    // One replayed record into the inbound path; bSeeking while a seek rebuilds the state.
    // Called on the playback thread with the engine's play lock held: it must not call back
    // into playback operations.
    virtual void PlayPacket(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bSeeking,
                            uint32_t dwPosition) = 0;
    // Notes the latest key frame of a media channel met while seeking.
    virtual void AddIndexEntry(uint16_t wSub, uint32_t dwPosition, uint16_t wCommand) = 0;
    // The noted key frame of a channel, or 0xFFFFFFFF when none.
    virtual uint32_t FindIndexEntry(uint16_t wCommand, uint16_t wSub) = 0;

private:
    enum class PlayResult
    {
        Running,
        Ended,
        Broken,
    };

    int WriteLocked(const uint8_t* pPayload, int32_t nLen, uint16_t wCommand, bool bKeyFrame);
    void EmbedFiles();
    void EmbedFile(uint16_t wCommand, const std::filesystem::path& file);

    bool OnTick();
    PlayResult PlayUpTo(uint32_t dwTime);
    int WriteOutEmbedded();
    uint32_t ClockAt(uint32_t dwTick) const;
    void ReplayMediaFrom(uint64_t nFrom, uint32_t dwTarget, bool bKeyFrame);
    void StartTicks();

    IRecordOwner& m_owner;
    CPlaybackThread m_playbackThread;
    IPlayTimer& m_timer;
    ILogSink* m_pLog;

    mutable std::mutex m_recordLock; // records come from the GUI and the network threads at once
    CRecordFileWriter m_writer;
    bool m_bRecording = false;
    bool m_bWriterReady = false;
    bool m_bStatusSent = false;
    uint32_t m_dwRecordStartTick = 0;

    mutable std::mutex m_playLock;
    CRecordFileReader m_reader;
    bool m_bPlaying = false;
    bool m_bPaused = false;
    bool m_bHaveHead = false;
    SRecordHead m_head;
    uint64_t m_nHeadPos = 0;
    uint32_t m_dwPlayBase = 0;  // play time at m_dwStartTick
    uint32_t m_dwStartTick = 0; // tick at which the clock was last based
    double m_dSpeed = 1.0;
    std::u16string m_szPlayedMeeting;
    std::u16string m_szAgendaTitle;
    std::filesystem::path m_playSkinFolder;
};
