// SDL platform: a look at the X display before SDL connects to it. Xlib
// waits for good on a display that takes the connection and never answers
// (a stopped or hung X server, a dead forwarded connection), and SIGTERM
// then only sets SDL's flag; on a refusal it prints the server's reason at
// every try and SDL reports no display at all. The probe makes the
// connection Xlib would make (the same socket, the same cookie) on a thread
// of its own, which the main thread waits for with a deadline, and keeps
// the server's answer to itself. Plain POSIX: no X library is needed to
// say hello.
#include "platform/files.h"
#include "platform/sdl_internal.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Display N listens on this socket and, over the network, on this port + N.
constexpr const char* SocketPrefix = "/tmp/.X11-unix/X";
constexpr int TcpPortBase = 6000;
// Far beyond any real authority file. A larger one is not read, and the
// probe then cannot tell a refusal from its own missing cookie.
constexpr std::size_t AuthorityMaxBytes = 1u << 20;
// A refusal's reason goes to the terminal: printable characters only, and
// not a screenful.
constexpr std::size_t ReasonMaxChars = 200;

// Address families of the authority file's entries.
constexpr unsigned FamilyInternet = 0;
constexpr unsigned FamilyInternet6 = 6;
constexpr unsigned FamilyLocal = 256;
constexpr unsigned FamilyWild = 65535;
const std::string MagicCookie = "MIT-MAGIC-COOKIE-1";
const std::string XdmAuthorization = "XDM-AUTHORIZATION-1";

// DISPLAY taken apart: "[protocol/][host]:number[.screen]".
struct DisplayName {
    std::string shown;  // for messages
    std::string protocol;
    std::string host;  // empty: this machine
    int number = 0;
};

// What was said about the display, once the probe is done.
struct Answer {
    platform::DisplayProbe outcome = platform::DisplayProbe::Usable;
    std::string error;
    int fd = -1;
};

// Shared by the waiting main thread and the probe, which may outlive the
// wait; whoever lets go last closes a connection nobody took.
struct ProbeState {
    Answer answer;  // written by the probe before `done`
    std::atomic<bool> done{false};
    ~ProbeState()
    {
        if (answer.fd >= 0) ::close(answer.fd);
    }
};

// Text from the environment or the server, fit for one line on a terminal.
std::string printable(const std::string& text, std::size_t maxChars)
{
    std::string out;
    for (const char c : text) {
        if (out.size() >= maxChars) break;
        if (c == '\n' || c == '\r' || c == '\t')
            out += ' ';
        else if (c >= 0x20 && c < 0x7F)
            out += c;
        else if (c != '\0')
            out += '?';
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Reads DISPLAY as Xlib does; false for the forms the probe does not know
// (DECnet's "host::0", a socket path), which are left to SDL.
bool parseDisplay(const std::string& value, DisplayName& name)
{
    name.shown = printable(value, ReasonMaxChars);
    std::string rest = value;
    const std::size_t slash = rest.find('/');
    if (slash != std::string::npos && slash < rest.rfind(':')) {
        if (slash == 0) return false;
        name.protocol = rest.substr(0, slash);
        rest.erase(0, slash + 1);
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos) return false;
    name.host = rest.substr(0, colon);
    if (!name.host.empty() && name.host.back() == ':') return false;
    if (name.host.size() >= 2 && name.host.front() == '[' && name.host.back() == ']')
        name.host = name.host.substr(1, name.host.size() - 2);
    const std::string number = rest.substr(colon + 1, rest.find('.', colon) - colon - 1);
    if (number.empty() || number.size() > 5 || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    name.number = std::atoi(number.c_str());
    if (name.number > 65535 - TcpPortBase) return false;
    const std::string& p = name.protocol;
    return p.empty() || p == "unix" || p == "tcp" || p == "inet" || p == "inet6";
}

bool isLocal(const DisplayName& name)
{
    return name.protocol == "unix" || name.host.empty() || name.host == "unix";
}

// A connection to the socket at path, or to the abstract socket of that
// name (which Linux servers open beside the file); -1 and errno otherwise.
int connectUnix(const std::string& path, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t start = abstract ? 1 : 0;  // an abstract name starts with a zero byte
    if (start + path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path + start, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + start + path.size());
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

// A connection to the display's port on host ("" is this machine), trying
// each of its addresses; -1 and a message otherwise.
int connectTcp(const DisplayName& name, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = name.protocol == "inet" ? AF_INET : name.protocol == "inet6" ? AF_INET6 : AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    const std::string host = name.host.empty() ? "localhost" : name.host;
    const std::string port = std::to_string(TcpPortBase + name.number);
    addrinfo* found = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found)) {
        error = "cannot find the host of the display " + name.shown + " (" + ::gai_strerror(failed) + ")";
        return -1;
    }
    int fd = -1;
    int lastError = ECONNREFUSED;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            lastError = errno;
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        error = lastError == ECONNREFUSED
                    ? "no X server listens on the display " + name.shown + " (port " + port + " refused)"
                    : "cannot reach the display " + name.shown + ": " + std::strerror(lastError);
        errno = lastError;
    }
    return fd;
}

// The authority file's cookie for the display, found as Xlib finds it: the
// first entry for this address family and address (or a wildcard) and this
// display number (or any), an XDM entry winning over a magic cookie.
struct Cookie {
    std::string data;     // empty: none, and none is sent
    bool matches = true;  // false: Xlib would send something the probe cannot
};

Cookie cookieFor(unsigned family, const std::string& address, int number)
{
    Cookie cookie;
    std::string path;
    if (const char* named = std::getenv("XAUTHORITY"); named && *named)
        path = named;
    else if (const char* home = std::getenv("HOME"); home && *home)
        path = std::string(home) + "/.Xauthority";
    std::vector<unsigned char> bytes;
    const platform::ReadResult read =
        path.empty() ? platform::ReadResult{}
                     : platform::readFile(path, bytes, AuthorityMaxBytes, platform::OverCap::Reject);
    if (!read) {
        cookie.matches = path.empty() || read.status == platform::ReadResult::Missing;
        return cookie;
    }
    // Entries: a big-endian 16-bit family, then address, display number,
    // name and data, each a 16-bit length and its bytes. A cut-off entry
    // ends the file, as it does for Xlib.
    std::size_t at = 0;
    auto take16 = [&](unsigned& value) {
        if (bytes.size() - at < 2) return false;
        value = static_cast<unsigned>(bytes[at]) << 8 | bytes[at + 1];
        at += 2;
        return true;
    };
    auto takeString = [&](std::string& value) {
        unsigned length = 0;
        if (!take16(length) || bytes.size() - at < length) return false;
        value.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        return true;
    };
    const std::string wanted = std::to_string(number);
    bool haveMagic = false;
    for (;;) {
        unsigned entryFamily = 0;
        std::string entryAddress, entryNumber, entryName, entryData;
        if (!take16(entryFamily) || !takeString(entryAddress) || !takeString(entryNumber) ||
            !takeString(entryName) || !takeString(entryData))
            break;
        const bool forAddress = entryFamily == FamilyWild ||
                                (entryFamily == family && entryAddress == address);
        if (!forAddress || !(entryNumber.empty() || entryNumber == wanted)) continue;
        if (entryName == XdmAuthorization) {
            cookie.matches = false;
            break;
        }
        if (entryName == MagicCookie && !haveMagic) {
            haveMagic = true;
            cookie.data = entryData;
        }
    }
    return cookie;
}

// The family and address the authority file knows the connected server by:
// this machine by its host name, any other by its network address.
void authorityAddress(int fd, bool local, unsigned& family, std::string& address)
{
    family = FamilyLocal;
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (!local && ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
        if (peer.ss_family == AF_INET) {
            const auto& in = reinterpret_cast<const sockaddr_in&>(peer).sin_addr;
            if (in.s_addr != htonl(INADDR_LOOPBACK)) {
                family = FamilyInternet;
                address.assign(reinterpret_cast<const char*>(&in), sizeof in);
                return;
            }
        } else if (peer.ss_family == AF_INET6) {
            const auto& in6 = reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr;
            const auto* bytes = reinterpret_cast<const char*>(&in6);
            if (IN6_IS_ADDR_V4MAPPED(&in6)) {
                in_addr in{};
                std::memcpy(&in, bytes + 12, sizeof in);
                if (in.s_addr != htonl(INADDR_LOOPBACK)) {
                    family = FamilyInternet;
                    address.assign(bytes + 12, sizeof in);
                    return;
                }
            } else if (!IN6_IS_ADDR_LOOPBACK(&in6)) {
                family = FamilyInternet6;
                address.assign(bytes, sizeof in6);
                return;
            }
        }
    }
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) address = host;
}

bool sendAll(int fd, const std::vector<unsigned char>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads exactly count bytes; false on an error or the end of the stream.
bool receiveAll(int fd, unsigned char* to, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, to + got, count - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void appendPadded(std::vector<unsigned char>& to, const std::string& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
    to.resize(to.size() + (4 - bytes.size() % 4) % 4, 0);
}

// Sends the connection set-up and reads the server's verdict.
Answer greet(int fd, const DisplayName& name, bool local)
{
    using platform::DisplayProbe;
    unsigned family = 0;
    std::string address;
    authorityAddress(fd, local, family, address);
    const Cookie cookie = cookieFor(family, address, name.number);
    const std::string authName = cookie.data.empty() ? std::string() : MagicCookie;
    // Most significant byte first, protocol 11.0, the cookie if any.
    std::vector<unsigned char> setup = {'B', 0, 0, 11, 0, 0};
    for (const std::size_t length : {authName.size(), cookie.data.size()}) {
        setup.push_back(static_cast<unsigned char>(length >> 8));
        setup.push_back(static_cast<unsigned char>(length));
    }
    setup.resize(12, 0);
    appendPadded(setup, authName);
    appendPadded(setup, cookie.data);
    // Status, reason length, protocol version, then the length of what
    // follows in 4-byte units: a refusal's reason, or the server's set-up.
    unsigned char head[8];
    Answer answer;
    if (!sendAll(fd, setup) || !receiveAll(fd, head, sizeof head)) {
        // Dropped before any answer: a server starting afresh or with a full
        // listen queue does that, and may take the next try.
        answer.outcome = DisplayProbe::Busy;
        answer.error = "the display " + name.shown +
                       " kept closing the connection without an answer: a busy X server, or a forwarded "
                       "connection whose far end has gone";
        return answer;
    }
    constexpr unsigned char Refused = 0, Accepted = 1, Authenticate = 2;
    if (head[0] == Accepted) {
        answer.fd = fd;
        return answer;
    }
    if (head[0] != Refused && head[0] != Authenticate) {
        answer.outcome = DisplayProbe::Failed;
        answer.error = "the display " + name.shown + " answered, but not as an X server does";
        return answer;
    }
    // The server is there and has said why: the connection Xlib would make
    // gets the same answer, unless it would have sent a cookie this cannot.
    if (!cookie.matches) return answer;
    const std::size_t following = (static_cast<std::size_t>(head[6]) << 8 | head[7]) * 4;
    const std::size_t reasonLength =
        std::min(head[0] == Refused ? std::size_t{head[1]} : following, std::size_t{1024});
    std::string reason(std::min(reasonLength, following), '\0');
    if (!receiveAll(fd, reinterpret_cast<unsigned char*>(&reason[0]), reason.size())) reason.clear();
    reason = printable(reason, ReasonMaxChars);
    answer.outcome = DisplayProbe::Failed;
    answer.error = "the display " + name.shown + " refused the connection" +
                   (reason.empty() ? "" : ": " + reason);
    return answer;
}

// Why a local display took no connection: nothing there, or a socket left
// over from a server that has gone.
std::string localFailure(const DisplayName& name, const std::string& path, int error)
{
    struct stat status {};
    const bool socketThere = ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
    if (error == ECONNREFUSED && socketThere)
        return "no X server listens on the display " + name.shown + ": its socket " + path +
               " is left over from one that has ended";
    if (error == ENOENT || error == ECONNREFUSED)
        return "no X server on the display " + name.shown + " (there is no " + path + ")";
    return "cannot connect to the display " + name.shown + " at " + path + ": " + std::strerror(error);
}

// The whole probe, blocking: connect as Xlib would, then the set-up.
Answer probe(const DisplayName& name)
{
    using platform::DisplayProbe;
    Answer answer;
    int fd = -1;
    const bool local = isLocal(name);
    if (local) {
        const std::string path = SocketPrefix + std::to_string(name.number);
        fd = connectUnix(path, true);
        if (fd < 0 && (errno == ENOENT || errno == ECONNREFUSED)) fd = connectUnix(path, false);
        if (fd < 0) {
            const int error = errno;
            // A refusal for the moment; otherwise, like Xlib, the display's
            // port on this machine, for a server that only listens there.
            if (error == EAGAIN || error == ECONNRESET) {
                answer.outcome = DisplayProbe::Busy;
                answer.error = "the display " + name.shown +
                               " kept refusing the connection for the moment (" + std::strerror(error) +
                               "): its X server is too busy";
                return answer;
            }
            std::string tcpError;
            if (name.protocol.empty() && name.host.empty()) fd = connectTcp(name, tcpError);
            if (fd < 0) {
                answer.outcome = DisplayProbe::Failed;
                answer.error = localFailure(name, path, error);
                return answer;
            }
        }
    } else {
        fd = connectTcp(name, answer.error);
        if (fd < 0) {
            answer.outcome = DisplayProbe::Failed;
            return answer;
        }
    }
    answer = greet(fd, name, local);
    if (answer.fd != fd) ::close(fd);
    return answer;
}

}  // namespace

namespace platform {

DisplayProbe sdlProbeDisplay(std::chrono::seconds limit, int& connection, std::string& error)
{
    connection = -1;
    DisplayName name;
    const char* display = std::getenv("DISPLAY");
    if (!display || !parseDisplay(display, name)) return DisplayProbe::Usable;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto state = std::make_shared<ProbeState>();
    // The probe takes no signal: they stay with the waiting main thread.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    bool started = true;
    try {
        std::thread([state, name] {
            state->answer = probe(name);
            state->done.store(true);
            sdlWakeMainThread();
        }).detach();
    } catch (const std::system_error&) {
        started = false;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    // Without a thread to wait for, SDL connects unwatched, as it always did.
    if (!started) return DisplayProbe::Usable;
    // A probe still waiting at the deadline is left behind: the game ends.
    if (!sdlWaitAtStart([&] { return state->done.load(); }, deadline)) {
        error = "the display " + name.shown + " did not answer within " + std::to_string(limit.count()) +
                " s: its X server may be stopped or hung, or the connection to it lost";
        return DisplayProbe::Failed;
    }
    connection = std::exchange(state->answer.fd, -1);
    error = state->answer.error;
    return state->answer.outcome;
}

}  // namespace platform
