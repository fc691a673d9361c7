// Socket error codes (Winsock numbering, which every copy reports alike) and
// their Japanese message texts.
#pragma once

#include <string>

namespace ravu {

constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAHOST_NOT_FOUND = 11001;  // not in the text table
constexpr int WSANOTINITIALISED = 10093;

// The Shift-JIS message text for a code; empty for a code outside the table.
std::string SockErrorText(int code);

// The Winsock code of a POSIX errno value; the errno itself when it has no
// counterpart (which then has no text).
int ErrnoToWsaCode(int posixErrno);

// Text set by a guest's connect that is still pending.
std::string ConnectPendingText();

// Message shown when a packet could not be sent.
std::string SendErrorText();

}  // namespace ravu
