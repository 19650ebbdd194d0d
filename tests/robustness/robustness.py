#!/usr/bin/env python3
"""Hostile inputs against the shipped programs: each case must end, within its time and
memory limits, in a complete result or a clear error, never by a signal.

    robustness.py --bin DIR --work DIR [--case NAME]... [--list]

DIR holds velmora-xml and velmora-convert. Each case writes its input into the work folder
(nothing big is committed), runs one program on it, and prints its time and peak memory.
"""

import argparse
import os
import re
import resource
import signal
import sys
import time

TIME_LIMIT = 10.0            # seconds per case
MEMORY_LIMIT = 2 << 30       # bytes of peak resident memory per case
ADDRESS_LIMIT = 3 << 30      # address space a case may reserve: runaway growth fails fast

# What a clear error looks like: an error record, or a program's own message.
RECORD = r"^\S+:\d+:\d+: (fatal|error): .+$"


def laughs(levels, fanout, place):
    """A chain of entities, each referring to the one before it fanout times."""
    decls = ['<!ENTITY e0 "ha">']
    for i in range(1, levels + 1):
        decls.append('<!ENTITY e%d "%s">' % (i, ("&e%d;" % (i - 1)) * fanout))
    top = "&e%d;" % levels
    if place == "content":
        body = "<a>%s</a>" % top
    elif place == "attribute":
        body = '<a x="%s"/>' % top
    else:  # default
        decls.append('<!ATTLIST a x CDATA "%s">' % top)
        body = "<a/>"
    return ("<!DOCTYPE a [%s]>%s" % ("".join(decls), body)).encode()


def backup(contacts_xml):
    """A backup file of one device and one backup whose contacts folder holds the given XML."""
    return ('<?xml version="1.0" encoding="UTF-8"?><Data><Folder name="Phone">'
            '<Folder name="2026-12-09"><Folder name="Contacts">%s</Folder></Folder></Folder>'
            '</Data>' % contacts_xml).encode()


def nested(depth):
    return b"<a>" * depth + b"</a>" * depth


def attributes(count, duplicate):
    names = ["a%d" % i for i in range(count)]
    if duplicate:
        names[-1] = names[0]
    return ("<e %s/>" % " ".join('%s="v"' % n for n in names)).encode()


def namespaces(count):
    decls = " ".join('xmlns:p%d="urn:%d"' % (i, i) for i in range(count))
    return ("<p%d:e %s/>" % (count - 1, decls)).encode()


def prefixed_names(count):
    decls = " ".join('xmlns:p%d="urn:%d" p%d:a="v"' % (i, i, i) for i in range(count))
    return ("<e %s/>" % decls).encode()


def content_model(depth):
    return ("<!DOCTYPE a [<!ELEMENT a %sb%s><!ELEMENT b EMPTY>]><a><b/></a>"
            % ("(" * depth, ")" * depth)).encode()


class Case:
    def __init__(self, name, data, program, args, expect, pattern=None, setup=None,
                 address_limit=ADDRESS_LIMIT):
        self.name = name          # the test's name
        self.data = data          # bytes of the input file, or a function returning them
        self.program = program    # "xml" or "convert"
        self.args = args          # arguments before (or around, with {file}) the file
        self.expect = expect      # "ok" or "error"
        self.pattern = pattern    # a regular expression the output must match
        self.setup = setup        # makes the input itself instead of data
        self.address_limit = address_limit


C = Case


CASES = [
    # Entity amplification.
    C("laughs_in_content", lambda: laughs(10, 10, "content"), "xml", ["check"], "error",
      r"expansion limit"),
    C("laughs_in_content_loaded", lambda: laughs(10, 10, "content"), "convert", ["--list"], "error"),
    C("laughs_in_attribute", lambda: laughs(10, 10, "attribute"), "xml", ["check"], "error"),
    C("laughs_in_default", lambda: laughs(10, 10, "default"), "xml", ["check"], "error"),
    C("quadratic_blowup", lambda: ('<!DOCTYPE a [<!ENTITY e "%s">]><a>%s</a>'
                                   % ("x" * 100000, "&e;" * 100000)).encode(),
      "convert", ["--list"], "error"),
    C("parameter_entity_recursion",
      b'<!DOCTYPE a [<!ENTITY % p "%q;"><!ENTITY % q "%p;">%p;]><a/>', "xml", ["check"], "error"),
    C("general_entity_recursion",
      b'<!DOCTYPE a [<!ENTITY e "&f;"><!ENTITY f "&e;">]><a>&e;</a>', "xml", ["check"], "error"),
    # Nesting.
    C("deep_parse", lambda: nested(1000000), "xml", ["check"], "ok"),
    C("deep_load_and_query", lambda: nested(1000000), "xml",
      ["xpath", "{file}", "count(//*)", "name((//*)[last()])"], "ok",
      r"^number 1000000\n## name\(\(//\*\)\[last\(\)\]\)\nstring \"a\"$"),
    C("deep_validate", lambda: b"<!DOCTYPE a [<!ELEMENT a (a?)>]>" + nested(1000000),
      "xml", ["validate"], "ok"),
    C("many_references_validated",
      lambda: (b'<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ENTITY e "x">]><a>'
               + b"t&e;" * 70000 + b"</a>"), "xml", ["validate"], "ok"),
    C("deep_xpath_parentheses", b"<a/>", "xml",
      ["xpath", "{file}", "(" * 10000 + "1" + ")" * 10000], "error", r"nests more than"),
    C("deep_content_model", lambda: content_model(100000), "xml", ["validate"], "error",
      r"nested more than"),
    C("content_model_at_its_limit", lambda: content_model(256), "xml", ["validate"], "ok"),
    # Width.
    C("many_attributes", lambda: attributes(100000, False), "xml", ["check"], "ok"),
    C("many_attributes_duplicate", lambda: attributes(100000, True), "xml", ["check"], "error"),
    C("many_namespaces", lambda: namespaces(100000), "xml", ["xpath", "{file}", "count(/*)"],
      "ok", r"^number 1$"),
    C("many_prefixed_names", lambda: prefixed_names(100000), "xml",
      ["xpath", "{file}", "count(/e/@*)"], "ok", r"^number 100000$"),
    C("huge_text", lambda: b"<a>" + b"x" * (100 << 20) + b"</a>", "xml",
      ["xpath", "{file}", "string-length(string(/a))"], "ok", r"^number 104857600$"),
    C("huge_name", lambda: b"<" + b"n" * (16 << 20) + b"/>", "xml", ["check"], "ok"),
    C("huge_declaration_space", lambda: b"<?xml" + b" " * (16 << 20) + b"version='1.0'?><a/>",
      "xml", ["check"], "ok"),
    # Encodings.
    C("utf8_cut", b"<a>\xc3</a>", "xml", ["check"], "error"),
    C("utf8_cut_at_end", b"<a/>\xe2\x82", "xml", ["check"], "error"),
    C("utf16_cut", b"\xff\xfe" + "<a>".encode("utf-16-le") + "\U0001F600".encode("utf-16-le")[:2],
      "xml", ["check"], "error"),
    C("utf16_odd_length", b"\xff\xfe" + "<a/>".encode("utf-16-le") + b"\x00", "xml", ["check"],
      "error"),
    C("declaration_contradicts_bom",
      b"\xef\xbb\xbf<?xml version='1.0' encoding='UTF-16'?><a/>", "xml", ["check"], "error"),
    C("unknown_encoding", b"<?xml version='1.0' encoding='x-no-such'?><a/>", "xml", ["check"],
      "error"),
    # References.
    C("huge_decimal_reference", b"<a>&#" + b"9" * 1000 + b";</a>", "xml", ["check"], "error"),
    C("huge_hex_reference", b"<a>&#x" + b"F" * 1000 + b";</a>", "xml", ["check"], "error"),
    C("surrogate_reference", b"<a>&#xD800;</a>", "xml", ["check"], "error"),
    C("nul_reference", b"<a>&#0;</a>", "xml", ["check"], "error"),
    C("nul_in_tag", b"<a\x00/>", "xml", ["check"], "error"),
    C("nul_in_name", b"<a\x00b/>", "xml", ["check"], "error"),
    C("nul_in_attribute_value", b"<a x='\x00'/>", "xml", ["check"], "error"),
    # Files.
    C("empty_file", b"", "convert", ["--list"], "error"),
    C("directory", None, "convert", ["--list"], "error", setup="directory"),
    C("fifo", None, "convert", ["--list"], "error", setup="fifo"),
    C("vanished_file", None, "convert", ["--list"], "error", setup="missing"),
    C("larger_than_the_load_limit", None, "convert", ["--list"], "error", r"Source too large",
      setup="sparse"),
    C("out_of_memory_load", lambda: backup("x" * (100 << 20)), "convert", ["--list"], "error",
      r"^velmora-convert: Zu wenig Arbeitsspeicher\.$", address_limit=600 << 20),
    C("out_of_memory_check", lambda: backup("x" * (100 << 20)), "xml", ["check"], "error",
      r"fatal: Zu wenig Arbeitsspeicher$", address_limit=300 << 20),
]


def remove_input(path):
    if os.path.isdir(path) and not os.path.islink(path):
        os.rmdir(path)
    elif os.path.lexists(path):
        os.remove(path)


def make_input(case, work):
    path = os.path.join(work, case.name + ".xml")
    remove_input(path)
    if case.setup == "directory":
        os.mkdir(path)
    elif case.setup == "fifo":
        os.mkfifo(path)
    elif case.setup == "missing":
        pass
    elif case.setup == "sparse":
        # More than the address space a case may have, holding nothing.
        with open(path, "wb") as f:
            f.truncate(ADDRESS_LIMIT + (1 << 30))
    else:
        data = case.data() if callable(case.data) else case.data
        with open(path, "wb") as f:
            f.write(data)
    return path


def limit_child(address_limit):
    resource.setrlimit(resource.RLIMIT_AS, (address_limit, address_limit))
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


def run(case, binaries, work):
    path = make_input(case, work)
    program = os.path.join(binaries, "velmora-xml" if case.program == "xml" else "velmora-convert")
    if "{file}" in case.args:
        argv = [program] + [path if a == "{file}" else a for a in case.args]
    else:
        argv = [program] + case.args + [path]
    out_path = os.path.join(work, case.name + ".out")
    err_path = os.path.join(work, case.name + ".err")
    start = time.monotonic()
    pid = os.fork()
    if pid == 0:  # the child: its limits, its files, the program
        try:
            limit_child(case.address_limit)
            os.dup2(os.open(os.devnull, os.O_RDONLY), 0)
            os.dup2(os.open(out_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644), 1)
            os.dup2(os.open(err_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644), 2)
            os.execv(argv[0], argv)
        finally:
            os._exit(127)
    status, usage, timed_out = None, None, False
    while status is None:
        done, code, rusage = os.wait4(pid, os.WNOHANG)
        if done:
            status, usage = code, rusage
        elif time.monotonic() - start > TIME_LIMIT and not timed_out:
            os.kill(pid, signal.SIGKILL)
            timed_out = True
        else:
            time.sleep(0.005)
    seconds = time.monotonic() - start
    with open(out_path, "rb") as f:
        output = f.read().decode("utf-8", "replace")
    with open(err_path, "rb") as f:
        errors = f.read().decode("utf-8", "replace")
    peak = usage.ru_maxrss * 1024
    remove_input(path)
    return seconds, peak, status, timed_out, output, errors


def judge(case, peak, status, timed_out, output, errors):
    """The reasons the case failed; none when it passed."""
    problems = []
    if timed_out:
        return ["did not end within %g s" % TIME_LIMIT]
    if os.WIFSIGNALED(status):
        return ["ended by signal %d" % os.WTERMSIG(status)]
    code = os.WEXITSTATUS(status)
    if peak > MEMORY_LIMIT:
        problems.append("peak memory %d MB over %d MB" % (peak >> 20, MEMORY_LIMIT >> 20))
    if case.expect == "ok":
        if code != 0:
            problems.append("exit %d, expected a complete result" % code)
        if case.pattern and not re.search(case.pattern, output, re.M):
            problems.append("output does not match %r" % case.pattern)
    else:
        if code != 1:
            problems.append("exit %d, expected 1 (an error)" % code)
        lines = [line for line in (output + errors).splitlines() if line.strip()]
        if not lines:
            problems.append("no message")
        elif case.args[0] in ("check", "validate") and not any(re.match(RECORD, l) for l in lines):
            problems.append("no error record")
        if case.pattern and not re.search(case.pattern, output + errors, re.M):
            problems.append("message does not match %r" % case.pattern)
    if "Sanitizer" in errors or "runtime error:" in errors:
        problems.append("sanitizer report")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin")
    parser.add_argument("--work")
    parser.add_argument("--case", action="append")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--verbose", action="store_true", help="show every case's messages")
    options = parser.parse_args()
    if options.list:
        print(";".join(case.name for case in CASES))
        return 0
    os.makedirs(options.work, exist_ok=True)
    chosen = [c for c in CASES if not options.case or c.name in options.case]
    failed = 0
    for case in chosen:
        seconds, peak, status, timed_out, output, errors = run(case, options.bin, options.work)
        problems = judge(case, peak, status, timed_out, output, errors)
        print("%-30s %6.2f s %7.1f MB  %s" % (case.name, seconds, peak / 2**20,
                                               "; ".join(problems) if problems else "passed"))
        if problems or options.verbose:
            failed += 1 if problems else 0
            print("  stdout: " + output[:300].strip().replace("\n", "\n          "))
            print("  stderr: " + errors[:600].strip().replace("\n", "\n          "))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
