"""Lines typed into a Windows console whose code page is Chinese (936), as a user types them into
`miralto-cli encode`, then Ctrl-Z, Enter: the program reads them as Unicode, so that degree signs,
Chinese and a character beyond the BMP arrive whole. Wine gives the program a console on a
pseudo-terminal; cmd's chcp sets its code page.

Usage: console_input.py PROGRAM WORKDIR EMULATOR...
"""
import os
import pty
import select
import shutil
import sys
import time
import tty

program, workdir, *emulator = sys.argv[1:]
work = os.path.join(workdir, "console_input")
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
# cmd's command line is easiest without blanks in it: the program runs from the work folder.
shutil.copy(program, os.path.join(work, "miralto-cli.exe"))


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


output = os.path.join(work, "typed.txt")
command = (f"chcp 936 & {windows_path(work)}\\miralto-cli.exe encode --correction 0,0 "
           f"--comment-delimiter # > {windows_path(output)}")
lines = ["113°17′20.24″ 23°14′10.52″ #广州塔", "113.288959 23.236255 #\U00020000"]
expected = "8i4k7zwpg #广州塔\n8i4k7zwpg #\U00020000\n"

# Wine reads the terminal in the encoding of the locale: UTF-8.
environment = dict(os.environ, LC_ALL="C.UTF-8")
pid, terminal = pty.fork()
if pid == 0:
    # Raw from the start, as Wine's console sets it: a line typed ahead waits whole for the read,
    # and Ctrl-Z reaches the program rather than stopping it.
    tty.setraw(0)
    os.execvpe(emulator[0], emulator + ["cmd", "/c", command], environment)

shown = b""
status = None
deadline = time.monotonic() + 120  # a bound on a hung program, not a wait for it


def wait_for(done):
    """Keeps what the console shows until done() holds or the program ends; done() at the end."""
    global shown, status
    while not done() and status is None and time.monotonic() < deadline:
        ready, _, _ = select.select([terminal], [], [], 0.2)
        if ready:
            try:
                shown += os.read(terminal, 4096)
            except OSError:  # the terminal is closed
                pass
        ended, code = os.waitpid(pid, os.WNOHANG)
        if ended:
            status = os.waitstatus_to_exitcode(code)
    return done()


failures = []
if not wait_for(lambda: "Active code page: 936".encode() in shown):
    failures.append("chcp did not set the code page")
for line in lines:
    os.write(terminal, line.encode() + b"\r")
os.write(terminal, b"\x1a\r")
if not wait_for(lambda: status is not None):
    os.kill(pid, 9)
    os.waitpid(pid, 0)
    failures.append("the program did not end at Ctrl-Z")
elif status != 0:
    failures.append(f"exit status {status}")
got = open(output, encoding="utf-8", errors="replace").read() if os.path.exists(output) else ""
if got != expected:
    failures.append(f"wrote {got!r}, expected {expected!r}")
if failures:
    print("\n".join(failures), f"\nthe console showed: {shown!r}", file=sys.stderr)
    sys.exit(1)
shutil.rmtree(work)
print("typed into a console of code page 936: converted")
