#!/usr/bin/python3
"""Checks the table catalogue in resources/schema/.

Every *.tbl file is parsed; names, types and widths are checked, every field a
key or FOR expression names must exist in the table, and every key must fit the
240 bytes a CDX tag allows.  Prints OK, or one line per problem (exit status 1).

Usage: check-schema.py [folder]   (default: resources/schema beside this script)
"""
import os
import re
import sys

MAX_KEY = 240
NAME_RE = re.compile(r"^[A-Z][A-Z0-9_]*$")
CODEPAGES = {"1252", "437", "850"}


class ExprError(Exception):
    pass


# ---------------------------------------------------------------- expressions
TOKEN_RE = re.compile(r"""
    \s*(?:
      (?P<str>"[^"]*"|'[^']*')
    | (?P<num>\d+(?:\.\d+)?)
    | (?P<dot>\.(?:AND|OR|NOT|T|F|Y|N)\.)
    | (?P<name>[A-Za-z_][A-Za-z0-9_]*)
    | (?P<op>->|==|!=|<>|<=|>=|[-+*/%()=<>#!,$])
    )""", re.VERBOSE | re.IGNORECASE)


def tokenize(text):
    tokens, pos = [], 0
    text = text.rstrip()
    while pos < len(text):
        m = TOKEN_RE.match(text, pos)
        if not m or m.end() == pos:
            raise ExprError("cannot read %r" % text[pos:])
        pos = m.end()
        kind = m.lastgroup
        tokens.append((kind, m.group(kind).upper() if kind != "str" else m.group(kind)))
    return tokens


class Parser:
    """Recursive-descent reader that computes each sub-expression's type.

    A type is (letter, length): C with its byte length, N/D as 8-byte binary
    keys, L as 1 byte, M for memo text (not allowed as a key)."""

    def __init__(self, text, fields):
        self.tokens = tokenize(text)
        self.pos = 0
        self.fields = fields
        self.used = set()

    def peek(self, value=None):
        if self.pos >= len(self.tokens):
            return None
        tok = self.tokens[self.pos]
        if value is not None and tok[1] != value:
            return None
        return tok

    def take(self, value=None):
        tok = self.peek(value)
        if tok is None:
            raise ExprError("expected %s" % (value or "more text"))
        self.pos += 1
        return tok

    def parse(self):
        result = self.or_expr()
        if self.pos != len(self.tokens):
            raise ExprError("unexpected %r" % self.tokens[self.pos][1])
        return result

    def or_expr(self):
        left = self.and_expr()
        while self.peek(".OR."):
            self.take()
            self.logical(left)
            self.logical(self.and_expr())
            left = ("L", 1)
        return left

    def and_expr(self):
        left = self.not_expr()
        while self.peek(".AND."):
            self.take()
            self.logical(left)
            self.logical(self.not_expr())
            left = ("L", 1)
        return left

    def not_expr(self):
        if self.peek(".NOT.") or self.peek("!"):
            self.take()
            self.logical(self.not_expr())
            return ("L", 1)
        return self.compare()

    def compare(self):
        left = self.additive()
        tok = self.peek()
        if tok and tok[1] in ("=", "==", "!=", "<>", "#", "<", "<=", ">", ">=", "$"):
            self.take()
            right = self.additive()
            if left[0] != right[0]:
                raise ExprError("comparison of %s with %s" % (left[0], right[0]))
            return ("L", 1)
        return left

    def additive(self):
        left = self.multiplicative()
        while self.peek("+") or self.peek("-"):
            op = self.take()[1]
            right = self.multiplicative()
            if left[0] == "C" and right[0] == "C":
                left = ("C", left[1] + right[1])
            elif left[0] == "N" and right[0] == "N":
                left = ("N", 8)
            elif left[0] == "D" and right[0] == "N":
                left = ("D", 8)
            elif op == "-" and left[0] == "D" and right[0] == "D":
                left = ("N", 8)
            else:
                raise ExprError("%s %s %s mixes types" % (left[0], op, right[0]))
        return left

    def multiplicative(self):
        left = self.unary()
        while self.peek("*") or self.peek("/") or self.peek("%"):
            self.take()
            right = self.unary()
            if left[0] != "N" or right[0] != "N":
                raise ExprError("arithmetic on non-numbers")
        return left

    def unary(self):
        if self.peek("-") or self.peek("+"):
            self.take()
            value = self.unary()
            if value[0] != "N":
                raise ExprError("sign on a non-number")
            return value
        return self.primary()

    def primary(self):
        kind, value = self.take()
        if kind == "str":
            return ("C", len(value) - 2)
        if kind == "num":
            return ("N", 8)
        if kind == "dot":
            if value in (".T.", ".F.", ".Y.", ".N."):
                return ("L", 1)
            raise ExprError("misplaced %s" % value)
        if value == "(":
            inner = self.or_expr()
            self.take(")")
            return inner
        if kind != "name":
            raise ExprError("unexpected %r" % value)
        if self.peek("("):
            return self.call(value)
        if self.peek("->"):
            self.take()
            value = self.take()[1]
        return self.field(value)

    def field(self, name):
        if name not in self.fields:
            raise ExprError("no field %s" % name)
        self.used.add(name)
        ftype, width, _dec = self.fields[name]
        if ftype == "C":
            return ("C", width)
        if ftype in ("N", "F", "I"):
            return ("N", 8)
        if ftype == "D":
            return ("D", 8)
        if ftype == "L":
            return ("L", 1)
        return ("M", 0)

    def args(self):
        self.take("(")
        items = []
        if not self.peek(")"):
            while True:
                start = self.pos
                items.append((self.or_expr(), self.tokens[start:self.pos]))
                if not self.peek(","):
                    break
                self.take(",")
        self.take(")")
        return items

    @staticmethod
    def const(arg, what):
        toks = arg[1]
        if len(toks) != 1 or toks[0][0] != "num":
            raise ExprError("%s must be a number written out" % what)
        return int(float(toks[0][1]))

    def call(self, name):
        args = self.args()
        types = [a[0] for a in args]

        def need(count_min, count_max=None):
            count_max = count_min if count_max is None else count_max
            if not count_min <= len(args) <= count_max:
                raise ExprError("%s takes %d..%d arguments" % (name, count_min, count_max))

        if name in ("STR", "STRZERO"):
            need(1, 3)
            if types[0][0] != "N":
                raise ExprError("%s of a non-number" % name)
            if len(args) < 2:
                raise ExprError("%s without a width makes the key length depend on the runtime" % name)
            width = self.const(args[1], "%s width" % name)
            toks = args[0][1]
            if len(toks) == 1 and toks[0][0] == "name" and toks[0][1] in self.fields:
                _t, fwidth, fdec = self.fields[toks[0][1]]
                dec = self.const(args[2], "decimals") if len(args) == 3 else 0
                if fdec == 0 and fwidth > width or fdec > 0 and fwidth - fdec - 1 > width - (dec + 1 if dec else 0):
                    raise ExprError("%s(%s,%d) is narrower than the field" % (name, toks[0][1], width))
            return ("C", width)
        if name == "DTOS":
            need(1)
            if types[0][0] != "D":
                raise ExprError("DTOS of a non-date")
            return ("C", 8)
        if name == "DTOC":
            need(1)
            return ("C", 8)
        if name == "CTOD":
            need(1)
            if types[0][0] != "C":
                raise ExprError("CTOD of a non-text")
            return ("D", 8)
        if name in ("UPPER", "LOWER", "TRIM", "RTRIM", "LTRIM", "ALLTRIM"):
            need(1)
            if types[0][0] != "C":
                raise ExprError("%s of a non-text" % name)
            return types[0]
        if name in ("LEFT", "RIGHT"):
            need(2)
            return ("C", min(types[0][1], self.const(args[1], "length")))
        if name == "SUBSTR":
            need(2, 3)
            start = self.const(args[1], "start")
            rest = max(types[0][1] - start + 1, 0)
            return ("C", min(rest, self.const(args[2], "length")) if len(args) == 3 else rest)
        if name in ("PADR", "PADL", "PADC"):
            need(2, 3)
            return ("C", self.const(args[1], "length"))
        if name == "DESCEND":
            need(1)
            if types[0][0] == "D":
                return ("N", 8)
            return types[0]
        if name == "IIF":
            need(3)
            self.logical(types[0])
            if types[1][0] != types[2][0]:
                raise ExprError("IIF branches of different types")
            return (types[1][0], max(types[1][1], types[2][1]))
        if name in ("DELETED", "EMPTY"):
            need(0 if name == "DELETED" else 1)
            return ("L", 1)
        if name in ("VAL", "RECNO", "YEAR", "MONTH", "DAY"):
            return ("N", 8)
        raise ExprError("unknown function %s" % name)

    @staticmethod
    def logical(value):
        if value[0] != "L":
            raise ExprError("logical value expected")


# ---------------------------------------------------------------- tables
def split_quoted(line):
    """Splits at blanks, keeping "..." together and dropping a trailing # comment."""
    words, pos = [], 0
    while pos < len(line):
        if line[pos].isspace():
            pos += 1
        elif line[pos] == "#":
            break
        elif line[pos] == '"':
            end = line.find('"', pos + 1)
            # A quoted expression may itself hold "..." literals: it ends at
            # the last quote that is followed by a blank or the end of line.
            candidates = [i for i in range(pos + 1, len(line))
                          if line[i] == '"' and (i + 1 == len(line) or line[i + 1].isspace())]
            if end < 0 or not candidates:
                raise ValueError("unterminated quote")
            end = candidates[0]
            words.append(("q", line[pos + 1:end]))
            pos = end + 1
        else:
            end = pos
            while end < len(line) and not line[end].isspace():
                end += 1
            words.append(("w", line[pos:end]))
            pos = end
    return words


def check_field(name, ftype, width, dec):
    if ftype not in "CNFDLMI" or len(ftype) != 1:
        return "unknown type %s" % ftype
    fixed = {"D": 8, "L": 1, "I": 4}
    if ftype in fixed and (width != fixed[ftype] or dec):
        return "%s must be %s %d 0" % (name, ftype, fixed[ftype])
    if ftype == "M" and (width not in (4, 10) or dec):
        return "%s must be M 10 0 (or M 4 0)" % name
    if ftype == "C" and (not 1 <= width <= 254 or dec):
        return "%s: C width 1..254 and no decimals" % name
    if ftype in "NF":
        if not 1 <= width <= 20:
            return "%s: N width 1..20" % name
        if dec and dec > width - 2:
            return "%s: %d decimals do not fit in width %d" % (name, dec, width)
    return None


def check_file(path):
    problems = []
    base = os.path.basename(path)
    table = {"fields": {}, "order": [], "tags": [], "keys": set()}

    def bad(lineno, text):
        problems.append("%s:%s: %s" % (base, lineno, text))

    with open(path, encoding="utf-8") as handle:
        lines = handle.read().splitlines()
    if not lines or not lines[0].startswith("# "):
        bad(1, "the first line must be a '# NAME — purpose' comment")
    for lineno, line in enumerate(lines, 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        try:
            words = split_quoted(line)
        except ValueError as err:
            bad(lineno, str(err))
            continue
        keyword = words[0][1]
        values = [w[1] for w in words[1:]]
        if keyword in ("table", "codepage", "memo", "profile", "bases"):
            if len(values) != 1:
                bad(lineno, "%s takes one value" % keyword)
                continue
            if keyword in table["keys"]:
                bad(lineno, "%s given twice" % keyword)
            table["keys"].add(keyword)
            table[keyword] = values[0]
        elif keyword == "field":
            if len(values) not in (4, 5) or (len(values) == 5 and values[4] != "optional"):
                bad(lineno, "field NAME TYPE WIDTH DECIMALS [optional]")
                continue
            name, ftype = values[0], values[1]
            try:
                width, dec = int(values[2]), int(values[3])
            except ValueError:
                bad(lineno, "width and decimals must be numbers")
                continue
            if not NAME_RE.match(name) or len(name) > 10:
                bad(lineno, "field name %s: upper case, at most 10 characters" % name)
            if name in table["fields"]:
                bad(lineno, "field %s given twice" % name)
            problem = check_field(name, ftype, width, dec)
            if problem:
                bad(lineno, problem)
            table["fields"][name] = (ftype, width, dec)
            table["order"].append(name)
        elif keyword == "tag":
            table["tags"].append((lineno, words[1:]))
        else:
            bad(lineno, "unknown line %r" % keyword)

    name = table.get("table")
    if name and lines and not lines[0].startswith("# %s — " % name):
        bad(1, "the first line must read '# %s — purpose'" % name)
    for key in ("table", "codepage", "memo", "profile", "bases"):
        if key not in table:
            bad("-", "missing '%s' line" % key)
    if name:
        if not NAME_RE.match(name) or len(name) > 8:
            bad("-", "table name %s: upper case, at most 8 characters" % name)
        if base != name + ".tbl":
            bad("-", "file should be named %s.tbl" % name)
    if table.get("codepage") and table["codepage"] not in CODEPAGES:
        bad("-", "codepage must be one of %s" % ", ".join(sorted(CODEPAGES)))
    for key in ("memo", "profile", "bases"):
        if table.get(key) not in (None, "yes", "no"):
            bad("-", "%s must be yes or no" % key)
    has_memo = any(f[0] == "M" for f in table["fields"].values())
    if table.get("memo") in ("yes", "no") and (table["memo"] == "yes") != has_memo:
        bad("-", "memo says %s but the table %s memo fields" % (table["memo"], "has" if has_memo else "has no"))
    if table.get("profile") == "no" and table.get("bases") == "no":
        bad("-", "a table must live in BASES, PROFILE or both")
    if not table["fields"]:
        bad("-", "no fields")
    record = 1 + sum(f[1] for f in table["fields"].values())
    if record > 65500:
        bad("-", "record of %d bytes is too long" % record)

    tag_names = set()
    for lineno, words in table["tags"]:
        if not words or words[0][0] != "w":
            bad(lineno, "tag NAME key \"...\" [for \"...\"] [descending] [unique]")
            continue
        tag = words[0][1]
        if not NAME_RE.match(tag) or len(tag) > 10:
            bad(lineno, "tag name %s: upper case, at most 10 characters" % tag)
        if tag in tag_names:
            bad(lineno, "tag %s given twice" % tag)
        tag_names.add(tag)
        rest, key, cond, seen = words[1:], None, None, set()
        while rest:
            word = rest.pop(0)
            if word == ("w", "key") and rest and rest[0][0] == "q":
                key = rest.pop(0)[1]
            elif word == ("w", "for") and rest and rest[0][0] == "q":
                cond = rest.pop(0)[1]
            elif word[0] == "w" and word[1] in ("descending", "unique") and word[1] not in seen:
                seen.add(word[1])
            else:
                bad(lineno, "tag %s: unexpected %r" % (tag, word[1]))
                break
        if key is None:
            bad(lineno, "tag %s has no key" % tag)
            continue
        try:
            kind = Parser(key, table["fields"]).parse()
            if kind[0] in ("L", "M"):
                bad(lineno, "tag %s: a key must be text, number or date" % tag)
            elif kind[1] > MAX_KEY:
                bad(lineno, "tag %s: key of %d bytes exceeds %d" % (tag, kind[1], MAX_KEY))
            elif kind[1] == 0:
                bad(lineno, "tag %s: empty key" % tag)
        except ExprError as err:
            bad(lineno, "tag %s key: %s" % (tag, err))
        if cond is not None:
            try:
                Parser.logical(Parser(cond, table["fields"]).parse())
            except ExprError as err:
                bad(lineno, "tag %s for: %s" % (tag, err))
    return name, problems


def key_length(expression, fields):
    """Length in bytes of the key an expression builds (for other scripts)."""
    return Parser(expression, fields).parse()[1]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "schema")
    files = sorted(f for f in os.listdir(folder) if f.endswith(".tbl"))
    problems, names = [], set()
    for name in files:
        table, found = check_file(os.path.join(folder, name))
        problems.extend(found)
        if table in names:
            problems.append("%s: table %s defined twice" % (name, table))
        names.add(table)
    readme = os.path.join(folder, "README.md")
    if os.path.exists(readme):
        with open(readme, encoding="utf-8") as handle:
            text = handle.read()
        for table in sorted(n for n in names if n):
            if not re.search(r"`%s`" % re.escape(table), text):
                problems.append("README.md: table %s is not listed" % table)
    else:
        problems.append("README.md is missing")
    if not files:
        problems.append("no .tbl files in %s" % folder)
    for line in problems:
        print(line)
    if problems:
        return 1
    print("OK: %d tables" % len(files))
    return 0


if __name__ == "__main__":
    sys.exit(main())
