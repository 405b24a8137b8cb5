// quillon-loopserver: the loopback conference server as a program.
//   quillon-loopserver [--port N] [--config FILE] [--scenario fault,fault,...]
//                      [--refuse-login REASON,TIMES] [--quiet]
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "loopserver/LoopServer.h"

namespace
{
class StderrLog : public ILogSink
{
public:
    explicit StderrLog(int nMask) : m_nMask(nMask) {}
    void AddLog(int nLevel, const std::string& text) override
    {
        if (nLevel & m_nMask) std::fprintf(stderr, "%s\n", text.c_str());
    }

private:
    int m_nMask;
};

volatile std::sig_atomic_t g_bStop = 0;
void OnSignal(int)
{
    g_bStop = 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: quillon-loopserver [--port N] [--config FILE] [--scenario FAULTS]\n"
                         "                          [--refuse-login REASON,TIMES] [--quiet]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    LoopConfig cfg = DefaultLoopConfig();
    int nPort = -1;
    int nMask = LOG_DEBUG | LOG_INFO | LOG_ERROR;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        bool bHasValue = i + 1 < argc;
        if (arg == "--port" && bHasValue)
            nPort = std::atoi(argv[++i]);
        else if (arg == "--config" && bHasValue)
        {
            std::ifstream in(argv[++i]);
            std::stringstream ss;
            ss << in.rdbuf();
            int nLine = 0;
            if (!in || !ParseLoopConfig(ss.str(), cfg, &nLine))
            {
                std::fprintf(stderr, "quillon-loopserver: %s: bad line %d\n", argv[i], nLine);
                return 2;
            }
        }
        else if (arg == "--scenario" && bHasValue)
        {
            if (!ParseFaults(argv[++i], cfg.scenario)) return Usage();
        }
        else if (arg == "--refuse-login" && bHasValue)
        {
            unsigned reason = 0;
            int times = 0;
            char extra = 0;
            if (std::sscanf(argv[++i], "%u,%d%c", &reason, &times, &extra) != 2 || reason > 65535 ||
                times < 0)
                return Usage();
            cfg.wRefuseLoginReason = static_cast<uint16_t>(reason);
            cfg.nRefuseLoginTimes = times;
        }
        else if (arg == "--quiet")
            nMask = LOG_INFO | LOG_ERROR;
        else
            return Usage();
    }
    if (nPort >= 0) cfg.wPort = static_cast<uint16_t>(nPort);

    StderrLog log(nMask);
    CLoopServer server(cfg, &log);
    if (!server.Start(cfg.wPort))
    {
        std::fprintf(stderr, "quillon-loopserver: cannot listen on 127.0.0.1:%u\n", cfg.wPort);
        return 1;
    }
    std::printf("%u\n", server.Port());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_bStop)
        pause();
    server.Stop();
    return 0;
}
