"""Turns a parsed module into a header and a source file: one descriptor
(`theInfo`) per type, its name tables, and thin typed classes over the
runtime's built-in kinds. No codec code is generated."""
from asn1_parser import SchemaError, Type, Assignment, STRING_TYPES

CPP_KEYWORDS = set("""
alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t char16_t
char32_t class compl concept const consteval constexpr constinit const_cast continue co_await
co_return co_yield decltype default delete do double dynamic_cast else enum explicit export
extern false float for friend goto if inline int long mutable namespace new noexcept not not_eq
nullptr operator or or_eq private protected public register reinterpret_cast requires return
short signed sizeof static static_assert static_cast struct switch template this thread_local
throw true try typedef typeid typename union unsigned using virtual void volatile wchar_t while
xor xor_eq
""".split())

# Members of the runtime's base classes that a nested component type or an
# enumerator of the same name would hide.
RESERVED_MEMBERS = set("""
info clone compare accept print_on asValueNotation create theInfo fieldInfos fieldIds fieldNames
selectionInfos selectionNames enumNames namedNumbers hasOptionalField includeOptionalField
removeOptionalField fieldCount getField fieldOrCreate isPresent optionalMap extensionMap selection
setSelection createSelection select alternative selectionName asInt setValue getValue getName
setFromName getMaximum extendable componentAs setComponent hasComponent alternativeAs
setAlternative value_type index optionalBit Value do_compare do_clone do_accept
""".split())

STRING_INFO = {
    # kind: (tag, alphabetSize, canonicalBits, unalignedBits, alignedBits)
    "NumericString": (18, 11, 4, 4, 4),
    "PrintableString": (19, 74, 7, 7, 8),
    "VisibleString": (26, 95, 7, 7, 8),
    "IA5String": (22, 128, 7, 7, 8),
    "GeneralString": (27, 256, 8, 8, 8),
}

SIMPLE = {
    "BOOLEAN": "ASN1::BOOLEAN", "NULL": "ASN1::Null", "GeneralizedTime": "ASN1::GeneralizedTime",
    "OBJECT_IDENTIFIER": "ASN1::OBJECT_IDENTIFIER", "OCTET_STRING": "ASN1::OCTET_STRING",
    "BIT_STRING": "ASN1::BIT_STRING",
}

KIND_NAMES = {"none": "ASN1::Unconstrained", "lower": "ASN1::LowerBoundOnly", "fixed": "ASN1::Fixed",
              "extensible": "ASN1::Extensible"}


def ident(name):
    """An ASN.1 name as a C++ identifier: hyphens become underscores."""
    text = name.replace("-", "_")
    return text + "_" if text in CPP_KEYWORDS else text


def member_ident(name, owner):
    text = ident(name)
    if text in RESERVED_MEMBERS or text == owner:
        text += "_"
    return text


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def upper_literal(c):
    return "4294967295u" if c.upper is None else f"{c.upper & 0xFFFFFFFF}u"


class Generator:
    def __init__(self, module, imports):
        self.module = module
        self.ns = ident(module.name)
        self.imports = imports  # module name -> header path
        self.defs = {}          # name -> Assignment (after lifting)
        self.order = []

    def err(self, line, message):
        raise SchemaError(f"{self.module.filename}:{line}: error: {message}")

    # ----------------------------------------------------------- analysis --
    def run(self):
        for a in self.module.assignments:
            if a.name in self.defs or a.name in self.module.imports:
                self.err(a.line, f"duplicate type '{a.name}'")
            self.defs[a.name] = a
        for a in list(self.module.assignments):
            self.lift(a.name, a.type, top=True)
        self.sort()

    def needs_class(self, t):
        """Whether an anonymous type needs a class of its own."""
        if t.kind in ("SEQUENCE", "CHOICE", "ENUMERATED"):
            return True
        if t.kind == "INTEGER":
            return bool(t.named_numbers)
        if t.kind in ("OCTET_STRING", "BIT_STRING", "string", "SEQUENCE_OF", "SET_OF"):
            return t.size.kind != "none"
        if t.kind == "open":
            return t.open_constraint is not None
        return False

    def fresh_name(self, base):
        name, n = base, 2
        while name in self.defs or name in self.module.imports:
            name, n = f"{base}{n}", n + 1
        return name

    def lift(self, owner, t, top=False):
        """Replaces anonymous types that need a class by references to new,
        named assignments."""
        if t.kind in ("SEQUENCE", "CHOICE"):
            for c in t.components:
                c.type = self.lift_inner(f"{owner}_{ident(c.name)}", c.type)
        elif t.kind in ("SEQUENCE_OF", "SET_OF"):
            t.element = self.lift_inner(f"{owner}_element", t.element)
        elif t.kind == "open" and t.open_constraint is not None:
            self.check_ref(t.open_constraint)
        elif t.kind == "ref":
            self.check_ref(t)

    def lift_inner(self, base, t):
        if self.needs_class(t):
            name = self.fresh_name(base)
            self.defs[name] = Assignment(name, t, t.line)
            self.lift(name, t)
            return Type("ref", t.line, ref_name=name)
        self.lift(base, t)
        return t

    def check_ref(self, t):
        if t.ref_module:
            if t.ref_module != self.module.name and t.ref_module not in self.imports:
                self.err(t.line, f"module '{t.ref_module}' is not among this module's dependencies")
            return
        if t.ref_name in self.defs:
            return
        if t.ref_name in self.module.imports:
            source = self.module.imports[t.ref_name]
            if source not in self.imports:
                self.err(t.line, f"imported module '{source}' is not among this module's dependencies")
            return
        self.err(t.line, f"unknown type '{t.ref_name}'")

    def local_refs(self, t):
        """Local type names t depends on."""
        out = []
        if t.kind == "ref" and not t.ref_module and t.ref_name in self.defs:
            out.append(t.ref_name)
        elif t.kind == "ref" and t.ref_module == self.module.name:
            out.append(t.ref_name)
        for c in t.components:
            out += self.local_refs(c.type)
        if t.element is not None:
            out += self.local_refs(t.element)
        if t.open_constraint is not None:
            out += self.local_refs(t.open_constraint)
        return out

    def sort(self):
        state = {}

        def visit(name, path):
            if state.get(name) == "done":
                return
            if state.get(name) == "active":
                cycle = " -> ".join(path[path.index(name):] + [name])
                self.err(self.defs[name].line, f"recursive type definitions are not supported: {cycle}")
            state[name] = "active"
            for dep in self.local_refs(self.defs[name].type):
                if dep not in self.defs:
                    self.err(self.defs[name].line, f"unknown type '{dep}'")
                visit(dep, path + [name])
            state[name] = "done"
            self.order.append(name)

        for name in self.defs:
            visit(name, [])

    # ------------------------------------------------------ C++ type names --
    def ref_cpp(self, t):
        if t.ref_module:
            return f"{ident(t.ref_module)}::{ident(t.ref_name)}"
        if t.ref_name in self.module.imports:
            return f"{ident(self.module.imports[t.ref_name])}::{ident(t.ref_name)}"
        return f"{self.ns}::{ident(t.ref_name)}"

    def cpp_type(self, t):
        """The C++ class of an anonymous type that needs no class of its own."""
        if t.kind == "ref":
            return self.ref_cpp(t)
        if t.kind in SIMPLE:
            return SIMPLE[t.kind]
        if t.kind == "string":
            return f"ASN1::{t.string_kind}"
        if t.kind == "INTEGER":
            r = t.value_range
            if r.kind == "none":
                return "ASN1::INTEGER"
            return f"ASN1::Constrained_INTEGER<{KIND_NAMES[r.kind]}, {r.lower}, {upper_literal(r)}>"
        if t.kind in ("SEQUENCE_OF", "SET_OF"):
            return f"ASN1::{t.kind}<{self.cpp_type(t.element)}>"
        if t.kind == "open":
            return "ASN1::OpenData"
        raise AssertionError(t.kind)

    @staticmethod
    def constraint_head(c, tag, create):
        return f"{{{{{create}, {tag}}}, {KIND_NAMES[c.kind]}, {c.lower}, {upper_literal(c)}}}"

    # --------------------------------------------------------- generation --
    def generate(self, header_path):
        h, cpp = [], []
        guard = "#pragma once"
        h.append(f"{guard}\n// Generated from {self.module.filename.split('/')[-1]}; do not edit.\n")
        h.append('#include "asn1/values.h"')
        for mod in sorted(set(self.module.imports.values()) | self.external_modules()):
            if mod != self.module.name:
                h.append(f'#include "{self.imports[mod]}"')
        h.append(f"\nnamespace {self.ns} {{\n")
        cpp.append(f'// Generated from {self.module.filename.split("/")[-1]}; do not edit.\n#include "{header_path}"\n')
        cpp.append(f"namespace {self.ns} {{\n")
        for name in self.order:
            self.emit(name, self.defs[name].type, h, cpp)
        h.append(f"}} // namespace {self.ns}\n")
        cpp.append(f"}} // namespace {self.ns}\n")
        return "\n".join(h), "\n".join(cpp)

    def external_modules(self):
        mods = set()

        def walk(t):
            if t.kind == "ref" and t.ref_module:
                mods.add(t.ref_module)
            for c in t.components:
                walk(c.type)
            if t.element is not None:
                walk(t.element)
            if t.open_constraint is not None:
                walk(t.open_constraint)
        for a in self.defs.values():
            walk(a.type)
        return mods

    def class_head(self, cls, base, info_type):
        return [
            f"class {cls} : public {base} {{",
            "public:",
            f"  explicit {cls}(const ASN1::AbstractInfo* info = &theInfo) : {base}(info) {{}}",
            f"  static ASN1::AbstractData* create(const ASN1::AbstractInfo* info) {{ return new {cls}(info); }}",
            f"  static const {info_type} theInfo;",
        ]

    def emit(self, name, t, h, cpp):
        cls = ident(name)
        k = t.kind
        if k == "SEQUENCE":
            return self.emit_sequence(cls, t, h, cpp)
        if k == "CHOICE":
            return self.emit_choice(cls, t, h, cpp)
        if k == "ENUMERATED":
            return self.emit_enumerated(cls, t, h, cpp)
        if k == "INTEGER" and t.named_numbers:
            return self.emit_named_integer(cls, t, h, cpp)
        if k in ("SEQUENCE_OF", "SET_OF"):
            return self.emit_sequence_of(cls, t, h, cpp)
        if k in ("OCTET_STRING", "BIT_STRING", "string") and t.size.kind != "none":
            return self.emit_sized(cls, t, h, cpp)
        if k == "open" and t.open_constraint is not None:
            lines = self.class_head(cls, "ASN1::TypeConstrainedOpenData", "ASN1::TypeConstrainedOpenDataInfo")
            h.extend(lines + ["};\n"])
            cpp.append(f"constinit const ASN1::TypeConstrainedOpenDataInfo {cls}::theInfo = "
                       f"{{{{&{cls}::create, 0}}, &{self.cpp_type(t.open_constraint)}::theInfo}};\n")
            return
        h.append(f"using {cls} = {self.cpp_type(t)};\n")

    def emit_sequence(self, cls, t, h, cpp):
        root = [c for c in t.components if not c.extension]
        ext = [c for c in t.components if c.extension]
        lines = self.class_head(cls, "ASN1::SEQUENCE", "ASN1::SequenceInfo")
        opt_bits, bit = [], 0
        for c in root:
            opt_bits.append(bit if c.optional else -1)
            bit += c.optional
        optional_count = bit
        comps = root + ext
        accessors = []
        for i, c in enumerate(comps):
            m = member_ident(c.name, cls)
            ob = opt_bits[i] if i < len(root) else optional_count + (i - len(root))
            lines.append(f"  struct {m} {{ using value_type = {self.cpp_type(c.type)}; "
                         f"static constexpr unsigned index = {i}; static constexpr int optionalBit = {ob}; }};")
            a = ident(c.name)
            accessors += [
                f"  {m}::value_type& get_{a}() {{ return ASN1::SEQUENCE::componentAs<{m}>(); }}",
                f"  const {m}::value_type& get_{a}() const {{ return ASN1::SEQUENCE::componentAs<{m}>(); }}",
                f"  void set_{a}(const {m}::value_type& V) {{ ASN1::SEQUENCE::setComponent<{m}>(V); }}",
            ]
            if ob >= 0:
                accessors += [
                    f"  bool has_{a}() const {{ return ASN1::SEQUENCE::hasOptionalField({ob}); }}",
                    f"  void remove_{a}() {{ ASN1::SEQUENCE::removeOptionalField({ob}); }}",
                ]
        if comps:
            lines += [
                "  static const ASN1::AbstractInfo* const fieldInfos[];",
                "  static const char* const fieldNames[];",
            ]
        if root:
            lines.append("  static const int fieldIds[];")
        mandatory = [not c.optional for c in ext]
        if any(mandatory):
            lines.append("  static const std::uint8_t mandatoryExtensions[];")
        h.extend(lines + accessors + ["};\n"])
        if comps:
            infos = ", ".join(f"&{self.cpp_type(c.type)}::theInfo" for c in comps)
            names = ", ".join(c_string(c.name) for c in comps)
            cpp.append(f"constinit const ASN1::AbstractInfo* const {cls}::fieldInfos[] = {{{infos}}};")
            cpp.append(f"constinit const char* const {cls}::fieldNames[] = {{{names}}};")
        if root:
            cpp.append(f"constinit const int {cls}::fieldIds[] = {{{', '.join(map(str, opt_bits))}}};")
        mand = "nullptr"
        if any(mandatory):
            octets = []
            for i in range(0, len(mandatory), 8):
                byte = 0
                for j, m in enumerate(mandatory[i:i + 8]):
                    byte |= (0x80 >> j) if m else 0
                octets.append(f"0x{byte:02X}")
            cpp.append(f"constinit const std::uint8_t {cls}::mandatoryExtensions[] = {{{', '.join(octets)}}};")
            mand = f"{cls}::mandatoryExtensions"
        cpp.append(
            f"constinit const ASN1::SequenceInfo {cls}::theInfo = {{{{&{cls}::create, 16}}, "
            f"{'true' if t.extensible else 'false'}, {cls + '::fieldInfos' if comps else 'nullptr'}, "
            f"{cls + '::fieldIds' if root else 'nullptr'}, {len(root)}, {len(ext)}, {optional_count}, "
            f"{mand}, nullptr, {cls + '::fieldNames' if comps else 'nullptr'}}};\n")

    def emit_choice(self, cls, t, h, cpp):
        if not t.components or t.components[0].extension:
            self.err(t.line, f"CHOICE '{cls}' needs at least one root alternative")
        root = [c for c in t.components if not c.extension]
        lines = self.class_head(cls, "ASN1::CHOICE", "ASN1::ChoiceInfo")
        lines += ["  static const ASN1::AbstractInfo* const selectionInfos[];",
                  "  static const char* const selectionNames[];"]
        accessors = []
        for i, c in enumerate(t.components):
            m = member_ident(c.name, cls)
            a = ident(c.name)
            lines.append(f"  struct {m} {{ using value_type = {self.cpp_type(c.type)}; "
                         f"static constexpr int index = {i}; }};")
            accessors += [
                f"  {m}::value_type& get_{a}() {{ return ASN1::CHOICE::alternativeAs<{m}>(); }}",
                f"  const {m}::value_type& get_{a}() const {{ return ASN1::CHOICE::alternativeAs<{m}>(); }}",
                f"  void set_{a}(const {m}::value_type& V) {{ ASN1::CHOICE::setAlternative<{m}>(V); }}",
                f"  bool is_{a}() const {{ return ASN1::CHOICE::selection() == {i}; }}",
            ]
        h.extend(lines + accessors + ["};\n"])
        infos = ", ".join(f"&{self.cpp_type(c.type)}::theInfo" for c in t.components)
        names = ", ".join(c_string(c.name) for c in t.components)
        cpp.append(f"constinit const ASN1::AbstractInfo* const {cls}::selectionInfos[] = {{{infos}}};")
        cpp.append(f"constinit const char* const {cls}::selectionNames[] = {{{names}}};")
        cpp.append(f"constinit const ASN1::ChoiceInfo {cls}::theInfo = {{{{&{cls}::create, 0}}, "
                   f"{'true' if t.extensible else 'false'}, {cls}::selectionInfos, {len(root)}, "
                   f"{len(t.components)}, nullptr, {cls}::selectionNames}};\n")

    def enum_values(self, t):
        """X.680 numbering: unnumbered root items take the smallest value no
        other root item uses; unnumbered extension items follow the largest."""
        used = {v for _, v, ext in t.items if v is not None and not ext}
        values, taken = [], set()
        for name, v, ext in t.items:
            if v is None:
                if not ext:
                    v = 0
                    while v in used or v in taken:
                        v += 1
                else:
                    v = max(values) + 1
            values.append(v)
            taken.add(v)
        return values

    def emit_enumerated(self, cls, t, h, cpp):
        values = self.enum_values(t)
        max_root = max(v for v, (_, _, ext) in zip(values, t.items) if not ext)
        names, prev = [], -1
        for (name, _, _), v in zip(t.items, values):
            names.append(c_string(name if v == prev + 1 else f"{name}={v}"))
            prev = v
        lines = self.class_head(cls, "ASN1::ENUMERATED", "ASN1::EnumeratedInfo")
        enumerators = ", ".join(f"{member_ident(n, cls)} = {v}" for (n, _, _), v in zip(t.items, values))
        lines += [
            f"  enum Value {{ {enumerators} }};",
            f"  {cls}(Value v) : ASN1::ENUMERATED(&theInfo) {{ setValue(v); }}",
            f"  {cls}& operator=(Value v) {{ setValue(v); return *this; }}",
            "  static const char* const enumNames[];",
            "};\n",
        ]
        h.extend(lines)
        cpp.append(f"constinit const char* const {cls}::enumNames[] = {{{', '.join(names)}}};")
        cpp.append(f"constinit const ASN1::EnumeratedInfo {cls}::theInfo = {{{{&{cls}::create, 10}}, "
                   f"{'true' if t.enum_extensible else 'false'}, {max_root}, {cls}::enumNames, {len(names)}}};\n")

    def emit_named_integer(self, cls, t, h, cpp):
        entries = sorted(t.named_numbers, key=lambda e: e[1])
        lines = self.class_head(cls, "ASN1::IntegerWithNamedNumber", "ASN1::IntegerWithNamedNumberInfo")
        enumerators = ", ".join(f"{member_ident(n, cls)} = {v}" for n, v in t.named_numbers)
        lines += [
            f"  enum Value {{ {enumerators} }};",
            f"  {cls}& operator=(int v) {{ setValue(v); return *this; }}",
            "  static const ASN1::NamedNumber namedNumbers[];",
            "};\n",
        ]
        h.extend(lines)
        table = ", ".join(f"{{{v}, {c_string(n)}}}" for n, v in entries)
        cpp.append(f"constinit const ASN1::NamedNumber {cls}::namedNumbers[] = {{{table}}};")
        head = self.constraint_head(t.value_range, 2, f"&{cls}::create")
        cpp.append(f"constinit const ASN1::IntegerWithNamedNumberInfo {cls}::theInfo = "
                   f"{{{head}, {cls}::namedNumbers, {len(entries)}}};\n")

    def emit_sequence_of(self, cls, t, h, cpp):
        elem = self.cpp_type(t.element)
        tag = 16 if t.kind == "SEQUENCE_OF" else 17
        lines = self.class_head(cls, f"ASN1::TypedCollection<{elem}>", "ASN1::SequenceOfInfo")
        h.extend(lines + ["};\n"])
        head = self.constraint_head(t.size, tag, f"&{cls}::create")
        cpp.append(f"constinit const ASN1::SequenceOfInfo {cls}::theInfo = {{{head}, &{elem}::theInfo}};\n")

    def emit_sized(self, cls, t, h, cpp):
        if t.kind == "string":
            base = f"ASN1::{t.string_kind}"
            if t.string_kind == "BMPString":
                info_type, text_type = "ASN1::BMPStringInfo", "std::wstring"
            else:
                info_type, text_type = "ASN1::CharacterStringInfo", "std::string"
        else:
            base = SIMPLE[t.kind]
            info_type, text_type = "ASN1::ConstrainedInfo", "std::vector<std::uint8_t>" if t.kind == "OCTET_STRING" else None
        lines = self.class_head(cls, base, info_type)
        if text_type:
            lines.append(f"  {cls}(const {text_type}& v) : {base}(v, &theInfo) {{}}")
        if t.kind == "string" and t.string_kind != "BMPString":
            lines.append(f"  {cls}(const char* v) : {base}(v, &theInfo) {{}}")
        lines.append(f"  using {base}::operator=;")
        h.extend(lines + ["};\n"])
        if t.kind == "string" and t.string_kind == "BMPString":
            head = self.constraint_head(t.size, 30, f"&{cls}::create")
            cpp.append(f"constinit const ASN1::BMPStringInfo {cls}::theInfo = {{{head}, 0, 0xFFFF, 16, 16}};\n")
        elif t.kind == "string":
            tag, size, canonical, unaligned, aligned = STRING_INFO[t.string_kind]
            head = self.constraint_head(t.size, tag, f"&{cls}::create")
            cpp.append(f"constinit const ASN1::CharacterStringInfo {cls}::theInfo = {{{head}, "
                       f"{base}::alphabet, {size}, {canonical}, {unaligned}, {aligned}}};\n")
        else:
            head = self.constraint_head(t.size, 4 if t.kind == "OCTET_STRING" else 3, f"&{cls}::create")
            cpp.append(f"constinit const ASN1::ConstrainedInfo {cls}::theInfo = {head};\n")
