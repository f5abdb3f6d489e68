#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Writes an old/new pair of metadata documents for benchmarking.

The old document is a package of classes, each holding attributes. The new
document is derived from it class by class, with the given share of classes
and of attributes changed. Every kind of change occurs: deleted, added and
moved classes and attributes (a moved class changes place in the document,
a moved attribute changes class), changed, added and deleted fields, renamed
elements and Uuids that differ only in letter case. Both documents also hold
elements the comparison skips (Comment, KIBComment, Interface, Enum,
InterfaceImplementation, Enumerator) and non-ASCII values.

The same arguments always give byte-identical files. Both files are written
as they are generated, so memory stays small whatever the size.

  generate-metadata.py --size-mb 10 --changes 0.01 --seed 1 old.xml new.xml
  generate-metadata.py --size-mb 10 --seed 1 --theirs theirs.xml base.xml ours.xml

With --theirs, a second version is derived from the same old document with
its own random choices (a three-way merge's base, ours and theirs); the old
and new documents are the same bytes as without it.
"""

import argparse
import random
import sys
from xml.sax.saxutils import quoteattr

WORDS = ["Order", "Customer", "Invoice", "Address", "Store", "Shipment", "Payment", "Product",
         "Account", "Ledger", "Contract", "Region", "Carrier", "Supplier", "Warehouse", "Item"]
# Values with characters outside ASCII, in one and two UTF-16 units.
NON_ASCII = ["Données & Qualité", "Größe", "Ελληνικά", "日本語の説明", "naïve café", "𝔘𝔫𝔦𝔠𝔬𝔡𝔢", "Ñandú"]
TYPES = ["int", "bigint", "varchar", "char", "decimal", "date", "timestamp", "boolean"]


class Generator:
    def __init__(self, args):
        self.rng = random.Random(args.seed)
        self.args = args
        self.serial = 0

    def chance(self, share):
        return self.rng.random() < share

    def pick(self, items):
        return items[int(self.rng.random() * len(items))]

    def uuid(self):
        r = self.rng.random
        parts = [int(r() * 16 ** n) for n in (8, 4, 4, 4, 12)]
        return "%08x-%04x-%04x-%04x-%012x" % tuple(parts)

    def value(self):
        if self.chance(0.05):
            return self.pick(NON_ASCII)
        return "%s_%d" % (self.pick(WORDS), int(self.rng.random() * 100000))

    def name(self):
        self.serial += 1
        return "%s%d" % (self.pick(WORDS), self.serial)

    def element(self, tag, count):
        """An element: tag and ordered fields, Name and Uuid first."""
        fields = [("Name", self.name()), ("Uuid", self.uuid())]
        if tag == "Attribute":
            fields.append(("Type", self.pick(TYPES)))
        for i in range(len(fields), count):
            fields.append(("F%d" % i, self.value()))
        return {"tag": tag, "fields": fields, "children": []}

    def new_class(self):
        cls = self.element("Class", self.args.class_fields)
        cls["children"] = [self.element("Attribute", self.args.attrib_fields)
                           for _ in range(self.args.attributes)]
        if self.chance(0.1):
            cls["children"].insert(0, {"tag": "KIBComment", "fields": [("Text", self.value())], "children": []})
        if self.chance(0.05):
            tag = self.pick(["InterfaceImplementation", "Enumerator"])
            cls["children"].append({"tag": tag, "fields": [("Ref", self.uuid())], "children": []})
        return cls

    def skipped_class(self):
        """A level-2 element that the comparison skips."""
        tag = self.pick(["Comment", "Interface", "Enum"])
        return {"tag": tag, "fields": [("Name", self.name()), ("Uuid", self.uuid())], "children": []}

    def change_fields(self, fields):
        """One change of the fields other than Uuid: rename, change, add or delete."""
        kind = self.pick(["rename", "change", "add", "delete", "case"])
        fields = list(fields)
        if kind == "rename":
            fields[0] = ("Name", fields[0][1] + "Renamed")
        elif kind == "change" and len(fields) > 2:
            i = 2 + int(self.rng.random() * (len(fields) - 2))
            fields[i] = (fields[i][0], self.value())
        elif kind == "add":
            fields.append(("Added%d" % len(fields), self.value()))
        elif kind == "delete" and len(fields) > 2:
            del fields[2 + int(self.rng.random() * (len(fields) - 2))]
        else:  # the same element, its Uuid in other letter case: no difference
            fields[1] = ("Uuid", fields[1][1].upper())
        return fields

    def derive_attributes(self, attributes, moved_in, moved_out):
        share = self.args.changes
        result = []
        for attrib in attributes:
            if attrib["tag"] != "Attribute" or not self.chance(share):
                result.append(attrib)
                continue
            kind = self.pick(["delete", "add", "move", "fields", "fields"])
            if kind == "delete":
                continue
            if kind == "move":
                moved_out.append(attrib)
                continue
            if kind == "add":
                result.append(attrib)
                result.append(self.element("Attribute", self.args.attrib_fields))
                continue
            result.append(dict(attrib, fields=self.change_fields(attrib["fields"])))
        result.extend(moved_in)
        return result

    def derive_class(self, cls, out, state):
        """Writes the derived version of cls (a class of the old document) to out.

        state holds what moves on: attributes moved out of an earlier class
        into the next one, classes written later than in the old document."""
        share = self.args.changes
        if self.chance(share):
            kind = self.pick(["delete", "add", "move", "fields"])
            if kind == "delete":
                return
            if kind == "move":
                state["classes"].append(cls)
                return
            if kind == "add":
                write_element(out, self.new_class())
            else:
                cls = dict(cls, fields=self.change_fields(cls["fields"]))
        moved_out = []
        cls = dict(cls, children=self.derive_attributes(cls["children"], state["attribs"], moved_out))
        state["attribs"] = moved_out
        write_element(out, cls)
        if len(state["classes"]) > 8:
            write_element(out, state["classes"].pop(0))

    def run(self, old_out, new_out, theirs_out=None, theirs=None):
        """Writes the old and the new document; with theirs (a Generator of
        its own seed), also a second version derived from the same old one."""
        target = int(self.args.size_mb * 1024 * 1024)
        header = '<?xml version="1.0" encoding="UTF-8"?>\n'
        old_pkg = [("Name", "Bench"), ("Uuid", self.uuid()), ("Version", "1.0"), ("Owner", "Données")]
        new_pkg = [("Name", "Bench"), ("Uuid", old_pkg[1][1]), ("Version", "1.1"), ("Owner", "Données")]
        theirs_pkg = [("Name", "Bench"), ("Uuid", old_pkg[1][1]), ("Version", "1.0"), ("Owner", "Qualité")]
        written = write(old_out, header + "<Package%s>\n" % attrs(old_pkg))
        write(new_out, header + "<Package%s>\n" % attrs(new_pkg))
        comment = {"tag": "Comment", "fields": [("Text", "Benchmark model")], "children": []}
        write_element(old_out, comment)
        versions = [(self, new_out, {"attribs": [], "classes": []})]
        if theirs:
            write(theirs_out, header + "<Package%s>\n" % attrs(theirs_pkg))
            write_element(theirs_out, comment)
            versions.append((theirs, theirs_out, {"attribs": [], "classes": []}))
        while written < target:
            cls = self.skipped_class() if self.chance(0.02) else self.new_class()
            written += write_element(old_out, cls)
            for generator, out, state in versions:
                if cls["tag"] != "Class":
                    write_element(out, cls)
                else:
                    generator.derive_class(cls, out, state)
        write(old_out, "</Package>\n")
        for _, out, state in versions:
            for cls in state["classes"]:
                write_element(out, cls)
            write(out, "</Package>\n")


def attrs(fields):
    return "".join(" %s=%s" % (k, quoteattr(v)) for k, v in fields)


def write(out, text):
    data = text.encode("utf-8")
    out.write(data)
    return len(data)


def write_element(out, element):
    fields = attrs(element["fields"])
    children = element["children"]
    if not children:
        return write(out, "  <%s%s/>\n" % (element["tag"], fields))
    lines = ["  <%s%s>\n" % (element["tag"], fields)]
    lines += ["    <%s%s/>\n" % (c["tag"], attrs(c["fields"])) for c in children]
    lines.append("  </%s>\n" % element["tag"])
    return write(out, "".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--size-mb", type=float, required=True, help="size of the old document in MiB")
    parser.add_argument("--changes", type=float, default=0.01, help="share of classes and attributes changed")
    parser.add_argument("--attributes", type=int, default=8, help="attributes per class")
    parser.add_argument("--class-fields", type=int, default=5, help="fields per class")
    parser.add_argument("--attrib-fields", type=int, default=6, help="fields per attribute")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--theirs", help="also write a second new version of the same old document "
                        "(a three-way merge's theirs, with new as ours)")
    parser.add_argument("--theirs-seed", type=int, default=None, help="seed of the second version (default: seed + 1)")
    parser.add_argument("old")
    parser.add_argument("new")
    args = parser.parse_args()
    if args.size_mb <= 0 or not 0 <= args.changes <= 1 or args.attributes < 0:
        parser.error("sizes must be positive and --changes between 0 and 1")
    if args.class_fields < 2 or args.attrib_fields < 3:
        parser.error("classes need at least 2 fields (Name, Uuid), attributes at least 3")
    with open(args.old, "wb") as old_out, open(args.new, "wb") as new_out:
        if not args.theirs:
            Generator(args).run(old_out, new_out)
        else:
            seed = args.seed + 1 if args.theirs_seed is None else args.theirs_seed
            theirs = Generator(argparse.Namespace(**dict(vars(args), seed=seed)))
            with open(args.theirs, "wb") as theirs_out:
                Generator(args).run(old_out, new_out, theirs_out, theirs)
    return 0


if __name__ == "__main__":
    sys.exit(main())
