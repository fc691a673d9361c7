#include "net/sock_errors.h"

#include <cerrno>

#include "game/local_text.h"

namespace ravu {

namespace {
struct ErrorText {
    int code;
    const char* text;
};

// Japanese descriptions of the socket errors, as every copy shows them.
const ErrorText kErrorTexts[] = {
    {WSAEACCES,
     RAVU_TEXT(
         "SocketError",
         "要求したアドレスはブロードキャスト アドレスですが、適切なフラグが設定されていませんでした。")},
    {WSAEFAULT, RAVU_TEXT("SocketError", "引数が不正です。")},
    {WSAEINVAL, RAVU_TEXT("SocketError",
                          "ソケットはまだアドレスにバインドされていません。（接続時は既にされています。）")},
    {WSAEMFILE, RAVU_TEXT("SocketError", "利用できるファイル ディスクリプタがありません。")},
    {WSAEWOULDBLOCK,
     RAVU_TEXT("SocketError", "ソケットは非ブロッキングになっていて、要求した操作がブロックされました。")},
    {WSAEINPROGRESS, RAVU_TEXT("SocketError", "実行中の Windows ソケット操作がブロッキングされています。")},
    {WSAENOTSOCK, RAVU_TEXT("SocketError", "ディスクリプタがソケットではありません。")},
    {WSAEDESTADDRREQ, RAVU_TEXT("SocketError", "宛先アドレスが必要です。")},
    {WSAEMSGSIZE, RAVU_TEXT("SocketError",
                            "ソケットが SOCK_DGRAM 型で、Windows "
                            "ソケットのインプリメントがサポートする最大長よりもデータグラムが長すぎます。")},
    {WSAEOPNOTSUPP,
     RAVU_TEXT("SocketError", "MSG_OOB が指定されましたが、SOCK_STREAM 型のソケットではありません。")},
    {WSAEAFNOSUPPORT, RAVU_TEXT("SocketError", "指定したファミリのアドレスは、このソケットでは使えません。")},
    {WSAEADDRINUSE, RAVU_TEXT("SocketError", "指定したアドレスは使用中です。")},
    {WSAEADDRNOTAVAIL, RAVU_TEXT("SocketError", "指定したアドレスは、ローカル マシンからは利用できません。")},
    {WSAENETDOWN,
     RAVU_TEXT("SocketError",
               "Windows ソケットのインプリメントが、ネットワーク サブシステムの異常を検出しました。")},
    {WSAENETUNREACH, RAVU_TEXT("SocketError", "現時点で、ホストからネットワークに到達できません。")},
    {WSAENETRESET,
     RAVU_TEXT(
         "SocketError",
         "Windows ソケットのインプリメントがソケットをドロップしたので、接続をリセットする必要があります。")},
    {WSAECONNABORTED,
     RAVU_TEXT("SocketError", "タイムアウトまたはその他の障害により、仮想回路はアボートされました。")},
    {WSAECONNRESET, RAVU_TEXT("SocketError", "リモート側から仮想回路がリセットされました。 ")},
    {WSAENOBUFS, RAVU_TEXT("SocketError", "利用できるバッファ領域がありません。ソケットは接続できません。")},
    {WSAEISCONN, RAVU_TEXT("SocketError", "ソケットは既に接続されています。")},
    {WSAENOTCONN, RAVU_TEXT("SocketError", "ソケットが接続されていません。")},
    {WSAESHUTDOWN, RAVU_TEXT("SocketError", "ソケットはシャット ダウンされています。")},
    {WSAETIMEDOUT,
     RAVU_TEXT("SocketError", "接続を試みましたが、タイムアウトで接続を確立できませんでした。")},
    {WSAECONNREFUSED, RAVU_TEXT("SocketError", "接続を試みましたが、強制的にリジェクトされました。")},
    {WSANOTINITIALISED,
     RAVU_TEXT("SocketError",
               "この API を使う前に AfxSocketInit の呼び出しが正常終了していることが必要です。")},
};

struct ErrnoCode {
    int posix;
    int wsa;
};

const ErrnoCode kErrnoCodes[] = {
    {EACCES, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {EWOULDBLOCK, WSAEWOULDBLOCK},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEINPROGRESS},
    {ENOTSOCK, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
};
}  // namespace

std::string SockErrorText(int code) {
    for (const ErrorText& e : kErrorTexts)
        if (e.code == code)
            return LocalText("SocketError", e.text);
    return std::string();
}

int ErrnoToWsaCode(int posixErrno) {
    for (const ErrnoCode& e : kErrnoCodes)
        if (e.posix == posixErrno)
            return e.wsa;
    return posixErrno;
}

std::string ConnectPendingText() {
    return LocalText(
        "SocketError",
        RAVU_TEXT("SocketError", "ソケットが非ブロッキングになっていて、接続が完了できません。 \n"));
}

std::string SendErrorText() { return LocalText("SocketError", RAVU_TEXT("SocketError", "送信エラー")); }

}  // namespace ravu
