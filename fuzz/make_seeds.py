#!/usr/bin/env python3
"""Writes the seed corpora of fuzz_packet_stream and fuzz_settings.

    python3 fuzz/make_seeds.py      (from the top of the tree)

A packet stream seed is the four header bytes of fuzz_packet_stream.cpp and
then 256-byte packets as a peer sends them; a settings seed is a settings file
as the program writes it, or as a person might have edited it.
"""
import os

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HELLO, ACCEPT, OBSERVE, TURN, MOVE, CHUNK, CHUNK_END, CHAT = 0x01, 0x03, 0x05, 0x30, 0x31, 0x32, 0x33, 0x40
EXT_CAPS, EXT_GAME, EXT_CLOCK, EXT_PING, EXT_PONG = 0x60, 0x61, 0x62, 0x63, 0x64
EXT_REVIEW = 0x66


def sjis(text):
    return text.encode("cp932")


def packet(kind, text):
    data = sjis(text)[:253]
    return bytes([kind, len(data) >> 8, len(data) & 0xFF]) + data + bytes(253 - len(data))


def long_text(text):
    data = sjis(text)
    out = b""
    while len(data) > 250:
        out += bytes([CHUNK, 0, 250]) + data[:250] + bytes(3)
        data = data[250:]
    return out + bytes([CHUNK_END, 0, len(data)]) + data + bytes(253 - len(data))


def review_kif(text):
    """A record as a host sends it to start a review: kif pieces, then start."""
    data = sjis(text)
    out = b""
    while data:
        piece = b"kif " + data[:249]
        out += bytes([EXT_REVIEW, 0, len(piece)]) + piece + bytes(253 - len(piece))
        data = data[249:]
    return out


def header(flags, answers, nibbles):
    """nibbles: the four per-packet nibbles, for packets 0, 1, 2, 3 (then again)."""
    word = sum((n & 0xF) << (4 * i) for i, n in enumerate(nibbles))
    return bytes([flags, answers, word >> 8, word & 0xFF])


M1, M2, M3, M4 = "   1 ７六歩(77) ", "   2 ３四歩(33) ", "   3 ２六歩(27) ", "   4 ８四歩(83) "

STREAMS = {
    # A host hears a guest's hello, agrees, takes its proposal of sides (the
    # guest plays sente), and gets its moves and a chat line; then it resigns.
    "host_game": header(0x00, 0xFF, [0, 0, 0, 0])
    + packet(HELLO, "はなこ") + packet(TURN, "0") + packet(MOVE, M1) + packet(CHAT, "はなこ>よろしく")
    + packet(MOVE, M3) + packet(MOVE, "   5 投了"),
    # A host in a game: a spectator says hello on slot 2, the opponent moves
    # and chats on slot 1, the spectator chats and leaves.
    "host_watching": header(0x02, 0x00, [1, 0, 0, 1 | 4])
    + packet(HELLO, "見物人") + packet(MOVE, M1) + packet(CHAT, "guest>hi") + packet(CHAT, "見物人>こんにちは"),
    # A guest watches: the host's notice, the game so far in chunks, a move,
    # a chat line, the end.
    "guest_watching": header(0x01, 0x00, [0, 0, 0, 0])
    + packet(OBSERVE, "1") + long_text(";".join([M1, M2] * 20) + ";;") + packet(MOVE, "  41 ２二角成(88) ")
    + packet(CHAT, "host>ようこそ") + packet(MOVE, "  42 投了"),
    # A guest playing gote: the host's moves, a chat line, the host's end line.
    "guest_game": header(0x01 | 0x02 | 0x08, 0x00, [0, 0, 0, 0])
    + packet(MOVE, M1) + packet(CHAT, "host>よろしく") + packet(MOVE, M3) + packet(MOVE, "まで4手で後手の勝ち"),
    # A host whose questions let packets in meanwhile: two guests say hello
    # one inside the other, then a chunked text floods one slot.
    "host_nested": header(0x40, 0x05, [0, 1, 0 | 8, 0])
    + packet(HELLO, "一") + packet(HELLO, "二") + packet(CHUNK, "x" * 250) + packet(TURN, "1"),
    # A host in a strict game with byoyomi against a guest with the protocol
    # extension: thinking times, a ping, an illegal move.
    "host_refereed": header(0x80 | 0x02, 0x00, [0, 0, 0, 0])
    + packet(EXT_CLOCK, "think=1500") + packet(MOVE, M1) + packet(EXT_PING, "7") + packet(EXT_CLOCK, "think=99")
    + packet(MOVE, "   3 ２四歩(27) "),
    # A guest watching a handicap game of a host with the extension: the game
    # so far before its settings, clocks, a spectator's end line.
    "guest_refereed": header(0x80 | 0x05, 0x00, [0, 0, 0, 0])
    + packet(OBSERVE, "1") + long_text("   1 ５二王(51) ;   2 ５八玉(59) ;;")
    + packet(EXT_GAME, "rules=strict;start=lnsgkgsn1/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1;"
             "time=increment;main=60;increment=5")
    + packet(EXT_CLOCK, "sente=50000;gote=61000") + packet(MOVE, "   3 ５一王(52) ") + packet(MOVE, "   4 千日手"),
    # A host reviewing a record with a variation together with its guest:
    # the guest steps, plays an existing and a new move, comments, asks for
    # an illegal move, asks to start again and ends the review.
    "host_review": header(0x80 | 0x04, 0x00, [0, 0, 0, 0])
    + packet(EXT_REVIEW, "go 0.1") + packet(EXT_REVIEW, "move 0*2 2g2f") + packet(EXT_REVIEW, "move 0*2 6g6f")
    + packet(EXT_REVIEW, "comment - よろしく") + packet(EXT_REVIEW, "move 0*3 9a9b")
    + packet(EXT_REVIEW, "start") + packet(EXT_REVIEW, "end"),
    # A guest whose host starts a review: the record in pieces, the start,
    # orders, a bad path, the end.
    "guest_review": header(0x80 | 0x01, 0x00, [0, 0, 0, 0])
    + review_kif("手合割：平手\r\n手数----指手---------消費時間--\r\n*" + "感想" * 150 + "\r\n"
                 "   1 ７六歩(77)\r\n   2 ３四歩(33)\r\n   3 投了\r\n")
    + packet(EXT_REVIEW, "start 0*2") + packet(EXT_REVIEW, "move 0*2 2g2f") + packet(EXT_REVIEW, "go 0*3")
    + packet(EXT_REVIEW, "comment 0 ありがとう") + packet(EXT_REVIEW, "go 0*99") + packet(EXT_REVIEW, "end"),
}

SETTINGS = {
    "written.ini": "[プロパティ]\r\nハンドル名=はなこ\r\n対局者名=たろう\r\n接続先=192.168.0.2\r\nポート番号=9149\r\n"
    "表示位置Ｘ=120\r\n表示位置Ｙ=-40\r\n駒音=1\r\n[チャットログ]\r\nleft=3\r\ntop=22\r\nright=571\r\nbottom=199\r\n",
    "edited.ini": "; by hand\n  [ プロパティ ]  \nハンドル名 =  名人ソ表  \nハンドル名=second\n駒音=1\n"
    "[他のソフト]\nkey=value\n[チャットログ]\nLEFT=10\nTop=20\r\nright=99999999999\n[プロパティ]\nポート番号=0\n",
}

for name, data in STREAMS.items():
    with open(os.path.join(TOP, "fuzz/seeds/packet_stream", name), "wb") as f:
        f.write(data)
for name, text in SETTINGS.items():
    with open(os.path.join(TOP, "fuzz/seeds/settings", name), "wb") as f:
        f.write(sjis(text))
