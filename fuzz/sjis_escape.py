#!/usr/bin/env python3
"""Copies C++ sources with every non-ASCII character replaced by the octal
escapes of its Shift-JIS (code page 932) bytes, so that a compiler without
-fexec-charset=CP932 (clang) produces the same string bytes as GCC does.

    sjis_escape.py OUTDIR FILE...

Each FILE (a path relative to the current directory) is written to OUTDIR
under the same relative path.  Three-digit octal escapes never swallow a
following digit, unlike hex escapes."""
import os
import sys


def escape(text):
    out = []
    for ch in text:
        if ord(ch) < 128:
            out.append(ch)
        else:
            out.extend('\\%03o' % b for b in ch.encode('cp932'))
    return ''.join(out)


def main():
    outdir, files = sys.argv[1], sys.argv[2:]
    for f in files:
        with open(f, encoding='utf-8') as src:
            text = src.read()
        dest = os.path.join(outdir, f)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        with open(dest, 'w', encoding='ascii') as out:
            out.write(escape(text))


if __name__ == '__main__':
    main()
