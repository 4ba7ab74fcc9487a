#!/usr/bin/env python3
"""The schema compiler refuses what the runtime cannot carry, naming the
file and line, and accepts the forms the carried modules use."""
import os
import subprocess
import sys
import tempfile
import unittest

COMPILER = os.path.join(sys.argv.pop(1), "kelvad_asn1c.py")

HEAD = "M DEFINITIONS AUTOMATIC TAGS ::=\nBEGIN\n"


def run(text, imports=()):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "m.asn")
        with open(path, "w") as f:
            f.write(text)
        args = [sys.executable, COMPILER, "--module", "M", "--header", "x/M.h", "--out-dir", d, path]
        args += [f"--import={m}=x/{m}.h" for m in imports]
        p = subprocess.run(args, capture_output=True, text=True)
        header = ""
        if p.returncode == 0:
            with open(os.path.join(d, "M.h")) as f:
                header = f.read()
            with open(os.path.join(d, "M.cpp")) as f:
                header += f.read()
        return p.returncode, p.stderr.replace(path, "m.asn"), header


class Refusals(unittest.TestCase):
    cases = [
        ("A ::= REAL\n", 3, "REAL is not supported"),
        ("A ::= SEQUENCE {\n  a INTEGER DEFAULT 5\n}\n", 4, "DEFAULT values are not supported"),
        ("A ::= SEQUENCE { a [0] INTEGER }\n", 3, "explicit tags"),
        ("A ::= SET { a INTEGER }\n", 3, "SET is not supported"),
        ("A ::= IA5String (FROM (\"a\"))\n", 3, "permitted-alphabet"),
        ("A ::= SEQUENCE { a INTEGER, ..., [[ b INTEGER ]] }\n", 3, "extension addition groups"),
        ("A ::= SEQUENCE { b B }\nB ::= SEQUENCE { a A OPTIONAL }\n", 3, "recursive type definitions"),
        ("A ::= SEQUENCE { b Missing }\n", 3, "unknown type 'Missing'"),
        ("A ::= BIT STRING { a(0) }\n", 3, "named bits"),
        ("A ::= INTEGER (0..5000000000)\n", 3, "32-bit"),
        ("A ::= UTF8String\n", 3, "UTF8String is not supported"),
        ("A ::= CHOICE { a INTEGER OPTIONAL }\n", 3, "not allowed in a CHOICE"),
        ("A ::= SEQUENCE { a INTEGER, a BOOLEAN }\n", 3, "duplicate component 'a'"),
    ]

    def test_each_refusal_names_file_and_line(self):
        for body, line, text in self.cases:
            with self.subTest(body=body):
                code, err, _ = run(HEAD + body + "END\n")
                self.assertEqual(1, code)
                self.assertIn(f"m.asn:{line}: error:", err)
                self.assertIn(text, err)

    def test_other_tag_defaults_are_refused(self):
        code, err, _ = run("M DEFINITIONS IMPLICIT TAGS ::=\nBEGIN\nEND\n")
        self.assertEqual(1, code)
        self.assertIn("m.asn:1: error: only modules with AUTOMATIC TAGS", err)

    def test_imports_need_the_imported_module(self):
        text = HEAD + "IMPORTS T FROM Other;\nA ::= SEQUENCE { t T }\nEND\n"
        code, err, _ = run(text)
        self.assertEqual(1, code)
        self.assertIn("m.asn:4: error: imported module 'Other'", err)
        code, _, header = run(text, imports=["Other"])
        self.assertEqual(0, code)
        self.assertIn('#include "x/Other.h"', header)
        self.assertIn("using value_type = Other::T;", header)


class Accepted(unittest.TestCase):
    def test_carried_forms(self):
        code, err, header = run(HEAD + """
-- a comment to the end of the line
/* and a block comment */
max INTEGER ::= 64
E ::= ENUMERATED { a, b(5), c, ..., d }
S ::= SEQUENCE {
  name IA5String (SIZE (1..max)) OPTIONAL,
  delete INTEGER (0..MAX),
  info CHOICE { x NULL, y BOOLEAN },
  list SEQUENCE SIZE (1..4) OF E,
  trunk_bri OCTET STRING,
  ...,
  added INTEGER OPTIONAL
}
O ::= SEQUENCE { v TYPE-IDENTIFIER.&Type (S) }
END
""")
        self.assertEqual(0, code, err)
        self.assertIn('{"a", "b=5", "c=1", "d=6"}', header)  # X.680 numbering
        self.assertIn("struct name { using value_type = M::S_name;", header)
        self.assertIn("struct delete_ {", header)
        self.assertIn("struct info_ {", header)  # would hide info()
        self.assertIn("get_trunk_bri()", header)
        self.assertIn("class O_v : public ASN1::TypeConstrainedOpenData", header)


if __name__ == "__main__":
    unittest.main(verbosity=1)
