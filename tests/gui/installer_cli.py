#!/usr/bin/env python3
"""An installer's command line as a user runs it, without a display.

usage: installer_cli.py SFXPACK SFXTOOL

The silent pass end to end (files, registry store, WriteToFile:, Run:, the
message on stderr, status 0; one failing task gives status 1 and names it),
every option's output and status in one table, and the text mode on a
pseudo-terminal: the read-me shows, Enter runs the pass, Ctrl+C cancels
with nothing done. Every wait has a deadline.
"""
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SFXPACK, SFXTOOL = sys.argv[1:3]
DEADLINE = 60  # seconds for any one run; a shared CI machine may be slow
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def run(args, env, stdin=subprocess.DEVNULL, cwd=None):
    return subprocess.run(args, env=env, stdin=stdin, cwd=cwd, capture_output=True, timeout=DEADLINE)


def wait_for(condition, what):
    end = time.monotonic() + DEADLINE
    while not condition():
        if time.monotonic() > end:
            check(False, "timed out waiting for " + what)
            return False
        time.sleep(0.05)
    return True


work = tempfile.mkdtemp(prefix="sfxcli-")
os.chdir(work)


def write(name, text):
    with open(name, "w", newline="") as f:
        f.write(text)


def read(name):
    with open(name, "rb") as f:
        return f.read()


def fresh_home(name):
    home = os.path.join(work, name)
    os.makedirs(os.path.join(home, "Desktop"))
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME")}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "data"), LC_ALL="C")
    return home, env


write("myapp", "#!/bin/sh\necho my app\n")
write("README.txt", "Read me first.\n")
TASKS = ("ExtractAll: DSKDIR\\MyApp\r\n"
         "WriteToFile: DSKDIR\\MyApp\\installed.txt Text: yes Mode: CREATE\r\n"
         "SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Path Value: ~/Desktop/MyApp\r\n"
         "Run: WINDIR\\touch Param: DSKDIR/ran.txt\r\n"
         "MessageBox: My App is installed. Icon: MB_ICONASTERISK please\r\n")
SCRIPT = ("[Setup]\r\nWindowTitle=My App Setup\r\nTitle=My App 1.0\r\n"
          "Readme=This installs My App.\\nPress Install to go on.\r\nOK=&Install\r\n"
          "[Files]\r\nmyapp\r\nREADME.txt\r\n[Tasks]\r\n")
write("good.ini", SCRIPT + TASKS)
# The folder is missing and nothing creates it.
write("bad.ini", SCRIPT + TASKS.replace("MessageBox:", "WriteToFile: DSKDIR\\Nowhere\\x.txt Text: no\r\nMessageBox:"))
for name in ("good", "bad"):
    built = run([SFXTOOL, "build", name + ".ini", "--stub", SFXPACK, "-o", name + "-setup"], os.environ)
    assert built.returncode == 0, built.stderr
good, bad = os.path.join(work, "good-setup"), os.path.join(work, "bad-setup")


def installed(home):
    """What an install left behind, for comparing."""
    desk = os.path.join(home, "Desktop")
    files = {}
    for root, _, names in os.walk(desk):
        for n in names:
            files[os.path.relpath(os.path.join(root, n), desk)] = read(os.path.join(root, n))
    hive = os.path.join(home, "data", "sfxpack", "registry", "HKEY_CURRENT_USER.reg")
    return files, read(hive) if os.path.exists(hive) else b""


def check_installed(home, what):
    wait_for(lambda: os.path.exists(os.path.join(home, "Desktop", "ran.txt")), what + ": Run: started touch")
    files, hive = installed(home)
    check(files.get("MyApp/myapp") == read("myapp") and files.get("MyApp/README.txt") == read("README.txt"),
          what + ": ExtractAll")
    check(files.get("MyApp/installed.txt") == b"yes\r\n", what + ": WriteToFile")
    check(b'[HKEY_CURRENT_USER\\Software\\My App]\n"Path"="~/Desktop/MyApp"' in hive, what + ": registry store")


# --silent: every task, the message and one line per task on stderr, status 0.
home, env = fresh_home("silent")
r = run([good, "--silent"], env)
err = r.stderr.decode()
check(r.returncode == 0, "silent: status %d, stderr %r" % (r.returncode, err))
check(r.stdout == b"", "silent: stdout %r" % r.stdout)
check("[1/5] ExtractAll: DSKDIR\\MyApp\n" in err and "[5/5] MessageBox: My App is installed.\n" in err,
      "silent: progress lines in %r" % err)
check("My App Setup: My App is installed.\n" in err, "silent: the message in %r" % err)
check_installed(home, "silent")

# One failing task: status 1, a line that names it; the rest is still done.
home, env = fresh_home("failing")
r = run([bad, "--silent"], env)
err = r.stderr.decode()
check(r.returncode == 1, "failing: status %d" % r.returncode)
check(re.search(r"^bad-setup: failed: WriteToFile: DSKDIR\\Nowhere\\x.txt: cannot open .*Nowhere.x.txt$", err, re.M),
      "failing: no line names the task in %r" % err)
check(err.count("failed:") == 1, "failing: one failure line in %r" % err)
check_installed(home, "failing")

# Every option: output and status, and where an sfxtool command does the
# same, the same output and status as that command.
damaged = os.path.join(work, "damaged-setup")
shutil.copy(good, damaged)
with open(damaged, "r+b") as f:  # no stub-end marker where the stub ends
    f.seek(os.path.getsize(SFXPACK))
    f.write(b"\0\0\0\0")
plain = os.path.join(work, "sfxpack")
shutil.copy(SFXPACK, plain)
home, env = fresh_home("options")
os.mkdir("out-sfxtool")
USAGE = "usage: good-setup [--silent | --extract DIR | --list | --verify | --script | --help | --version] [FILE]\n"
# args, status, stdout (exact, regex, or the same sfxtool command), stderr (regex)
table = [
    ([good, "--help"], 0, re.compile(re.escape(USAGE) + ".*--silent.*--extract DIR.*", re.S), r""),
    ([good, "--version"], 0, re.compile(r"sfxpack \d+\.\d+\S*\nCompiled : .+\n"), r""),
    ([plain, "--version"], 0, re.compile(r"sfxpack \d+\.\d+\S*\n"), r""),
    ([good, "--list"], 0, ["list", good], r""),
    ([good, "--verify"], 0, ["verify", good], r""),
    ([good, "--script"], 0, (SCRIPT + TASKS).encode(), r""),
    ([good, "--extract", "out/new"], 2, b"", r"^good-setup: cannot create out/new\n$"),
    ([good, "--extract", "out"], 0, b"", r"^2 of 2 files extracted to out\n$"),
    ([damaged, "--list"], 1, ["list", damaged], r"^damaged-setup: .*damaged-setup: .+\n$"),
    ([damaged, "--verify"], 1, ["verify", damaged], r"^damaged-setup: .*damaged-setup: .+\n$"),
    ([plain, "--list"], 1, ["list", plain], r"^sfxpack: .*sfxpack: .+\n$"),
    ([plain, "--silent"], 1, b"", r"^sfxpack: .*sfxpack has no package appended: nothing to install\n$"),
    ([good, "--bogus"], 2, b"", "^good-setup: unknown option --bogus\n" + re.escape(USAGE) + "$"),
    ([good, "--extract"], 2, b"", "^good-setup: --extract needs a folder\n" + re.escape(USAGE) + "$"),
    ([good, "--list", "--verify"], 2, b"", "^good-setup: one option at a time\n" + re.escape(USAGE) + "$"),
    ([good, "--silent", "a.ini"], 2, b"", "^good-setup: FILE is for the editor, without options\n"),
    ([good, "a.ini"], 2, b"", r"^good-setup: an installer opens no FILE\n$"),
    ([plain, "/"], 2, b"", r"^sfxpack: cannot read /\n$"),
    # Neither a display nor a terminal: one line that names --silent.
    ([good], 1, b"", r"^good-setup: no X display \(DISPLAY is not set\) and no terminal; good-setup --silent installs"
                     r" without either\n$"),
]
for args, status, out, err_pattern in table:
    r = run(args, env)
    what = " ".join(os.path.basename(a) for a in args)
    check(r.returncode == status, "%s: status %d, not %d (stderr %r)" % (what, r.returncode, status, r.stderr))
    check(re.search(err_pattern, r.stderr.decode(), re.S), "%s: stderr %r" % (what, r.stderr))
    if isinstance(out, list):
        tool = run([SFXTOOL] + out, env)
        check(tool.returncode == status, "%s: sfxtool %s ends with %d" % (what, out[0], tool.returncode))
        check(r.stdout == tool.stdout, "%s: stdout %r, sfxtool %r" % (what, r.stdout, tool.stdout))
    elif isinstance(out, bytes):
        check(r.stdout == out, "%s: stdout %r" % (what, r.stdout))
    else:
        check(out.fullmatch(r.stdout.decode()), "%s: stdout %r" % (what, r.stdout))
check(sorted(os.listdir("out")) == ["README.txt", "myapp"] and read("out/myapp") == read("myapp"),
      "--extract: files in out/")
check(not os.path.exists(os.path.join(home, "Desktop", "MyApp")), "--extract ran a task")


def on_terminal(installer, env, keys):
    """Runs installer on a pseudo-terminal; keys are (text to wait for,
    bytes to type) in turn. Returns what it showed and its wait status."""
    pid, fd = pty.fork()
    if pid == 0:
        os.execve(installer, [installer], env)
    shown = b""
    end = time.monotonic() + DEADLINE
    pending = list(keys)
    # Until the child has closed the terminal (a read fails or gives
    # nothing), so the last thing it wrote is read too.
    while time.monotonic() < end:
        ready, _, _ = select.select([fd], [], [], 0.1)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                break
            shown += chunk
        if pending and pending[0][0].encode() in shown:
            os.write(fd, pending.pop(0)[1])
    else:
        os.kill(pid, signal.SIGKILL)
        check(False, "text mode: timed out; it showed %r" % shown)
    _, status = os.waitpid(pid, 0)
    os.close(fd)
    return shown.decode(errors="replace").replace("\r\n", "\n"), status


# Text mode: the screen, Enter runs the pass, the message box waits for Enter.
home, env = fresh_home("text")
shown, status = on_terminal(good, env, [("or Ctrl+C to cancel", b"\r"), ("Press Enter for OK", b"\r")])
check(os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0, "text: wait status %r, showed %r" % (status, shown))
check("My App Setup\n============\n   My App 1.0\n\nThis installs My App.\nPress Install to go on.\n" in shown,
      "text: the screen in %r" % shown)
check("Press Enter to Install, or Ctrl+C to cancel" in shown, "text: the prompt in %r" % shown)
check("-- My App Setup --\nMy App is installed.\n" in shown and "] 100%" in shown, "text: box and bar in %r" % shown)
check_installed(home, "text")

# Ctrl+C at the prompt: the installer ends and nothing is done.
home, env = fresh_home("cancel")
shown, status = on_terminal(good, env, [("or Ctrl+C to cancel", b"\x03")])
check(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGINT, "cancel: wait status %r" % status)
check(installed(home) == ({}, b""), "cancel: something was done: %r" % (installed(home),))
# The end of the input cancels too, with status 1.
home, env = fresh_home("eof")
shown, status = on_terminal(good, env, [("or Ctrl+C to cancel", b"\x04")])
check(os.WIFEXITED(status) and os.WEXITSTATUS(status) == 1, "end of input: wait status %r" % status)
check(installed(home) == ({}, b""), "end of input: something was done")

shutil.rmtree(work, ignore_errors=True)
if failures:
    sys.exit("%d check(s) failed" % len(failures))
print("all installer command-line checks passed")
