#!/usr/bin/env python3
"""Give a generated backup file a DTD: write the DTD for the backup generator's element
names, and a copy of the backup whose document type declaration refers to it.

  gen_backup_dtd.py BACKUP DTD_OUT DOC_OUT

Both files land where their names say; DOC_OUT names the DTD by its file name, so keep
them in one folder. The element names are those of ../shared/tools/gen-backup.py."""

import os
import sys

DTD = """<!-- The layout of a phone-manager backup. -->
<!ELEMENT Data (Folder)*>
<!ELEMENT Folder (Folder|Contact|Entry)*>
<!ATTLIST Folder name CDATA #REQUIRED>
<!ELEMENT Contact (Name?, (Number|Text)*)>
<!ELEMENT Name (#PCDATA|First|Last)*>
<!ELEMENT First (#PCDATA)>
<!ELEMENT Last (#PCDATA)>
<!ELEMENT Number (#PCDATA)>
<!ATTLIST Number type CDATA #IMPLIED>
<!ELEMENT Text (#PCDATA)>
<!ATTLIST Text type CDATA #IMPLIED>
<!ELEMENT Entry (#PCDATA)>
"""


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    backup, dtd_out, doc_out = argv[1:]
    with open(dtd_out, "w", encoding="utf-8") as out:
        out.write(DTD)
    with open(backup, "rb") as source:
        data = source.read()
    doctype = ('<!DOCTYPE Data SYSTEM "%s">\n' % os.path.basename(dtd_out)).encode("ascii")
    # After the XML declaration, before the root element.
    end = data.find(b"?>") + 2 if data.startswith(b"<?xml") else 0
    while data[end:end + 1] in (b"\n", b"\r"):
        end += 1
    with open(doc_out, "wb") as out:
        out.write(data[:end] + doctype + data[end:])


if __name__ == "__main__":
    main(sys.argv)
