#!/usr/bin/env python3
"""The largest source files and the longest functions of the product.

    scripts/codesize.py [--top N] [ROOT]

Counts the .h and .cpp files of the product's folders (not tests/, bench/
or build/): lines per file, and lines per function body. A function is a
brace block at namespace or class level whose head (the text since the last
';', '{' or '}') ends in a parameter list; its length runs from the line of
its head's first token to its closing brace. Comments, strings and
preprocessor lines are blanked before the scan, so braces in them do not
count.
"""

import argparse
import pathlib
import re

PRODUCT = ["app", "common", "intake", "layoutview", "qdump", "shell", "store", "ui",
           "userlistctl", "vmrdetect"]
NOT_FUNCTIONS = re.compile(r"^(class|struct|union|enum|namespace|extern)\b|=\s*$|"
                           r"\b(if|for|while|switch|catch|do|else)\s*(\(|$)")


def blank(text):
    """The text with comments, string and character literals and
    preprocessor lines replaced by spaces (newlines kept)."""
    out = []
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            j = i
            while j < n and (text[j] != "\n" or text[j - 1] == "\\"):
                j += 1
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        if c == "\n":
            at_line_start = True
            out.append(c)
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            delimiter = text[i + 2:text.find("(", i)]
            j = text.find(")" + delimiter + '"', i)
            j = n if j < 0 else j + len(delimiter) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (j + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(text):
    """(name, lines) of each function body of a file's text."""
    code = blank(text)
    found = []
    # Per open brace: whether it is a scope functions live in.
    scopes = []
    head_start = 0
    i = 0
    while i < len(code):
        c = code[i]
        if c in ";}":
            if c == "}" and scopes:
                scopes.pop()
            head_start = i + 1
        elif c == "{":
            head = code[head_start:i].strip()
            at_scope_level = all(scopes)
            flat = " ".join(head.split())
            signature = re.sub(r"\s*(const|noexcept|override|final|->\s*[\w:<>,\s*&]+)\s*", " ",
                               flat.split(") :")[0] if ") :" in flat else flat).strip()
            if at_scope_level and signature.endswith(")") and not NOT_FUNCTIONS.search(flat):
                end = matching_brace(code, i)
                first = head_start + (len(code[head_start:i]) - len(code[head_start:i].lstrip()))
                name = re.search(r"([~\w:]+(?:operator\W+)?)\s*\(", flat)
                found.append((name.group(1) if name else flat[:40],
                              code.count("\n", first, end) + 1))
                i = end + 1
                head_start = i
                continue
            scopes.append(bool(re.match(r"^(.*\b)?(class|struct|union|namespace)\b", flat)) or
                          flat.startswith("extern"))
            head_start = i + 1
        i += 1
    return found


def matching_brace(code, start):
    depth = 0
    for j in range(start, len(code)):
        if code[j] == "{":
            depth += 1
        elif code[j] == "}":
            depth -= 1
            if depth == 0:
                return j
    return len(code) - 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--top", type=int, default=5)
    parser.add_argument("root", nargs="?", default=str(pathlib.Path(__file__).parent.parent))
    args = parser.parse_args()
    root = pathlib.Path(args.root)
    files = []
    bodies = []
    for folder in PRODUCT:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            relative = path.relative_to(root).as_posix()
            files.append((text.count("\n"), relative))
            bodies += [(lines, f"{relative}: {name}") for name, lines in functions(text)]
    files.sort(reverse=True)
    bodies.sort(reverse=True)
    over = sum(1 for lines, _ in bodies if lines > 60)
    print(f"{len(files)} files, {sum(n for n, _ in files)} lines, {len(bodies)} functions, "
          f"median {sorted(n for n, _ in bodies)[len(bodies) // 2]} lines, "
          f"{over} over 60 lines")
    print("largest files:")
    for lines, path in files[:args.top]:
        print(f"  {lines:5d}  {path}")
    print("longest functions:")
    for lines, name in bodies[:args.top]:
        print(f"  {lines:5d}  {name}")


if __name__ == "__main__":
    main()
