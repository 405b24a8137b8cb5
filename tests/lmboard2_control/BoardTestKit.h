// What tests and benchmarks of the board view share: events that keep the messages sent and
// ignore the rest, and drawing records built byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lmboard2/view/BoardEvents.h"

class CQuietBoardEvents : public IBoardEvents
{
public:
    std::vector<std::vector<uint8_t>> sent;
    void SendData(const uint8_t* p, size_t n) override { sent.emplace_back(p, p + n); }
    void ErrorMessage(int) override {}
    void CreateProgress(bool) override {}
    void DestroyProgress() override {}
    void SetTotalSize(uint32_t) override {}
    void SetFileCount(uint32_t, uint32_t) override {}
    void ProgressChange(uint32_t) override {}
    void AddPage(int, const S_BOARD_FILEHDR&) override {}
    void DeletePage(int) override {}
    void SetCurrentPage(int) override {}
    void ModeChange(const std::u16string&, int) override {}
    void DoChangeAgendaName(const uint8_t*) override {}
    void ResultZoom(bool, int, int) override {}
    void ResultDrawMode(int) override {}
    void SelectEBookCombo(const std::u16string&, uint32_t, uint32_t, uint32_t) override {}
    std::u16string GetIniString(const std::u16string&) override { return u""; }
};

// Little-endian record bytes: u16 length, type, fields, terminator.
class RecordBytes
{
public:
    explicit RecordBytes(uint8_t byType) { m_b = {0, 0, byType}; }
    RecordBytes& U8(uint8_t v) { return m_b.push_back(v), *this; }
    RecordBytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    RecordBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    RecordBytes& Pen(uint8_t byFluorescent, uint32_t dwColor, uint8_t byWidth)
    {
        return U8(byFluorescent).U32(dwColor).U8(byWidth);
    }
    std::vector<uint8_t> Done()
    {
        m_b.push_back(13);
        size_t n = m_b.size() - 2;
        m_b[0] = static_cast<uint8_t>(n);
        m_b[1] = static_cast<uint8_t>(n >> 8);
        return m_b;
    }

private:
    std::vector<uint8_t> m_b;
};
