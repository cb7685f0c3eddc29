#!/usr/bin/env python3
"""Packs the texts of the languages besides English for the program.

    packtexts.py OUTPUT USERTEXT_H LANGUAGE_FILE...

Each language file (config/languages/*.cpp) defines its Language and the
table of its texts, "static const UserPattern Texts[] = {{TextName,
"pattern" ...}, ...};". OUTPUT, a C++ file, gets for each language the
<Language>Packed of config/language.h: its patterns in the order of the
names of base/usertext.h, each ended by a NUL (just the NUL where the
language has none of its own), deflated raw at the highest level. The
program inflates the one language it speaks (config/language.cpp); the
tests compare every packed text with the table the compiler read.
Anything in a table this script does not understand stops the build.
"""
import re
import sys
import zlib

TOKEN = re.compile(r'\s+|//[^\n]*|/\*.*?\*/|"(?:[^"\\\n]|\\.)*"|[A-Za-z_]\w*|\d+|.', re.S)
ESCAPES = {'n': 10, 'r': 13, 't': 9, '"': 34, '\\': 92, "'": 39, '?': 63,
           'a': 7, 'b': 8, 'f': 12, 'v': 11}


def fail(where, why):
    sys.exit('%s: %s' % (where, why))


def tokens(text):
    return [t for t in TOKEN.findall(text)
            if t.strip() and not t.startswith('//') and not t.startswith('/*')]


def literal(token, where):
    """The bytes of a narrow string literal (its source is UTF-8)."""
    body = token[1:-1].encode('utf-8')
    out = bytearray()
    at = 0
    while at < len(body):
        byte = body[at]
        at += 1
        if byte != 0x5C:
            out.append(byte)
            continue
        kind = chr(body[at])
        at += 1
        if kind in ESCAPES:
            out.append(ESCAPES[kind])
        elif kind == 'x':
            digits = re.match(rb'[0-9a-fA-F]+', body[at:])
            if not digits or int(digits.group(), 16) > 0xFF:
                fail(where, 'a hex escape out of a byte in ' + token)
            out.append(int(digits.group(), 16))
            at += len(digits.group())
        elif kind in '01234567':
            digits = re.match(rb'[0-7]{1,3}', body[at - 1:]).group()
            if int(digits, 8) > 0xFF:
                fail(where, 'an octal escape out of a byte in ' + token)
            out.append(int(digits, 8))
            at += len(digits) - 1
        else:
            fail(where, 'the escape \\%s in %s' % (kind, token))
    return bytes(out)


def find(seq, pattern):
    """The indexes where pattern (tokens, None: any identifier) begins in seq."""
    return [i for i in range(len(seq) - len(pattern) + 1)
            if all(p == s if p is not None else re.match(r'[A-Za-z_]\w*$', s)
                   for p, s in zip(pattern, seq[i:]))]


def names(header):
    seq = tokens(open(header, encoding='utf-8').read())
    start = find(seq, ['enum', 'UserText', '{'])
    if len(start) != 1:
        fail(header, 'no single enum UserText')
    result = []
    at = start[0] + 3
    while seq[at] != 'UserTextCount':
        if not re.match(r'[A-Za-z_]\w*$', seq[at]) or seq[at + 1] != ',':
            fail(header, 'an enumerator of UserText this script does not read: ' + seq[at])
        result.append(seq[at])
        at += 2
    return result


def language(path, order):
    """The name of the file's Language and its packed patterns' bytes."""
    seq = tokens(open(path, encoding='utf-8').read())
    defined = find(seq, ['const', 'Language', None, '='])
    table = find(seq, ['static', 'const', 'UserPattern', 'Texts', '[', ']', '=', '{'])
    if len(defined) != 1 or len(table) != 1:
        fail(path, 'not one Language and one table "static const UserPattern Texts[]"')
    texts = {}
    at = table[0] + 8
    while seq[at] != '}':
        if seq[at] != '{' or seq[at + 1] not in order or seq[at + 2] != ',':
            fail(path, 'an entry of Texts this script does not read at "%s %s"'
                 % (seq[at], seq[at + 1]))
        name = seq[at + 1]
        at += 3
        text = b''
        while seq[at].startswith('"'):
            text += literal(seq[at], path)
            at += 1
        if seq[at] != '}' or not text or b'\0' in text or name in texts:
            fail(path, 'the text of %s is not one or more string literals, '
                 'not empty, without NUL, given once' % name)
        texts[name] = text
        at += 1
        if seq[at] == ',':
            at += 1
    if seq[at + 1] != ';':
        fail(path, 'the table Texts does not end with "};"')
    data = b''.join(texts.get(name, b'') + b'\0' for name in order)
    packer = zlib.compressobj(9, zlib.DEFLATED, -zlib.MAX_WBITS, 9)
    return seq[defined[0] + 2], data, packer.compress(data) + packer.flush()


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    output, header, files = sys.argv[1], sys.argv[2], sorted(sys.argv[3:])
    order = names(header)
    lines = ['// Made by cmake/packtexts.py from the files of config/languages/: each',
             '// language\'s patterns in the order of the names, deflated.',
             '#include "config/language.h"', '',
             'static_assert(UserTextCount == %d, "the names the texts were packed by");'
             % len(order)]
    lines += ['static_assert(%s == %d, "the names the texts were packed by");' % (name, i)
              for i, name in enumerate(order)]
    for path in files:
        name, data, packed = language(path, order)
        lines += ['', 'static const unsigned char %sData[] = {' % name]
        lines += ['    ' + ', '.join(str(b) for b in packed[i:i + 24]) + ','
                  for i in range(0, len(packed), 24)]
        lines += ['};', 'const PackedTexts %sPacked = {%sData, sizeof %sData, %d};'
                  % (name, name, name, len(data))]
    with open(output, 'w', encoding='utf-8') as out:
        out.write('\n'.join(lines) + '\n')


main()
