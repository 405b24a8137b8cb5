// The control panel on the command line: connects to a program's control-panel port,
// sends each line read from standard input as a command frame ("KEYWORD arguments")
// and prints each answer or notice frame as a line ("KEYWORD value") on standard output.
// Scripts drive it as a coprocess (scripts/run.sh).
//   quillon-panel PORT [SECONDS]   SECONDS: how long to keep trying to connect (default 30)
#include "confclient/network/control/PanelFrames.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{
int ConnectWithin(uint16_t wPort, int nSeconds)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(wPort);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    do
    {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        if (s < 0) return -1;
        if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return s;
        close(s);
        // The program opens its port a moment after it starts.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

bool SendAll(int s, const std::vector<uint8_t>& bytes)
{
    size_t nSent = 0;
    while (nSent < bytes.size())
    {
        ssize_t n = send(s, bytes.data() + nSent, bytes.size() - nSent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        nSent += static_cast<size_t>(n);
    }
    return true;
}

// A command line: the keyword, then after one blank the arguments.
bool SendLine(int s, const std::string& line)
{
    S_PANELFRAME frame;
    size_t blank = line.find(' ');
    frame.keyword = line.substr(0, blank);
    if (blank != std::string::npos) frame.arguments = line.substr(blank + 1);
    if (frame.keyword.empty()) return true;
    return SendAll(s, EncodePanelFrame(frame));
}
} // namespace

int main(int argc, char** argv)
{
    int nPort = argc > 1 ? std::atoi(argv[1]) : 0;
    if (nPort <= 0 || nPort > 65535)
    {
        std::fprintf(stderr, "usage: quillon-panel PORT [SECONDS]\n");
        return 2;
    }
    int s = ConnectWithin(static_cast<uint16_t>(nPort), argc > 2 ? std::atoi(argv[2]) : 30);
    if (s < 0)
    {
        std::fprintf(stderr, "quillon-panel: nothing answers on port %d\n", nPort);
        return 1;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    CPanelFrameReader reader;
    std::string line;
    pollfd fds[2] = {{0, POLLIN, 0}, {s, POLLIN, 0}};
    for (;;)
    {
        if (poll(fds, 2, -1) < 0) return 1;
        if (fds[0].revents & (POLLIN | POLLHUP))
        {
            char buf[1024];
            ssize_t n = read(0, buf, sizeof buf);
            if (n <= 0) return 0; // the script is done with this panel
            for (ssize_t i = 0; i < n; ++i)
            {
                if (buf[i] != '\n')
                {
                    line += buf[i];
                    continue;
                }
                if (!SendLine(s, line)) return 1;
                line.clear();
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR))
        {
            uint8_t buf[2048];
            ssize_t n = recv(s, buf, sizeof buf, 0);
            if (n <= 0) return 0; // the program closed its port: it logged out
            for (const S_PANELFRAME& frame : reader.Feed(buf, static_cast<size_t>(n)))
                std::printf("%s %s\n", frame.keyword.c_str(), frame.arguments.c_str());
        }
    }
}
