<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>ClockFace</name>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>GameSettings</name>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1分%2秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source> ルール: 反則は負け</source>
        <translation> Rules: illegal move loses</translation>
    </message>
    <message>
        <source> ルール: 自由</source>
        <translation> Rules: free</translation>
    </message>
    <message>
        <source> 手合割: %1（上手から）</source>
        <translation> Handicap: %1 (uwate first)</translation>
    </message>
    <message>
        <source> 持ち時間: なし</source>
        <translation> Time: none</translation>
    </message>
    <message>
        <source> 持ち時間: %1 切れ負け</source>
        <translation> Time: %1, sudden death</translation>
    </message>
    <message>
        <source> 持ち時間: %1 秒読み%2</source>
        <translation> Time: %1, byoyomi %2</translation>
    </message>
    <message>
        <source> 持ち時間: %1 1手ごとに+%2</source>
        <translation> Time: %1, +%2 per move</translation>
    </message>
</context>
<context>
    <name>Handicap</name>
    <message>
        <source>香落ち</source>
        <translation>Lance</translation>
    </message>
    <message>
        <source>右香落ち</source>
        <translation>Right lance</translation>
    </message>
    <message>
        <source>角落ち</source>
        <translation>Bishop</translation>
    </message>
    <message>
        <source>飛車落ち</source>
        <translation>Rook</translation>
    </message>
    <message>
        <source>飛香落ち</source>
        <translation>Rook and lance</translation>
    </message>
    <message>
        <source>二枚落ち</source>
        <translation>Two pieces</translation>
    </message>
    <message>
        <source>三枚落ち</source>
        <translation>Three pieces</translation>
    </message>
    <message>
        <source>四枚落ち</source>
        <translation>Four pieces</translation>
    </message>
    <message>
        <source>五枚落ち</source>
        <translation>Five pieces</translation>
    </message>
    <message>
        <source>左五枚落ち</source>
        <translation>Five pieces (left)</translation>
    </message>
    <message>
        <source>六枚落ち</source>
        <translation>Six pieces</translation>
    </message>
    <message>
        <source>左七枚落ち</source>
        <translation>Seven pieces (left)</translation>
    </message>
    <message>
        <source>右七枚落ち</source>
        <translation>Seven pieces (right)</translation>
    </message>
    <message>
        <source>八枚落ち</source>
        <translation>Eight pieces</translation>
    </message>
    <message>
        <source>十枚落ち</source>
        <translation>Ten pieces</translation>
    </message>
</context>
<context>
    <name>Notice</name>
    <message>
        <source>相手が投了しました。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Your opponent resigned.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>玉を取られました。<byte value="xd"/>
あなたの負けです。</source>
        <translation>Your king was taken.<byte value="xd"/>
You lose.</translation>
    </message>
    <message>
        <source>相手が対局を終えました。</source>
        <translation>Your opponent ended the game.</translation>
    </message>
    <message>
        <source>受信した指し手を盤に置けませんでした。<byte value="xd"/>
対局を終わります。</source>
        <translation>The move received does not<byte value="xd"/>
fit the board.<byte value="xd"/>
The game ends.</translation>
    </message>
    <message>
        <source>相手との接続が切れました。<byte value="xd"/>
対局を終わります。</source>
        <translation>The connection to your<byte value="xd"/>
opponent was lost.<byte value="xd"/>
The game ends.</translation>
    </message>
    <message>
        <source>相手との接続が切れました。</source>
        <translation>The connection to your opponent was lost.</translation>
    </message>
    <message>
        <source>先手が投了しました。</source>
        <translation>Sente resigned.</translation>
    </message>
    <message>
        <source>後手が投了しました。</source>
        <translation>Gote resigned.</translation>
    </message>
    <message>
        <source>先手の勝ちで<byte value="xd"/>
対局が終わりました。</source>
        <translation>The game is over:<byte value="xd"/>
sente wins.</translation>
    </message>
    <message>
        <source>後手の勝ちで<byte value="xd"/>
対局が終わりました。</source>
        <translation>The game is over:<byte value="xd"/>
gote wins.</translation>
    </message>
    <message>
        <source>観戦中の対局が終わりました。</source>
        <translation>The game you are watching is over.</translation>
    </message>
    <message>
        <source>対局者との接続が切れました。<byte value="xd"/>
観戦を終わります。</source>
        <translation>The connection to the player<byte value="xd"/>
was lost.<byte value="xd"/>
You stop watching.</translation>
    </message>
    <message>
        <source>チャットが届きました。<byte value="xd"/>
右クリックのメニューの<byte value="xd"/>
「ログ窓を表示」で読めます。</source>
        <translation>A chat message arrived.<byte value="xd"/>
Read it with &quot;Show chat log&quot;<byte value="xd"/>
in the right-click menu.</translation>
    </message>
    <message>
        <source>詰みました。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Checkmate.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>詰まされました。<byte value="xd"/>
あなたの負けです。</source>
        <translation>You are checkmated.<byte value="xd"/>
You lose.</translation>
    </message>
    <message>
        <source>千日手です。<byte value="xd"/>
引き分けです。</source>
        <translation>Repetition (sennichite).<byte value="xd"/>
The game is a draw.</translation>
    </message>
    <message>
        <source>連続王手の千日手です。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Repetition by perpetual<byte value="xd"/>
check.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>連続王手の千日手です。<byte value="xd"/>
あなたの負けです。</source>
        <translation>Repetition by perpetual<byte value="xd"/>
check.<byte value="xd"/>
You lose.</translation>
    </message>
    <message>
        <source>相手の指し手は反則です。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Your opponent made an<byte value="xd"/>
illegal move.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>相手の時間が切れました。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Your opponent&apos;s time<byte value="xd"/>
ran out.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>時間が切れました。<byte value="xd"/>
あなたの負けです。</source>
        <translation>Your time ran out.<byte value="xd"/>
You lose.</translation>
    </message>
    <message>
        <source>入玉宣言が成立しました。<byte value="xd"/>
あなたの勝ちです。</source>
        <translation>Your entering-king<byte value="xd"/>
declaration holds.<byte value="xd"/>
You win.</translation>
    </message>
    <message>
        <source>相手の入玉宣言が成立しました。<byte value="xd"/>
あなたの負けです。</source>
        <translation>Your opponent&apos;s entering-king<byte value="xd"/>
declaration holds.<byte value="xd"/>
You lose.</translation>
    </message>
    <message>
        <source>相手との接続が切れました。<byte value="xd"/>
対局を中断して<byte value="xd"/>
再開を待ちます。</source>
        <translation>The connection to your<byte value="xd"/>
opponent was lost.<byte value="xd"/>
The game is adjourned<byte value="xd"/>
until it can resume.</translation>
    </message>
    <message>
        <source>中断していた対局を<byte value="xd"/>
読み込みました。<byte value="xd"/>
再開を待ちます。</source>
        <translation>The adjourned game<byte value="xd"/>
was loaded.<byte value="xd"/>
Waiting to resume.</translation>
    </message>
    <message>
        <source>対局を再開しました。</source>
        <translation>The game has resumed.</translation>
    </message>
    <message>
        <source>中断した対局を<byte value="xd"/>
再開できませんでした。<byte value="xd"/>
対局を終わります。</source>
        <translation>The adjourned game<byte value="xd"/>
could not be resumed.<byte value="xd"/>
The game ends.</translation>
    </message>
    <message>
        <source>感想戦を始めます。</source>
        <translation>The review begins.</translation>
    </message>
    <message>
        <source>感想戦を終わります。</source>
        <translation>The review is over.</translation>
    </message>
</context>
<context>
    <name>PortMap</name>
    <message>
        <source>ポート開放: %1</source>
        <translation>Port forwarding: %1</translation>
    </message>
    <message>
        <source>設定で切ってあります</source>
        <translation>turned off in the settings</translation>
    </message>
    <message>
        <source>待ち受けていないので行いません</source>
        <translation>not done, as this copy is not listening</translation>
    </message>
    <message>
        <source>ルーターに問い合わせています</source>
        <translation>asking the router</translation>
    </message>
    <message>
        <source>応答するルーターがありません</source>
        <translation>no router answers</translation>
    </message>
    <message>
        <source>ルーターに断られました（%1 コード %2）</source>
        <translation>refused by the router (%1 code %2)</translation>
    </message>
    <message>
        <source>ポート %1 を開きましたが、ルーターの外側のアドレス（%2）がインターネットから届かないため、外部からは接続できません</source>
        <translation>port %1 is open, but the router&apos;s outside address (%2) cannot be reached from the internet, so nobody outside can connect</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>外部から接続できるアドレス: %1:%2（%3）</source>
        <translation>Address reachable from outside: %1:%2 (%3)</translation>
    </message>
</context>
<context>
    <name>Question</name>
    <message>
        <source><byte value="xd"/>
接続の申し込みがあります。<byte value="xd"/>
接続してもよろしいですか？<byte value="xd"/>
</source>
        <translation><byte value="xd"/>
Someone wants to connect.<byte value="xd"/>
Accept the connection?<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
ハンドル名：</source>
        <translation><byte value="xd"/>
Handle: </translation>
    </message>
    <message>
        <source>先手・後手はこれでいいですか？</source>
        <translation>Are these sides all right?</translation>
    </message>
    <message>
        <source> 先手: %1 <byte value="xd"/>
 後手: %2</source>
        <translation> Sente: %1 <byte value="xd"/>
 Gote: %2</translation>
    </message>
    <message>
        <source> 下手: %1 <byte value="xd"/>
 上手: %2</source>
        <translation> Shitate: %1 <byte value="xd"/>
 Uwate: %2</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
投了しますか ？</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Do you resign?</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
対局を終了し回線を切ります。</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
End the game and disconnect.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
入玉を宣言しますか ？</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Declare entering king?</translation>
    </message>
</context>
<context>
    <name>SkinFiles</name>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>Files not found.</translation>
    </message>
</context>
<context>
    <name>SocketError</name>
    <message>
        <source>要求したアドレスはブロードキャスト アドレスですが、適切なフラグが設定されていませんでした。</source>
        <translation>The requested address is a broadcast address, but the broadcast flag is not set.</translation>
    </message>
    <message>
        <source>引数が不正です。</source>
        <translation>Invalid argument.</translation>
    </message>
    <message>
        <source>ソケットはまだアドレスにバインドされていません。（接続時は既にされています。）</source>
        <translation>The socket is not bound to an address yet (or, when connecting, already is).</translation>
    </message>
    <message>
        <source>利用できるファイル ディスクリプタがありません。</source>
        <translation>No file descriptors are available.</translation>
    </message>
    <message>
        <source>ソケットは非ブロッキングになっていて、要求した操作がブロックされました。</source>
        <translation>The socket is non-blocking and the requested operation would block.</translation>
    </message>
    <message>
        <source>実行中の Windows ソケット操作がブロッキングされています。</source>
        <translation>A blocking socket operation is in progress.</translation>
    </message>
    <message>
        <source>ディスクリプタがソケットではありません。</source>
        <translation>The descriptor is not a socket.</translation>
    </message>
    <message>
        <source>宛先アドレスが必要です。</source>
        <translation>A destination address is required.</translation>
    </message>
    <message>
        <source>ソケットが SOCK_DGRAM 型で、Windows ソケットのインプリメントがサポートする最大長よりもデータグラムが長すぎます。</source>
        <translation>The socket is of type SOCK_DGRAM and the datagram is longer than the maximum supported.</translation>
    </message>
    <message>
        <source>MSG_OOB が指定されましたが、SOCK_STREAM 型のソケットではありません。</source>
        <translation>MSG_OOB was given, but the socket is not of type SOCK_STREAM.</translation>
    </message>
    <message>
        <source>指定したファミリのアドレスは、このソケットでは使えません。</source>
        <translation>Addresses of this family cannot be used with this socket.</translation>
    </message>
    <message>
        <source>指定したアドレスは使用中です。</source>
        <translation>The address is already in use.</translation>
    </message>
    <message>
        <source>指定したアドレスは、ローカル マシンからは利用できません。</source>
        <translation>The address is not available on this machine.</translation>
    </message>
    <message>
        <source>Windows ソケットのインプリメントが、ネットワーク サブシステムの異常を検出しました。</source>
        <translation>The network subsystem has failed.</translation>
    </message>
    <message>
        <source>現時点で、ホストからネットワークに到達できません。</source>
        <translation>The network cannot be reached from this host at present.</translation>
    </message>
    <message>
        <source>Windows ソケットのインプリメントがソケットをドロップしたので、接続をリセットする必要があります。</source>
        <translation>The connection was dropped and must be reset.</translation>
    </message>
    <message>
        <source>タイムアウトまたはその他の障害により、仮想回路はアボートされました。</source>
        <translation>The connection was aborted by a time-out or another failure.</translation>
    </message>
    <message>
        <source>リモート側から仮想回路がリセットされました。 </source>
        <translation>The connection was reset by the other side. </translation>
    </message>
    <message>
        <source>利用できるバッファ領域がありません。ソケットは接続できません。</source>
        <translation>No buffer space is available. The socket cannot connect.</translation>
    </message>
    <message>
        <source>ソケットは既に接続されています。</source>
        <translation>The socket is already connected.</translation>
    </message>
    <message>
        <source>ソケットが接続されていません。</source>
        <translation>The socket is not connected.</translation>
    </message>
    <message>
        <source>ソケットはシャット ダウンされています。</source>
        <translation>The socket has been shut down.</translation>
    </message>
    <message>
        <source>接続を試みましたが、タイムアウトで接続を確立できませんでした。</source>
        <translation>The connection attempt timed out.</translation>
    </message>
    <message>
        <source>接続を試みましたが、強制的にリジェクトされました。</source>
        <translation>The connection was refused.</translation>
    </message>
    <message>
        <source>この API を使う前に AfxSocketInit の呼び出しが正常終了していることが必要です。</source>
        <translation>The socket layer has not been initialised.</translation>
    </message>
    <message>
        <source>ソケットが非ブロッキングになっていて、接続が完了できません。 
</source>
        <translation>The socket is non-blocking and the connection cannot be completed at once. 
</translation>
    </message>
    <message>
        <source>送信エラー</source>
        <translation>Send error</translation>
    </message>
</context>
<context>
    <name>ravu::CAboutDlg</name>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報 RavuOne</source>
        <translation>About RavuOne</translation>
    </message>
    <message>
        <source>協力者（敬称略）</source>
        <translation>With thanks to</translation>
    </message>
    <message>
        <source>RavuOne を試してくださった皆さん</source>
        <translation>everyone who tried RavuOne</translation>
    </message>
    <message>
        <source>キャラクタのご提供</source>
        <translation>Character artwork</translation>
    </message>
    <message>
        <source>RavuOne 開発者（自作の絵）</source>
        <translation>RavuOne&apos;s developer (own drawings)</translation>
    </message>
</context>
<context>
    <name>ravu::CAnalysisDlg</name>
    <message>
        <source>先手勝ち</source>
        <translation>Sente wins</translation>
    </message>
    <message>
        <source>後手勝ち</source>
        <translation>Gote wins</translation>
    </message>
    <message>
        <source>先手勝ち（%1手詰）</source>
        <translation>Sente wins (mate in %1)</translation>
    </message>
    <message>
        <source>後手勝ち（%1手詰）</source>
        <translation>Gote wins (mate in %1)</translation>
    </message>
    <message>
        <source>解析</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>エンジンのコマンド</source>
        <translation>Engine command</translation>
    </message>
    <message>
        <source>1手の解析時間</source>
        <translation>Analysis time per move</translation>
    </message>
    <message>
        <source>変化も</source>
        <translation>Variations too</translation>
    </message>
    <message>
        <source>棋譜解析</source>
        <translation>Analyse game</translation>
    </message>
    <message>
        <source>検討</source>
        <translation>Consider</translation>
    </message>
    <message>
        <source>盤面の局面をエンジンが読み続けます</source>
        <translation>The engine keeps thinking about the position on the board</translation>
    </message>
    <message>
        <source>読み筋を盤に</source>
        <translation>Line to board</translation>
    </message>
    <message>
        <source>変化に残す</source>
        <translation>Keep as variation</translation>
    </message>
    <message>
        <source>評価値と読み筋</source>
        <translation>Evaluation and line</translation>
    </message>
    <message>
        <source>エンジン</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>評価値 </source>
        <translation>Evaluation </translation>
    </message>
    <message>
        <source>対局中はエンジンを使えません。</source>
        <translation>The engine cannot be used during a game.</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>解析中…</source>
        <translation>Analysing…</translation>
    </message>
    <message>
        <source>解析を中止しました。</source>
        <translation>Analysis stopped.</translation>
    </message>
    <message>
        <source>解析が終わりました。</source>
        <translation>Analysis finished.</translation>
    </message>
    <message>
        <source>検討中…</source>
        <translation>Considering…</translation>
    </message>
    <message>
        <source>検討 評価値 </source>
        <translation>Considering: evaluation </translation>
    </message>
    <message>
        <source>（深さ %1）
</source>
        <translation> (depth %1)
</translation>
    </message>
</context>
<context>
    <name>ravu::CBalloonDlg</name>
    <message>
        <source>キャラクターの質問とお知らせ</source>
        <translation>The character&apos;s questions and notices</translation>
    </message>
    <message>
        <source>はい（閉じる）</source>
        <translation>Yes (close)</translation>
    </message>
    <message>
        <source>はい</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>ravu::CChatLogDlg</name>
    <message>
        <source>チャットログ</source>
        <translation>Chat log</translation>
    </message>
    <message>
        <source>チャットの記録</source>
        <translation>Chat log</translation>
    </message>
</context>
<context>
    <name>ravu::CConnectDlg</name>
    <message>
        <source>接続</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>ハンドル名：</source>
        <translation>Handle:</translation>
    </message>
    <message>
        <source>相手：</source>
        <translation>Opponent:</translation>
    </message>
    <message>
        <source>接続先：</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>もどる</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>リストの取得</source>
        <translation>Get list</translation>
    </message>
    <message>
        <source>選択の解除</source>
        <translation>Deselect</translation>
    </message>
    <message>
        <source>しばらくお待ちください</source>
        <translation>Please wait</translation>
    </message>
    <message>
        <source>接続先を選んでください</source>
        <translation>Choose a host</translation>
    </message>
    <message>
        <source>接続の待機中です。しばらくお待ちください。</source>
        <translation>Waiting for the host to accept. Please wait.</translation>
    </message>
    <message>
        <source>接続を断られました。</source>
        <translation>The connection was refused.</translation>
    </message>
    <message>
        <source>接続が切れました。</source>
        <translation>The connection was lost.</translation>
    </message>
    <message>
        <source>時間内に接続できませんでした</source>
        <translation>Could not connect in time</translation>
    </message>
    <message>
        <source>接続先が見つかりませんでした。</source>
        <translation>The host was not found.</translation>
    </message>
    <message>
        <source>接続先</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>ホストの一覧</source>
        <translation>Host list</translation>
    </message>
</context>
<context>
    <name>ravu::CEvalGraph</name>
    <message>
        <source>評価値グラフ</source>
        <translation>Evaluation graph</translation>
    </message>
</context>
<context>
    <name>ravu::CKifuDlg</name>
    <message>
        <source>悪手</source>
        <translation>Bad move</translation>
    </message>
    <message>
        <source>棋譜</source>
        <translation>Game record</translation>
    </message>
    <message>
        <source>指し手の一覧</source>
        <translation>Move list</translation>
    </message>
    <message>
        <source>指し手と変化の木</source>
        <translation>Tree of moves and variations</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>日本式の表記（７六歩）</source>
        <translation>Japanese notation (７六歩)</translation>
    </message>
    <message>
        <source>西洋式の表記（P-7f）</source>
        <translation>Western notation (P-7f)</translation>
    </message>
    <message>
        <source>USI形式の表記（7g7f）</source>
        <translation>USI notation (7g7f)</translation>
    </message>
    <message>
        <source>指し手（例: ７六歩、7g7f）</source>
        <translation>Move (e.g. P-7f, 7g7f, P*5e)</translation>
    </message>
    <message>
        <source>指し手</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>指し手の結果</source>
        <translation>Result of the typed move</translation>
    </message>
</context>
<context>
    <name>ravu::CMainDlg</name>
    <message>
        <source>クリップボード</source>
        <translation>Clipboard</translation>
    </message>
    <message>
        <source>貼り付けた文字列は棋譜として読めませんでした。</source>
        <translation>The pasted text could not be read as a game record.</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>編集終了</source>
        <translation>End editing</translation>
    </message>
    <message>
        <source>画面反転</source>
        <translation>Flip board</translation>
    </message>
    <message>
        <source>入玉宣言</source>
        <translation>Declare entering king</translation>
    </message>
    <message>
        <source>中断した対局を終える</source>
        <translation>Give up adjourned game</translation>
    </message>
    <message>
        <source>感想戦を始める</source>
        <translation>Start review</translation>
    </message>
    <message>
        <source>感想戦を終える</source>
        <translation>End review</translation>
    </message>
    <message>
        <source>感想戦から離れて見る</source>
        <translation>Browse apart from review</translation>
    </message>
    <message>
        <source>感想戦に合わせる</source>
        <translation>Follow the review</translation>
    </message>
    <message>
        <source>棋譜をコピー</source>
        <translation>Copy game record</translation>
    </message>
    <message>
        <source>局面をコピー</source>
        <translation>Copy position</translation>
    </message>
    <message>
        <source>棋譜を貼り付け</source>
        <translation>Paste game record</translation>
    </message>
    <message>
        <source>最近の対局</source>
        <translation>Recent games</translation>
    </message>
    <message>
        <source>パネルを消す</source>
        <translation>Hide panel</translation>
    </message>
    <message>
        <source>パネルを表示</source>
        <translation>Show panel</translation>
    </message>
    <message>
        <source>棋譜窓を消す</source>
        <translation>Hide game record</translation>
    </message>
    <message>
        <source>棋譜窓を表示</source>
        <translation>Show game record</translation>
    </message>
    <message>
        <source>ログ窓を消す</source>
        <translation>Hide chat log</translation>
    </message>
    <message>
        <source>ログ窓を表示</source>
        <translation>Show chat log</translation>
    </message>
    <message>
        <source>解析窓を消す</source>
        <translation>Hide analysis</translation>
    </message>
    <message>
        <source>解析窓を表示</source>
        <translation>Show analysis</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About RavuOne</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>入玉宣言の条件を<byte value="xd"/>
満たしていません。<byte value="xd"/>
（27点法：玉と10枚が敵陣に、<byte value="xd"/>
先手28点・後手27点以上、<byte value="xd"/>
王手されていないこと）</source>
        <translation>The entering-king conditions<byte value="xd"/>
are not met (27-point rule:<byte value="xd"/>
king and 10 pieces in the<byte value="xd"/>
enemy camp, sente 28 points,<byte value="xd"/>
gote 27 or more, not in check).</translation>
    </message>
    <message>
        <source>感想戦は、対局のあとに<byte value="xd"/>
つながっている相手とできます。</source>
        <translation>A review can be held after<byte value="xd"/>
a game with those connected.</translation>
    </message>
    <message>
        <source>接続していません。<byte value="xd"/>
先に相手に接続してください。</source>
        <translation>Not connected.<byte value="xd"/>
Connect to an opponent first.</translation>
    </message>
    <message>
        <source>先手・後手は<byte value="xd"/>
接続してきた相手が申し込みます。</source>
        <translation>The sides are proposed<byte value="xd"/>
by the player who connected.</translation>
    </message>
    <message>
        <source>対局中です。</source>
        <translation>A game is in progress.</translation>
    </message>
    <message>
        <source>観戦中は対局を申し込めません。</source>
        <translation>You cannot propose a game<byte value="xd"/>
while watching.</translation>
    </message>
    <message>
        <source>今は対局を申し込めません。</source>
        <translation>You cannot propose a game now.</translation>
    </message>
    <message>
        <source>観戦中は投了できません。</source>
        <translation>You cannot resign<byte value="xd"/>
while watching.</translation>
    </message>
    <message>
        <source>対局中ではありません。</source>
        <translation>No game is in progress.</translation>
    </message>
    <message>
        <source>対局は中断しています。</source>
        <translation>The game is adjourned.</translation>
    </message>
    <message>
        <source>相手の手番です。<byte value="xd"/>
投了は自分の手番にできます。</source>
        <translation>It is your opponent&apos;s turn.<byte value="xd"/>
You can resign on your<byte value="xd"/>
own turn.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
中断した対局を終えますか ？</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Give up the adjourned game?</translation>
    </message>
    <message>
        <source>相手に再接続できませんでした。</source>
        <translation>Could not reconnect to your opponent.</translation>
    </message>
    <message>
        <source>相手に再接続できませんでした。<byte value="xd"/>
「接続」からつなぎ直すと<byte value="xd"/>
対局を再開できます。</source>
        <translation>Could not reconnect to<byte value="xd"/>
your opponent. Connect<byte value="xd"/>
again with &quot;Connect&quot; to<byte value="xd"/>
resume the game.</translation>
    </message>
    <message>
        <source>棋譜を自動保存できませんでした。</source>
        <translation>Could not save the game record automatically. </translation>
    </message>
    <message>
        <source>棋譜ファイル (%1)</source>
        <translation>Game records (%1)</translation>
    </message>
    <message>
        <source>すべてのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source><byte value="xd"/>
Shift-JIS にない文字があります。<byte value="xd"/>
.kifu (UTF-8) で保存しますか ？</source>
        <translation><byte value="xd"/>
Some characters are not in<byte value="xd"/>
Shift-JIS. Save as<byte value="xd"/>
.kifu (UTF-8)?</translation>
    </message>
    <message>
        <source>棋譜ファイルを保存できませんでした。
</source>
        <translation>Could not save the game record.
</translation>
    </message>
    <message>
        <source>棋譜ファイルを読み込めませんでした。
</source>
        <translation>Could not read the game record.
</translation>
    </message>
    <message>
        <source>中断した対局を再開できませんでした。</source>
        <translation>Could not resume the adjourned game. </translation>
    </message>
    <message>
        <source>棋譜ファイルを途中までしか読み込めませんでした。
%1
%2 行目：%3</source>
        <translation>Only part of the game record could be read.
%1
Line %2: %3</translation>
    </message>
    <message>
        <source>Shift-JIS にない文字 %1 個を &amp;#x…; の形で残しました。.kifu で保存すると元の文字に戻ります。</source>
        <translation>%1 characters not in Shift-JIS were kept as &amp;#x…;. Saving as .kifu turns them back into the characters.</translation>
    </message>
    <message>
        <source>＊で始めると今の手へのコメント</source>
        <translation>Start with ＊ to comment on the move shown</translation>
    </message>
    <message>
        <source>この局面の読み筋はありません。</source>
        <translation>There is no engine line<byte value="xd"/>
for this position.</translation>
    </message>
    <message>
        <source>感想戦では、盤で指した手が<byte value="xd"/>
みんなの棋譜の変化になります。</source>
        <translation>In a review, moves made on<byte value="xd"/>
the board become variations<byte value="xd"/>
in everyone&apos;s record.</translation>
    </message>
    <message>
        <source>チャット入力</source>
        <translation>Chat input</translation>
    </message>
    <message>
        <source>「/」で始めた行は指し手です（例: /76歩、/7g7f）。「/」で始まるチャットは「//」と書きます。</source>
        <translation>A line that starts with &quot;/&quot; is a move (e.g. /P-7f, /7g7f). Write &quot;//&quot; to send a chat line that starts with &quot;/&quot;.</translation>
    </message>
    <message>
        <source>先頭へ</source>
        <translation>To the start</translation>
    </message>
    <message>
        <source>1手戻る</source>
        <translation>Back one move</translation>
    </message>
    <message>
        <source>1手進む</source>
        <translation>Forward one move</translation>
    </message>
    <message>
        <source>自動再生</source>
        <translation>Replay automatically</translation>
    </message>
    <message>
        <source>再生を止める</source>
        <translation>Stop replay</translation>
    </message>
    <message>
        <source>棋譜を開く</source>
        <translation>Open game record</translation>
    </message>
    <message>
        <source>棋譜を保存</source>
        <translation>Save game record</translation>
    </message>
    <message>
        <source>接続または切断</source>
        <translation>Connect or disconnect</translation>
    </message>
    <message>
        <source>手番を申し込む</source>
        <translation>Propose sides</translation>
    </message>
    <message>
        <source>投了</source>
        <translation>Resign</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>先手の駒の利きを表示</source>
        <translation>Show the squares sente&apos;s pieces reach</translation>
    </message>
    <message>
        <source>後手の駒の利きを表示</source>
        <translation>Show the squares gote&apos;s pieces reach</translation>
    </message>
    <message>
        <source>Ravu One 将棋盤</source>
        <translation>Ravu One shogi board</translation>
    </message>
    <message>
        <source>対局中でないので指せません。</source>
        <translation>No game is in progress, so no move can be made.</translation>
    </message>
    <message>
        <source>対局が中断しているので指せません。</source>
        <translation>The game is adjourned, so no move can be made.</translation>
    </message>
    <message>
        <source>相手の手番です。</source>
        <translation>It is your opponent&apos;s turn.</translation>
    </message>
    <message>
        <source>「%1」: </source>
        <translation>&quot;%1&quot;: </translation>
    </message>
    <message>
        <source>指し手として読めません（例: ７六歩、同歩、58金右、7g7f、P-7f）。</source>
        <translation>This is not a move (e.g. 76歩, 同歩, 58金右, 7g7f, P-7f).</translation>
    </message>
    <message>
        <source>相手の手番の指し手です。</source>
        <translation>This is a move for your opponent&apos;s side.</translation>
    </message>
    <message>
        <source>そこへ行ける駒がありません。</source>
        <translation>No such piece can go there.</translation>
    </message>
    <message>
        <source>移動元の駒は相手の駒です。</source>
        <translation>The piece on that square is your opponent&apos;s.</translation>
    </message>
    <message>
        <source>%1の駒なら「%2」</source>
        <translation>&quot;%2&quot; for the piece on %1</translation>
    </message>
    <message>
        <source>行ける駒が複数あります（%1）。右・左・上・引・寄・直か移動元を付けてください。</source>
        <translation>More than one piece can go there (%1). Add the square it comes from (G6i-5h, 58金(69)) or one of 右 左 上 引 寄 直.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>成るなら「成」、成らないなら「不成」を付けてください（USI・西洋式は + か =）。</source>
        <translation>Say whether the piece promotes: add + or = (成 or 不成 in Japanese notation).</translation>
    </message>
    <message>
        <source>自分の駒がある升です。</source>
        <translation>One of your own pieces is on that square.</translation>
    </message>
    <message>
        <source>その駒は持ち駒にありません。</source>
        <translation>That piece is not in your hand.</translation>
    </message>
    <message>
        <source>駒のある升には打てません。</source>
        <translation>A piece cannot be dropped on an occupied square.</translation>
    </message>
    <message>
        <source>二歩になります。</source>
        <translation>That would be a second pawn on the file (nifu).</translation>
    </message>
    <message>
        <source>行き所のない駒になります。</source>
        <translation>The piece would have no further move there.</translation>
    </message>
    <message>
        <source>この手では成れません。</source>
        <translation>This move cannot promote.</translation>
    </message>
    <message>
        <source>この駒は成らなければなりません。</source>
        <translation>This piece must promote.</translation>
    </message>
    <message>
        <source>反則になる手です（王手の放置、打ち歩詰めなど）。</source>
        <translation>This move is illegal (it leaves the king in check, mates with a dropped pawn, or the like).</translation>
    </message>
    <message>
        <source>指せませんでした。</source>
        <translation>The move could not be made.</translation>
    </message>
    <message>
        <source>対局中は棋譜を開けません。<byte value="xd"/>
%1</source>
        <translation>A record cannot be opened<byte value="xd"/>
during a game.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>ravu::CPromoteDlg</name>
    <message>
        <source>成り</source>
        <translation>Promote</translation>
    </message>
    <message>
        <source>成らず</source>
        <translation>Do not promote</translation>
    </message>
    <message>
        <source>成りますか</source>
        <translation>Promote?</translation>
    </message>
</context>
<context>
    <name>ravu::CRecordAnalyzer</name>
    <message>
        <source>エンジンが応答しません</source>
        <translation>The engine does not answer</translation>
    </message>
</context>
<context>
    <name>ravu::CSettingsDlg</name>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>ハンドル名：</source>
        <translation>Handle:</translation>
    </message>
    <message>
        <source>駒音を出す:</source>
        <translation>Piece sound:</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>適用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>言語：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>自動（システムの言語）</source>
        <translation>Automatic (the system&apos;s)</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>言語は次に起動したときから変わります。</source>
        <translation>A new language takes effect at the next start.</translation>
    </message>
    <message>
        <source>ハンドル名</source>
        <translation>Handle</translation>
    </message>
    <message>
        <source>ポート番号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>接続先</source>
        <translation>Host</translation>
    </message>
</context>
<context>
    <name>ravu::CTurnDlg</name>
    <message>
        <source>手番の決定</source>
        <translation>Choose sides</translation>
    </message>
    <message>
        <source>先手</source>
        <translation>Sente</translation>
    </message>
    <message>
        <source>後手</source>
        <translation>Gote</translation>
    </message>
    <message>
        <source>先手：</source>
        <translation>Sente:</translation>
    </message>
    <message>
        <source>後手：</source>
        <translation>Gote:</translation>
    </message>
    <message>
        <source>ルール：</source>
        <translation>Rules:</translation>
    </message>
    <message>
        <source>自由</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>反則負けあり</source>
        <translation>Illegal move loses</translation>
    </message>
    <message>
        <source>手合割：</source>
        <translation>Handicap:</translation>
    </message>
    <message>
        <source>平手</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>持ち時間：</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>切れ負け</source>
        <translation>Sudden death</translation>
    </message>
    <message>
        <source>秒読み</source>
        <translation>Byoyomi</translation>
    </message>
    <message>
        <source>フィッシャー(加算)</source>
        <translation>Fischer (increment)</translation>
    </message>
    <message>
        <source>分</source>
        <translation>m</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>送信</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>もどる</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>しばらくお待ちください</source>
        <translation>Please wait</translation>
    </message>
    <message>
        <source>承諾されませんでした</source>
        <translation>Not accepted</translation>
    </message>
    <message>
        <source>加算</source>
        <comment>seconds label</comment>
        <translation>Incr.</translation>
    </message>
    <message>
        <source>秒読み</source>
        <comment>seconds label</comment>
        <translation>Byo.</translation>
    </message>
    <message>
        <source>持ち時間（分）</source>
        <translation>Main time (minutes)</translation>
    </message>
    <message>
        <source>秒読み・加算（秒）</source>
        <translation>Byoyomi or increment (seconds)</translation>
    </message>
</context>
<context>
    <name>ravu::CUsiEngine</name>
    <message>
        <source>コマンドが空です</source>
        <translation>the command is empty</translation>
    </message>
    <message>
        <source>（出力が多すぎます）</source>
        <translation> (too much output)</translation>
    </message>
    <message>
        <source>（行が長すぎます）</source>
        <translation> (line too long)</translation>
    </message>
    <message>
        <source>（指せない手: </source>
        <translation> (illegal move: </translation>
    </message>
    <message>
        <source>エンジンを起動できません: </source>
        <translation>Cannot start the engine: </translation>
    </message>
    <message>
        <source>エンジンが終了しました</source>
        <translation>The engine has exited</translation>
    </message>
    <message>
        <source>エンジンが応答しません</source>
        <translation>The engine does not answer</translation>
    </message>
    <message>
        <source>エンジンの出力を読めません</source>
        <translation>Cannot read the engine&apos;s output</translation>
    </message>
</context>
</TS>
