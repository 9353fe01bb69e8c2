#!/usr/bin/env python3
"""The manual page velmarith(1), made from the command's own help, so that it cannot say
anything the command does not.

    make-manpage.py VELMARITH PAGE          writes the page (gzip-compressed when PAGE ends in .gz)
    make-manpage.py --check VELMARITH PAGE  renders the page with man and checks that it holds
                                            every line of every help text; exits 77 without man
"""
import gzip
import os
import re
import shutil
import subprocess
import sys


# The per-user data folder stands in the help of demo; the page names it as a user's, not as
# the builder's.
DATA_HOME = "/velmarith-manpage-data-home"


def run(command, *arguments):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=DATA_HOME)
    output = subprocess.run([command, *arguments], capture_output=True, text=True, check=True, env=environment).stdout
    return output.replace(DATA_HOME, "~/.local/share")


def subcommands(overview):
    return re.findall(r"^  ([a-z]+) {2,}", overview, re.MULTILINE)


def helps(command):
    """The overall help and each subcommand's, by name ("" for the overall one)."""
    overview = run(command, "--help")
    texts = {"": overview}
    for name in subcommands(overview):
        texts[name] = run(command, name, "--help")
    return texts


def roff(text):
    lines = []
    for line in text.rstrip("\n").split("\n"):
        line = line.replace("\\", "\\e")
        lines.append("\\&" + line if line.startswith((".", "'")) else line)
    return "\n".join(lines)


def page(command):
    version = run(command, "--version").strip()
    texts = helps(command)
    parts = [
        f'.TH VELMARITH 1 "" "{version}" "User Commands"',
        ".SH NAME",
        "velmarith \\- Chinese table-maintenance, lookup, input and file dialogs for shell scripts",
        ".SH SYNOPSIS",
        ".B velmarith",
        ".I command",
        "[\\fIoptions\\fR]",
        ".br",
        ".B velmarith",
        "\\-\\-help | \\-\\-version",
        ".SH DESCRIPTION",
        ".nf",
        roff(texts[""]),
        ".fi",
        ".SH COMMANDS",
    ]
    for name, text in texts.items():
        if name:
            parts += [f".SS {name}", ".nf", roff(text), ".fi"]
    parts += [".SH SEE ALSO", "/usr/share/doc/libvelmarith-dev/README.md.gz and the examples beside it"]
    return "\n".join(parts) + "\n"


def write(command, path):
    text = page(command).encode()
    if path.endswith(".gz"):
        with open(path, "wb") as raw, gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as out:
            out.write(text)
    else:
        with open(path, "wb") as out:
            out.write(text)


def check(command, path):
    if not shutil.which("man"):
        print("man is not installed: the page is not checked")
        return 77
    environment = dict(os.environ, MANWIDTH="400", LANG="C.UTF-8", MAN_KEEP_FORMATTING="")
    rendered = subprocess.run(["man", "-l", path], capture_output=True, text=True, check=True, env=environment).stdout
    plain = " ".join(re.sub(r".\x08", "", rendered).split())
    missing = [line.strip() for text in helps(command).values() for line in text.split("\n")
               if line.strip() and " ".join(line.split()) not in plain]
    for line in missing:
        print(f"not in the manual page: {line}")
    return 1 if missing else 0


if __name__ == "__main__":
    if sys.argv[1] == "--check":
        sys.exit(check(sys.argv[2], sys.argv[3]))
    write(sys.argv[1], sys.argv[2])
