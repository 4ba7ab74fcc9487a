#!/usr/bin/env python3
"""kelvad_asn1c: compiles one ASN.1 module into <Module>.h and <Module>.cpp.

Written in Python 3 so that it runs on the build host as it is, for the
native and the cross build alike, with no host-compiler step and nothing
beyond the interpreter every build machine has.

usage: kelvad_asn1c.py --module NAME --header PATH --out-dir DIR
                       [--import MODULE=HEADER ...] FILE.asn
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from asn1_parser import SchemaError, parse_file  # noqa: E402
from cpp_generator import Generator  # noqa: E402


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    ap = argparse.ArgumentParser(description="ASN.1 module compiler for kelvad")
    ap.add_argument("--module", required=True, help="the module the file must define")
    ap.add_argument("--header", required=True, help="include path of the generated header")
    ap.add_argument("--out-dir", required=True)
    ap.add_argument("--import", dest="imports", action="append", default=[],
                    metavar="MODULE=HEADER", help="header of a module this one imports from")
    ap.add_argument("source")
    args = ap.parse_args(argv)
    imports = {}
    for item in args.imports:
        mod, sep, header = item.partition("=")
        if not sep or not mod or not header:
            ap.error(f"bad --import '{item}' (want MODULE=HEADER)")
        imports[mod] = header
    try:
        module = parse_file(args.source)
        if module.name != args.module:
            raise SchemaError(f"{args.source}:1: error: the file defines module '{module.name}', "
                              f"expected '{args.module}'")
        gen = Generator(module, imports)
        gen.run()
        header, source = gen.generate(args.header)
    except SchemaError as e:
        print(e, file=sys.stderr)
        return 1
    except OSError as e:
        print(f"kelvad_asn1c: {e}", file=sys.stderr)
        return 1
    os.makedirs(args.out_dir, exist_ok=True)
    write(os.path.join(args.out_dir, module.name + ".h"), header)
    write(os.path.join(args.out_dir, module.name + ".cpp"), source)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
