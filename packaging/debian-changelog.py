#!/usr/bin/env python3
"""Writes CHANGELOG.md as the Debian changelog of the package, gzipped.

Usage: debian-changelog.py CHANGELOG.md PACKAGE MAINTAINER OUT.gz

A package without its own Debian revision keeps its changes in
/usr/share/doc/PACKAGE/changelog.gz in Debian's form: one entry a version,
newest first, with the date in the trailer. The entries are the changelog's
sections, their lists kept under the headings they stand under.
"""

import datetime
import email.utils
import gzip
import re
import sys
import textwrap


def releases(markdown):
    """(version, date, [(heading, [item])]) for each "## [version] - date"."""
    found = []
    heading = None
    for line in markdown.splitlines():
        m = re.match(r"## \[([0-9][^\]]*)\] - (\d{4}-\d{2}-\d{2})$", line)
        if m:
            found.append((m.group(1), m.group(2), []))
            heading = None
        elif not found:
            continue
        elif line.startswith("### "):
            heading = (line[4:].strip(), [])
            found[-1][2].append(heading)
        elif line.startswith("- ") and heading:
            heading[1].append(line[2:].strip())
        elif line.startswith("  ") and heading and heading[1]:
            heading[1][-1] += " " + line.strip()
    return found


def entry(package, version, date, sections, maintainer, minute):
    lines = [f"{package} ({version}) unstable; urgency=medium", ""]
    for heading, items in sections:
        lines.append(f"  * {heading}:")
        for item in items:
            plain = item.replace("`", "")
            lines += textwrap.wrap(plain, 78, initial_indent="    - ", subsequent_indent="      ")
    day = datetime.datetime.strptime(date, "%Y-%m-%d").replace(tzinfo=datetime.timezone.utc)
    when = day + datetime.timedelta(minutes=minute)
    lines += ["", f" -- {maintainer}  {email.utils.format_datetime(when)}", ""]
    return "\n".join(lines) + "\n"


def main():
    source, package, maintainer, out = sys.argv[1:5]
    with open(source, encoding="utf-8") as f:
        found = releases(f.read())
    if not found:
        sys.exit(f"{source}: no section of the form ## [version] - YYYY-MM-DD")
    # The Markdown gives days only; versions of one day are put a minute
    # apart in the trailers, the newer later, as each entry must be newer than
    # the one below it.
    minutes = [sum(1 for later in found[i + 1:] if later[1] == found[i][1]) for i in range(len(found))]
    text = "".join(
        entry(package, *release, maintainer, minute) for release, minute in zip(found, minutes))
    # No name and no time in the header: the same changelog gives the same bytes.
    with open(out, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as z:
            z.write(text.encode("utf-8"))


if __name__ == "__main__":
    main()
