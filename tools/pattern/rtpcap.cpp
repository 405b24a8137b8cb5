// quillon-rtpcap PORT FILE: records the datagrams sent to 127.0.0.1:PORT into FILE, each as a
// two-byte big-endian length and its bytes, until none came for two seconds after the first
// (or for twenty before it). The fixture script captures ffmpeg's RTP output this way.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: quillon-rtpcap PORT FILE\n");
        return 2;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int size = 16 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[1])));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
    {
        std::perror("quillon-rtpcap");
        return 1;
    }
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    std::puts("ready");
    std::fflush(stdout);
    unsigned char packet[65536];
    int count = 0;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, count ? 2000 : 20000) > 0)
    {
        const ssize_t n = recv(fd, packet, sizeof packet, 0);
        if (n <= 0) break;
        const unsigned char length[2] = {static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)};
        std::fwrite(length, 1, 2, out);
        std::fwrite(packet, 1, static_cast<size_t>(n), out);
        ++count;
    }
    std::fclose(out);
    close(fd);
    return count ? 0 : 1;
}
