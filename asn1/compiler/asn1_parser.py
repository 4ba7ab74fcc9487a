"""Reads the ASN.1 subset the gateway's modules use into a small type model.

Anything outside that subset is refused with "file:line: error: ..." so that
a module never compiles into something the runtime cannot encode.
"""
import re
from dataclasses import dataclass, field
from typing import List, Optional


class SchemaError(Exception):
    pass


# ---------------------------------------------------------------- lexer ----

_TOKEN = re.compile(r"""
    (?P<ws>[ \t\r\f\v]+)
  | (?P<nl>\n)
  | (?P<comment>--)
  | (?P<block>/\*)
  | (?P<assign>::=)
  | (?P<ellipsis>\.\.\.)
  | (?P<range>\.\.)
  | (?P<lbrackets>\[\[)
  | (?P<rbrackets>\]\])
  | (?P<field>&[A-Za-z][A-Za-z0-9_-]*)
  | (?P<number>[0-9]+)
  | (?P<name>[A-Za-z][A-Za-z0-9_]*(?:-[A-Za-z0-9_]+)*)
  | (?P<string>"[^"]*")
  | (?P<punct>[{}(),;.|\[\]!<@^:-])
""", re.VERBOSE)


@dataclass
class Token:
    kind: str
    text: str
    line: int


def tokenize(text, filename):
    tokens = []
    pos, line = 0, 1
    while pos < len(text):
        m = _TOKEN.match(text, pos)
        if not m:
            raise SchemaError(f"{filename}:{line}: error: unexpected character {text[pos]!r}")
        kind = m.lastgroup
        if kind == "nl":
            line += 1
            pos = m.end()
            continue
        if kind == "comment":
            # "--" runs to the next "--" or the end of the line.
            end = pos + 2
            while end < len(text) and text[end] != "\n" and not text.startswith("--", end):
                end += 1
            pos = end + 2 if text.startswith("--", end) else end
            continue
        if kind == "block":
            end = text.find("*/", pos + 2)
            if end < 0:
                raise SchemaError(f"{filename}:{line}: error: unterminated comment")
            line += text.count("\n", pos, end)
            pos = end + 2
            continue
        if kind != "ws":
            tokens.append(Token(kind, m.group(), line))
        line += m.group().count("\n")
        pos = m.end()
    tokens.append(Token("eof", "", line))
    return tokens


# ---------------------------------------------------------------- model ----

@dataclass
class Constraint:
    kind: str = "none"          # none | fixed | extensible | lower
    lower: int = 0
    upper: Optional[int] = None  # None: no upper bound (MAX)


@dataclass
class Type:
    kind: str                   # BOOLEAN NULL INTEGER ENUMERATED OCTET_STRING BIT_STRING
                                # string OBJECT_IDENTIFIER GeneralizedTime SEQUENCE CHOICE
                                # SEQUENCE_OF SET_OF ref open
    line: int
    string_kind: str = ""       # IA5String, ... for kind "string"
    value_range: Constraint = field(default_factory=Constraint)
    size: Constraint = field(default_factory=Constraint)
    named_numbers: list = field(default_factory=list)   # INTEGER: [(name, value)]
    items: list = field(default_factory=list)           # ENUMERATED: [(name, value|None, is_extension)]
    enum_extensible: bool = False
    components: list = field(default_factory=list)      # SEQUENCE/CHOICE: [Component]
    extensible: bool = False
    element: Optional["Type"] = None
    ref_module: str = ""
    ref_name: str = ""
    open_constraint: Optional["Type"] = None


@dataclass
class Component:
    name: str
    type: Type
    optional: bool
    extension: bool
    line: int


@dataclass
class Assignment:
    name: str
    type: Type
    line: int


@dataclass
class Module:
    name: str
    filename: str
    imports: dict = field(default_factory=dict)   # type name -> module
    assignments: List[Assignment] = field(default_factory=list)
    values: dict = field(default_factory=dict)    # integer value references


STRING_TYPES = ("NumericString", "PrintableString", "VisibleString", "IA5String", "GeneralString", "BMPString")

UNSUPPORTED = {
    "REAL": "REAL", "EXTERNAL": "EXTERNAL", "ANY": "ANY", "UTCTime": "UTCTime",
    "UTF8String": "UTF8String", "TeletexString": "TeletexString", "T61String": "T61String",
    "VideotexString": "VideotexString", "GraphicString": "GraphicString",
    "UniversalString": "UniversalString", "ObjectDescriptor": "ObjectDescriptor",
    "EMBEDDED": "EMBEDDED PDV", "CHARACTER": "CHARACTER STRING", "RELATIVE-OID": "RELATIVE-OID",
    "CLASS": "information object classes", "INSTANCE": "INSTANCE OF", "SET": "SET",
    "DATE": "DATE", "TIME": "TIME", "DURATION": "DURATION",
}


# --------------------------------------------------------------- parser ----

class Parser:
    def __init__(self, text, filename):
        self.filename = filename
        self.tokens = tokenize(text, filename)
        self.pos = 0

    # token helpers
    def peek(self, offset=0):
        return self.tokens[min(self.pos + offset, len(self.tokens) - 1)]

    def next(self):
        tok = self.tokens[self.pos]
        if tok.kind != "eof":
            self.pos += 1
        return tok

    def at(self, text, offset=0):
        return self.peek(offset).text == text

    def accept(self, text):
        if self.at(text):
            return self.next()
        return None

    def error(self, message, tok=None):
        tok = tok or self.peek()
        raise SchemaError(f"{self.filename}:{tok.line}: error: {message}")

    def expect(self, text):
        tok = self.peek()
        if tok.text != text:
            self.error(f"expected '{text}', found '{tok.text or 'end of file'}'")
        return self.next()

    def expect_name(self, what):
        tok = self.peek()
        if tok.kind != "name":
            self.error(f"expected {what}, found '{tok.text or 'end of file'}'")
        return self.next()

    def skip_braces(self):
        depth = 0
        while True:
            tok = self.next()
            if tok.kind == "eof":
                self.error("unbalanced braces")
            if tok.text == "{":
                depth += 1
            elif tok.text == "}":
                depth -= 1
                if depth == 0:
                    return

    # module
    def parse_module(self):
        name = self.expect_name("a module name").text
        if self.at("{"):
            self.skip_braces()
        self.expect("DEFINITIONS")
        if not (self.at("AUTOMATIC") and self.at("TAGS", 1)):
            self.error("only modules with AUTOMATIC TAGS are supported")
        self.next(), self.next()
        if self.at("EXTENSIBILITY"):
            self.error("EXTENSIBILITY IMPLIED is not supported")
        self.expect("::=")
        self.expect("BEGIN")
        module = Module(name, self.filename)
        self.module = module
        if self.accept("EXPORTS"):
            while not self.accept(";"):
                if self.peek().kind == "eof":
                    self.error("unterminated EXPORTS")
                self.next()
        if self.accept("IMPORTS"):
            self.parse_imports(module)
        while not self.at("END"):
            if self.peek().kind == "eof":
                self.error("missing END")
            self.parse_assignment(module)
        self.expect("END")
        if self.peek().kind != "eof":
            self.error("text after END")
        return module

    def parse_imports(self, module):
        pending = []
        while not self.accept(";"):
            tok = self.peek()
            if tok.text == "FROM":
                self.next()
                source = self.expect_name("a module name").text
                if self.at("{"):
                    self.skip_braces()
                for t in pending:
                    if not t.text[0].isupper():
                        self.error(f"importing the value '{t.text}' is not supported", t)
                    module.imports[t.text] = source
                pending = []
            elif tok.kind == "name":
                pending.append(self.next())
                if self.at("{"):
                    self.error("parameterized imports are not supported")
                self.accept(",")
            else:
                self.error(f"unexpected '{tok.text or 'end of file'}' in IMPORTS")
        if pending:
            self.error("IMPORTS without FROM")

    def parse_assignment(self, module):
        tok = self.expect_name("a type or value assignment")
        if self.at("{"):
            self.error("parameterized assignments are not supported")
        if tok.text[0].isupper():
            self.expect("::=")
            module.assignments.append(Assignment(tok.text, self.parse_type(), tok.line))
            return
        # value reference: only INTEGER values, used as bounds
        if not self.accept("INTEGER"):
            self.error(f"only INTEGER value assignments are supported ('{tok.text}')", tok)
        self.expect("::=")
        if tok.text in module.values:
            self.error(f"duplicate value '{tok.text}'", tok)
        module.values[tok.text] = self.parse_number(module)

    def parse_number(self, module=None):
        negative = bool(self.accept("-"))
        tok = self.peek()
        if tok.kind == "number":
            self.next()
            value = int(tok.text)
        elif tok.kind == "name" and module is not None and tok.text in module.values:
            self.next()
            value = module.values[tok.text]
        else:
            self.error(f"expected a number, found '{tok.text or 'end of file'}'")
        return -value if negative else value

    # types
    def parse_type(self):
        tok = self.peek()
        t = tok.text
        if tok.text == "[":
            self.error("explicit tags are not supported (the module uses AUTOMATIC TAGS)")
        if t in ("BOOLEAN", "NULL", "GeneralizedTime"):
            self.next()
            return self.no_constraint(Type(t, tok.line))
        if t == "INTEGER":
            self.next()
            ty = Type("INTEGER", tok.line)
            if self.at("{"):
                ty.named_numbers = self.parse_named_numbers()
            if self.at("("):
                ty.value_range = self.parse_value_constraint()
            return ty
        if t == "ENUMERATED":
            self.next()
            return self.no_constraint(self.parse_enumerated(tok.line))
        if t == "OCTET" or t == "BIT":
            self.next()
            self.expect("STRING")
            ty = Type("OCTET_STRING" if t == "OCTET" else "BIT_STRING", tok.line)
            if self.at("{"):
                self.error("named bits are not supported")
            if self.at("("):
                ty.size = self.parse_size_constraint(parenthesized=True)
            return ty
        if t == "OBJECT":
            self.next()
            self.expect("IDENTIFIER")
            return self.no_constraint(Type("OBJECT_IDENTIFIER", tok.line))
        if t in STRING_TYPES:
            self.next()
            ty = Type("string", tok.line, string_kind=t)
            if self.at("("):
                ty.size = self.parse_size_constraint(parenthesized=True)
            return ty
        if t == "SEQUENCE" or (t == "SET" and (self.at("OF", 1) or self.at("SIZE", 1) or self.at("(", 1))):
            self.next()
            if self.at("{"):
                if t == "SET":
                    self.error("SET is not supported")
                ty = Type("SEQUENCE", tok.line)
                self.parse_components(ty, allow_optional=True)
                return self.no_constraint(ty)
            ty = Type("SEQUENCE_OF" if t == "SEQUENCE" else "SET_OF", tok.line)
            if self.at("("):
                ty.size = self.parse_size_constraint(parenthesized=True)
            elif self.at("SIZE"):
                ty.size = self.parse_size_constraint(parenthesized=False)
            self.expect("OF")
            if self.peek().kind == "name" and self.peek(1).kind == "name" and self.peek().text[0].islower():
                self.error("named elements of SEQUENCE OF are not supported")
            ty.element = self.parse_type()
            return ty
        if t == "CHOICE":
            self.next()
            ty = Type("CHOICE", tok.line)
            self.parse_components(ty, allow_optional=False)
            return self.no_constraint(ty)
        if t == "TYPE-IDENTIFIER" or t == "ABSTRACT-SYNTAX":
            self.next()
            self.expect(".")
            f = self.next()
            if f.text != "&Type":
                self.error(f"only {t}.&Type open types are supported", f)
            ty = Type("open", tok.line)
            if self.accept("("):
                ty.open_constraint = self.parse_type()
                if ty.open_constraint.kind != "ref":
                    self.error("an open type may only be constrained to a named type")
                self.expect(")")
            return ty
        if t in UNSUPPORTED:
            self.error(f"{UNSUPPORTED[t]} is not supported")
        if tok.kind == "name" and t[0].isupper():
            self.next()
            ty = Type("ref", tok.line, ref_name=t)
            if self.at(".") and self.peek(1).kind == "name":
                self.next()
                ty.ref_module, ty.ref_name = t, self.next().text
            if self.at("{"):
                self.error("parameterized types are not supported")
            if self.at("("):
                self.error("constraints on a type reference are not supported")
            return ty
        self.error(f"expected a type, found '{t or 'end of file'}'")

    def no_constraint(self, ty):
        if self.at("("):
            self.error("constraints on this type are not supported")
        return ty

    def parse_named_numbers(self):
        self.expect("{")
        entries = []
        while True:
            name = self.expect_name("a named number").text
            self.expect("(")
            entries.append((name, self.parse_number()))
            self.expect(")")
            if self.accept("}"):
                return entries
            self.expect(",")

    def parse_enumerated(self, line):
        ty = Type("ENUMERATED", line)
        self.expect("{")
        in_extension = False
        while True:
            if self.accept("..."):
                if in_extension:
                    self.error("a second extension marker is not supported")
                in_extension = True
                ty.enum_extensible = True
                if self.at("!"):
                    self.error("exception specifications are not supported")
            else:
                name = self.expect_name("an enumeration item")
                value = None
                if self.accept("("):
                    value = self.parse_number()
                    self.expect(")")
                ty.items.append((name.text, value, in_extension))
            if self.accept("}"):
                break
            self.expect(",")
        if not any(not ext for _, _, ext in ty.items):
            self.error("an enumeration needs at least one root item")
        return ty

    def parse_components(self, ty, allow_optional):
        what = "component" if allow_optional else "alternative"
        self.expect("{")
        if self.accept("}"):
            return
        in_extension = False
        while True:
            if self.at("[["):
                self.error("extension addition groups ([[ ]]) are not supported")
            if self.accept("..."):
                if in_extension:
                    self.error("a second extension marker is not supported")
                if self.at("!"):
                    self.error("exception specifications are not supported")
                in_extension = True
                ty.extensible = True
            else:
                if self.at("COMPONENTS"):
                    self.error("COMPONENTS OF is not supported")
                name = self.expect_name(f"a {what} name")
                if not name.text[0].islower():
                    self.error(f"{what} names start with a lower-case letter ('{name.text}')", name)
                ctype = self.parse_type()
                optional = False
                if self.at("OPTIONAL") or self.at("DEFAULT"):
                    if not allow_optional:
                        self.error(f"'{self.peek().text}' is not allowed in a CHOICE")
                    if self.at("DEFAULT"):
                        self.error("DEFAULT values are not supported")
                    self.next()
                    optional = True
                if any(c.name == name.text for c in ty.components):
                    self.error(f"duplicate {what} '{name.text}'", name)
                ty.components.append(Component(name.text, ctype, optional, in_extension, name.line))
            if self.accept("}"):
                return
            self.expect(",")

    # constraints
    def parse_bound(self, allow_max):
        if self.at("MAX"):
            if not allow_max:
                self.error("MAX is not allowed here")
            self.next()
            return None
        if self.at("MIN"):
            self.error("MIN lower bounds are not supported")
        return self.parse_number(self.module)

    def parse_range(self, allow_max=True):
        lower = self.parse_bound(False)
        upper = lower
        if self.accept(".."):
            upper = self.parse_bound(allow_max)
        c = Constraint("fixed" if upper is not None else "lower", lower, upper)
        if self.accept(","):
            self.expect("...")
            if c.kind == "lower":
                self.error("an extensible range needs an upper bound")
            c.kind = "extensible"
        if self.at("|") or self.at("^") or self.at("EXCEPT"):
            self.error("set operations in constraints are not supported")
        if c.upper is not None and c.upper < c.lower:
            self.error("the upper bound is below the lower bound")
        return c

    def parse_value_constraint(self):
        start = self.expect("(")
        if self.at("SIZE") or self.at("FROM") or self.at("WITH"):
            self.error(f"{self.peek().text} constraints are not supported on INTEGER")
        c = self.parse_range()
        self.expect(")")
        if c.lower < -2**31 or c.lower > 2**31 - 1:
            self.error("the lower bound does not fit a signed 32-bit value", start)
        if c.upper is not None and (c.upper > 2**32 - 1 or (c.lower < 0 and c.upper > 2**31 - 1)):
            self.error("the range does not fit the runtime's 32-bit INTEGER", start)
        return c

    def parse_size_constraint(self, parenthesized):
        start = self.peek()
        if parenthesized:
            self.expect("(")
        if self.at("FROM"):
            self.error("permitted-alphabet (FROM) constraints are not supported")
        if not self.at("SIZE"):
            self.error("only SIZE constraints are supported here")
        self.next()
        self.expect("(")
        c = self.parse_range()
        self.expect(")")
        if parenthesized:
            if self.at("^") or self.at("|"):
                self.error("set operations in constraints are not supported")
            self.expect(")")
        if c.lower < 0 or (c.upper is not None and c.upper > 2**31 - 1):
            self.error("SIZE bounds must lie in 0..2147483647", start)
        return c

    module = None


def parse_file(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return Parser(text, path).parse_module()
