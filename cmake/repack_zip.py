#!/usr/bin/env python3
"""Packs FOLDER, found in PARENT, into the zip file OUTPUT so that the same
tree gives the same bytes whoever packs it, wherever and whenever: members
sorted by name, each directory before what it holds; times from
SOURCE_DATE_EPOCH where it is set, in UTC, since zip stores a local time with
no zone; directories and programs 0755, other files 0644; no owner, and none
of the extra fields that would record one.

Usage: repack_zip.py PARENT FOLDER OUTPUT
"""

import os
import sys
import time
import zipfile


def main():
    parent, folder, output = sys.argv[1:]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    members = []
    for root, dirs, files in os.walk(os.path.join(parent, folder)):
        for name in dirs + files:
            path = os.path.join(root, name)
            members.append((os.path.relpath(path, parent), path))
    members.append((folder, os.path.join(parent, folder)))
    with zipfile.ZipFile(output, "w") as archive:
        for name, path in sorted(members):
            stamp = int(epoch) if epoch else int(os.stat(path).st_mtime)
            # Zip cannot hold a time before 1980.
            when = time.gmtime(max(stamp, 315532800))[:6]
            if os.path.isdir(path):
                info = zipfile.ZipInfo(name + "/", when)
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
                continue
            info = zipfile.ZipInfo(name, when)
            executable = os.stat(path).st_mode & 0o111
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(info, data.read(), compresslevel=9)


if __name__ == "__main__":
    main()
