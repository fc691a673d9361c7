#include "net/sock_errors.h"

#include <cerrno>

namespace ravu {

namespace {
struct ErrorText {
    int code;
    const char* text;
};

// Japanese descriptions of the socket errors, as every copy shows them.
const ErrorText kErrorTexts[] = {
    {WSAEACCES,
     "要求したアドレスはブロードキャスト アドレスですが、適切なフラグが設定されていませんでした。"},
    {WSAEFAULT, "引数が不正です。"},
    {WSAEINVAL, "ソケットはまだアドレスにバインドされていません。（接続時は既にされています。）"},
    {WSAEMFILE, "利用できるファイル ディスクリプタがありません。"},
    {WSAEWOULDBLOCK, "ソケットは非ブロッキングになっていて、要求した操作がブロックされました。"},
    {WSAEINPROGRESS, "実行中の Windows ソケット操作がブロッキングされています。"},
    {WSAENOTSOCK, "ディスクリプタがソケットではありません。"},
    {WSAEDESTADDRREQ, "宛先アドレスが必要です。"},
    {WSAEMSGSIZE,
     "ソケットが SOCK_DGRAM 型で、Windows "
     "ソケットのインプリメントがサポートする最大長よりもデータグラムが長すぎます。"},
    {WSAEOPNOTSUPP, "MSG_OOB が指定されましたが、SOCK_STREAM 型のソケットではありません。"},
    {WSAEAFNOSUPPORT, "指定したファミリのアドレスは、このソケットでは使えません。"},
    {WSAEADDRINUSE, "指定したアドレスは使用中です。"},
    {WSAEADDRNOTAVAIL, "指定したアドレスは、ローカル マシンからは利用できません。"},
    {WSAENETDOWN, "Windows ソケットのインプリメントが、ネットワーク サブシステムの異常を検出しました。"},
    {WSAENETUNREACH, "現時点で、ホストからネットワークに到達できません。"},
    {WSAENETRESET,
     "Windows ソケットのインプリメントがソケットをドロップしたので、接続をリセットする必要があります。"},
    {WSAECONNABORTED, "タイムアウトまたはその他の障害により、仮想回路はアボートされました。"},
    {WSAECONNRESET, "リモート側から仮想回路がリセットされました。 "},
    {WSAENOBUFS, "利用できるバッファ領域がありません。ソケットは接続できません。"},
    {WSAEISCONN, "ソケットは既に接続されています。"},
    {WSAENOTCONN, "ソケットが接続されていません。"},
    {WSAESHUTDOWN, "ソケットはシャット ダウンされています。"},
    {WSAETIMEDOUT, "接続を試みましたが、タイムアウトで接続を確立できませんでした。"},
    {WSAECONNREFUSED, "接続を試みましたが、強制的にリジェクトされました。"},
    {WSANOTINITIALISED, "この API を使う前に AfxSocketInit の呼び出しが正常終了していることが必要です。"},
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
            return e.text;
    return std::string();
}

int ErrnoToWsaCode(int posixErrno) {
    for (const ErrnoCode& e : kErrnoCodes)
        if (e.posix == posixErrno)
            return e.wsa;
    return posixErrno;
}

std::string ConnectPendingText() { return "ソケットが非ブロッキングになっていて、接続が完了できません。 \n"; }

std::string SendErrorText() { return "送信エラー"; }

}  // namespace ravu
