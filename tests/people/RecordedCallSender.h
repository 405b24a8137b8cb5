// A calls sender for tests: every request the calls feature sends is kept.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "confclient/people/CallFeature.h"

struct RecordedCallSender : ICallSender
{
    std::vector<QNPhoneCall> calls;
    int nHangUps = 0;
    std::vector<std::pair<uint16_t, uint16_t>> banished; // user index, channel
    int nQueries = 0;
    std::vector<std::u16string> stored;

    void SendPhoneCall(const QNPhoneCall& call) override { calls.push_back(call); }
    void SendHangUp() override { ++nHangUps; }
    void SendBanish(uint16_t wUserIndex, uint16_t wChannel) override
    {
        banished.push_back({wUserIndex, wChannel});
    }
    void SendPhoneBookQuery() override { ++nQueries; }
    void SendPhoneBook(const std::u16string& szText) override { stored.push_back(szText); }
};
