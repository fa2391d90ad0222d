#!/usr/bin/python3
"""Counts the public members (functions and data) each class of the given headers declares.

Usage: tools/count_public_members.py HEADER...   (prints "header class count", largest first)
"""
import re
import sys


def public_members(text):
    for m in re.finditer(r'^(class|struct) (\w+)[^;{]*\{', text, re.M):
        kind, name = m.group(1), m.group(2)
        depth, i, public = 1, m.end(), kind == 'struct'
        count, statement = 0, ''
        while depth > 0 and i < len(text):
            c = text[i]
            if c == '{':
                depth += 1
                if depth == 2 and public and statement.strip():
                    count += 1
                statement = ''
            elif c == '}':
                depth -= 1
                statement = ''
            elif depth == 1:
                if c == ';':
                    if public and statement.strip():
                        count += 1
                    statement = ''
                elif c == '\n':
                    line = statement.strip()
                    if line.startswith('//'):
                        statement = ''
                    for label in ('public:', 'private:', 'protected:'):
                        if line.endswith(label):
                            public = label == 'public:'
                            statement = ''
                    else:
                        statement += c
                else:
                    statement += c
            i += 1
        yield name, count


rows = []
for path in sys.argv[1:]:
    with open(path, encoding='utf-8') as f:
        # Comments out: a ';' or a brace in one is no member.
        text = re.sub(r'//[^\n]*', '', f.read())
    rows += [(count, path, name) for name, count in public_members(text)]
for count, path, name in sorted(rows, reverse=True):
    print(f'{path} {name} {count}')
