#!/usr/bin/python3
"""Under a decimal-comma locale the running program still reads "." as the decimal point and
takes "16,5" for no number. The test first proves that the locale is really there and that the
program runs under it: glibc silently falls back to "C" for a locale that was never generated,
which would make the test pass for nothing."""

import subprocess

import desktop_session as ds
from desktop_session import TestFailure, wait_for

LOCALE = "de_DE.UTF-8"
RESULTS = ("Volume in tank", "Free space", "Volume from pump", "Final octane rating")


def check_locale_usable():
    # glibc falls back to "C" without a word when a locale was never generated; "locale" says so
    # on stderr. With the locale in place its decimal point is the comma.
    env = {"PATH": "/usr/bin:/bin", "LC_ALL": LOCALE}
    result = subprocess.run(["locale", "decimal_point"], env=env, capture_output=True, text=True)
    if result.stderr or result.stdout.strip() != ",":
        raise TestFailure("%s is not generated on this machine (./dev runs locale-gen): %s"
                          % (LOCALE, result.stderr.strip() or result.stdout.strip()))


def check_program_environment(pid):
    with open("/proc/%d/environ" % pid, "rb") as environ:
        variables = set(environ.read().split(b"\0"))
    for name in ("LANG", "LC_ALL"):
        if ("%s=%s" % (name, LOCALE)).encode() not in variables:
            raise TestFailure("the program runs without %s=%s" % (name, LOCALE))


def test(binary):
    check_locale_usable()
    env = {"LANG": LOCALE, "LC_ALL": LOCALE, "LANGUAGE": "de"}
    with ds.Desktop(env) as desktop:
        program = desktop.start_program(binary)
        acc = ds.Accessible(desktop)
        check_program_environment(program.pid)
        box = acc.find("text", name="Tank capacity")

        def results():
            return tuple(acc.find("label", description=d).get_name() for d in RESULTS)

        def enter(keys, text, expected):
            acc.click(box)
            wait_for("the focus in the capacity box",
                     lambda: box.get_state_set().contains(acc.Atspi.StateType.FOCUSED), 5)
            desktop.xdotool("key", "--clearmodifiers", "ctrl+a", *keys)
            try:
                wait_for("%r and its results" % text,
                         lambda: acc.text(box) == text and results() == expected, 5)
            except TestFailure:
                raise TestFailure("typed %r: box %r, results %r, expected %r"
                                  % (text, acc.text(box), results(), expected))

        # Typed key by key, "16." would be tidied to "16", so the point goes in between digits.
        enter(["1", "6", "5", "Left", "period"], "16.5", ("8.25", "8.25", "8.25", "95.5"))
        enter(["1", "6", "comma", "5"], "16,5", ("???", "???", "???", "???"))
        print("%s: '16.5' gives the results for 16.5, '16,5' is no number" % LOCALE)


if __name__ == "__main__":
    raise SystemExit(ds.run(test))
