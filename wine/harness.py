#!/usr/bin/env python3
"""Runs cross-built Windows programs under Wine on a private X display.

A WineSession owns everything it starts: an Xvfb server on a free display,
the wineserver of a throwaway prefix (made once and reused, guarded by a
lock so that only one session uses it at a time), and every Windows program
started through it. Every step is bounded by a time-out, and close() ends
what is left, by pid, whatever state the programs are in.

Message boxes are found, read and answered by box-watcher.exe (wine/
box_watcher.cpp), which runs inside the same session.

As a library:

    with WineSession(prefix="build/wine-prefix", tools="build/win64/wine") as s:
        s.install_client("build/win64/wine/mail-client.exe")
        result = s.run_scenario({
            "program": "build/win64/bulk-rule-setup.exe",
            "boxes": [{"answer": "ok"}],
        })

From the shell, one scenario given as JSON (see run_scenario for the keys):

    wine/harness.py --prefix build/wine-prefix --tools build/win64/wine \\
        --scenario scenario.json [--client stand-in.exe] [--out result.json]
"""

import argparse
import fcntl
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
WINE32_LOADER = "/usr/lib/wine/wine"

# Where the program under test starts the mail client from.
CLIENT_WINDOWS_PATH = r"C:\Program Files\Outlook Express\msimn.exe"
CLIENT_PREFIX_PATH = os.path.join("drive_c", "Program Files", "Outlook Express", "msimn.exe")

SCREEN = "1024x768x24"
READY_MARK = ".harness-ready"

# Keeps prefix creation and every program quiet: no .NET or HTML engine
# install prompts, no desktop menu entries, no debug channels.
BASE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
    "WINEARCH": "win64",
}

# A virtual desktop of the screen's size: Wine then draws window frames and
# captions itself (there is no window manager on the Xvfb display), and every
# window of the session lives on one desktop that a screenshot shows whole.
DESKTOP_REG = """REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"
"""


class HarnessError(Exception):
    """A step of the harness itself failed (not the program under test)."""


def log(message):
    print("[wine-harness] " + message, file=sys.stderr, flush=True)


def kill_group(process, grace=2.0):
    """Ends a Popen'd process and its process group (it was started in a
    session of its own), politely first."""
    if process is None or process.poll() is not None:
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
        except (ProcessLookupError, PermissionError):
            try:
                process.send_signal(sig)
            except ProcessLookupError:
                pass
        try:
            process.wait(timeout=grace)
            return
        except subprocess.TimeoutExpired:
            continue


def run_bounded(argv, env, timeout):
    """Runs a command to its end within the time-out and returns
    (status, stdout, stderr); status is None when it was ended at the
    time-out. Output goes through files, never pipes: Wine programs hand
    their standard handles on to the session's service processes, which
    outlive them, so a pipe would not see its end until the session ends."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                   start_new_session=True)
        try:
            status = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_group(process)
            status = None
        out.seek(0)
        err.seek(0)
        return status, out.read().decode("latin-1"), err.read().decode("latin-1")


def wine32_usable():
    """Whether 32-bit Windows programs can run: the 32-bit loader must be
    installed and the kernel must be able to execute it. Returns
    (usable, reason)."""
    if not os.path.exists(WINE32_LOADER):
        return False, "wine32 is not installed (%s missing)" % WINE32_LOADER
    try:
        done = subprocess.run([WINE32_LOADER, "--version"], capture_output=True, timeout=20)
    except OSError as error:
        return False, "the 32-bit Wine loader cannot be executed here: %s" % error
    except subprocess.TimeoutExpired:
        return False, "the 32-bit Wine loader did not answer --version"
    if done.returncode != 0:
        return False, "the 32-bit Wine loader failed: %s" % done.stderr.decode(errors="replace").strip()
    return True, ""


class WineSession:
    """One headless Wine session: display, wineserver and programs."""

    def __init__(self, prefix, tools, work_dir=None, extra_env=None, screen=SCREEN):
        self.prefix = os.path.abspath(prefix)
        self.tools = os.path.abspath(tools)
        self.screen = screen
        self.extra_env = dict(extra_env or {})
        self.work_dir = os.path.abspath(work_dir) if work_dir else tempfile.mkdtemp(prefix="wine-harness-")
        os.makedirs(self.work_dir, exist_ok=True)
        self.display = None
        self.timings = {}
        self._lock = None
        self._xvfb = None
        self._server = None
        self._programs = []
        self._count = 0

    # -- life cycle ---------------------------------------------------------

    def __enter__(self):
        self.open()
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def open(self):
        try:
            self._take_lock()
            self._start_display()
            self._ensure_prefix()
            self.start_server()
        except BaseException:
            self.close()
            raise

    def close(self):
        """Ends every process of the session, by pid, and frees the prefix."""
        for program in self._programs:
            kill_group(program, grace=1.0)
        self._programs = []
        self.stop_server()
        if self._xvfb is not None:
            kill_group(self._xvfb)
            self._xvfb = None
        if self._lock is not None:
            fcntl.flock(self._lock, fcntl.LOCK_UN)
            self._lock.close()
            self._lock = None

    def _take_lock(self, timeout=600):
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        self._lock = open(self.prefix + ".lock", "w")
        deadline = time.monotonic() + timeout
        while True:
            try:
                fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                return
            except BlockingIOError:
                if time.monotonic() > deadline:
                    raise HarnessError("prefix %s stayed locked by another session" % self.prefix)
                time.sleep(0.5)

    def _start_display(self, timeout=20):
        """Starts Xvfb on a display it picks itself (-displayfd)."""
        if shutil.which("Xvfb") is None:
            raise HarnessError("Xvfb is not installed")
        read_end, write_end = os.pipe()
        with open(os.path.join(self.work_dir, "xvfb.log"), "w") as err:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err,
                start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self._xvfb.poll() is not None:
                    raise HarnessError("Xvfb did not start (see %s/xvfb.log)" % self.work_dir)
                ready, _, _ = select.select([read_end], [], [], left)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        raise HarnessError("Xvfb closed its display pipe without a number")
                    number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        log("Xvfb pid %d on display %s" % (self._xvfb.pid, self.display))

    def env(self, extra=None):
        env = dict(os.environ)
        env.update(BASE_ENV)
        env["WINEPREFIX"] = self.prefix
        env["DISPLAY"] = self.display or ""
        env.update(self.extra_env)
        env.update(extra or {})
        return env

    def _run_tool(self, argv, timeout, what):
        status, _, err = run_bounded(argv, self.env(), timeout)
        if status is None:
            raise HarnessError("%s took longer than %d s" % (what, timeout))
        if status != 0:
            raise HarnessError("%s failed (status %d): %s" % (what, status, err[-2000:]))

    def _ensure_prefix(self, timeout=180):
        """Makes the prefix unless a finished one is there. A half-made prefix
        (from a session that was killed) is made again."""
        if os.path.exists(os.path.join(self.prefix, READY_MARK)):
            return
        started = time.monotonic()
        shutil.rmtree(self.prefix, ignore_errors=True)
        self._kill_stale_server(self.prefix)
        log("creating Wine prefix %s" % self.prefix)
        self._run_tool([WINE64, "wineboot", "-i"], timeout, "wineboot -i")
        reg = os.path.join(self.prefix, "drive_c", "harness-desktop.reg")
        with open(reg, "w", newline="\r\n") as out:
            out.write(DESKTOP_REG)
        self._run_tool([WINE64, "regedit", "/S", r"C:\harness-desktop.reg"], 60, "regedit")
        # Lets the registry reach the disk before the prefix counts as made.
        self._run_tool([WINESERVER, "-k"], 30, "wineserver -k")
        self._run_tool([WINESERVER, "-w"], 30, "wineserver -w")
        open(os.path.join(self.prefix, READY_MARK), "w").close()
        self.timings["prefix_s"] = round(time.monotonic() - started, 1)
        log("prefix made in %.1f s" % self.timings["prefix_s"])

    def _kill_stale_server(self, prefix):
        """A wineserver left over for this prefix (from a session killed
        before its clean-up) would serve the new session on the old display;
        ask it to end. Only this prefix's server is affected."""
        env = self.env()
        env["WINEPREFIX"] = prefix
        run_bounded([WINESERVER, "-k"], env, 15)

    def start_server(self, timeout=15):
        """Starts the prefix's wineserver in the foreground (so its pid is
        ours), and waits until the session answers a first program."""
        self._kill_stale_server(self.prefix)
        started = time.monotonic()
        with open(os.path.join(self.work_dir, "wineserver.log"), "a") as err:
            self._server = subprocess.Popen([WINESERVER, "--foreground", "--persistent"], env=self.env(),
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err,
                                            start_new_session=True)
        done = self.run_tool("box-watcher.exe", ["--list"], timeout=timeout)
        if done["status"] != 0:
            raise HarnessError("the Wine session did not come up: %s" % done["stderr"][-2000:])
        self.timings["server_start_s"] = round(time.monotonic() - started, 2)

    def stop_server(self, timeout=15):
        """Ends every Windows process of the prefix and its wineserver."""
        if self._server is None:
            return
        run_bounded([WINESERVER, "-k"], self.env(), timeout)
        try:
            self._server.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_group(self._server)
        self._server = None
        self._kill_leftovers()

    def _kill_leftovers(self):
        """Kills, by pid, any process still running with this session's
        prefix and display in its environment (Windows processes whose
        server went away normally end by themselves)."""
        marks = [("WINEPREFIX=" + self.prefix).encode(), ("DISPLAY=" + (self.display or "")).encode()]
        own = os.getpid()
        for name in os.listdir("/proc"):
            if not name.isdigit() or int(name) == own:
                continue
            try:
                with open("/proc/%s/environ" % name, "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if all(mark in environ for mark in marks):
                try:
                    os.kill(int(name), signal.SIGKILL)
                    log("killed leftover pid %s" % name)
                except (ProcessLookupError, PermissionError):
                    pass

    def restart(self):
        """A fresh Windows session on the same display and prefix: nothing of
        the previous scenario survives."""
        for program in self._programs:
            kill_group(program, grace=1.0)
        self._programs = []
        self.stop_server()
        self.start_server()

    # -- programs -----------------------------------------------------------

    def windows_path(self, unix_path):
        """The path by which Windows programs of the session see a file."""
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")

    def prefix_path(self, windows_path):
        """The file inside the prefix for a C: path."""
        if windows_path[:3].upper() != "C:\\":
            raise ValueError("not a C: path: %s" % windows_path)
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def start(self, exe, args=(), env=None, name=None):
        """Starts a Windows program; returns its Popen (output to files in
        the work folder)."""
        self._count += 1
        base = "%02d-%s" % (self._count, name or os.path.splitext(os.path.basename(exe))[0])
        out = open(os.path.join(self.work_dir, base + ".out"), "wb")
        err = open(os.path.join(self.work_dir, base + ".err"), "wb")
        process = subprocess.Popen([WINE64, exe] + list(args), env=self.env(env), stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=err, start_new_session=True)
        process.output_files = (out.name, err.name)
        out.close()
        err.close()
        self._programs.append(process)
        return process

    def wait(self, process, timeout):
        """Exit status of a started program, or None if it is still running
        after the time-out (it is left running; close() ends it)."""
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def run_tool(self, tool, args, timeout, env=None):
        """Runs one of the harness's own Windows tools to its end."""
        exe = os.path.join(self.tools, tool)
        if not os.path.exists(exe):
            raise HarnessError("tool not built: %s" % exe)
        status, out, err = run_bounded([WINE64, exe] + list(args), self.env(env), timeout)
        if status is None:
            raise HarnessError("%s %s took longer than %d s" % (tool, " ".join(args), timeout))
        return {"status": status, "stdout": out, "stderr": err}

    def _watch(self, args, timeout_s):
        done = self.run_tool("box-watcher.exe", args, timeout=timeout_s + 20)
        lines = [line for line in done["stdout"].splitlines() if line.startswith("{")]
        if not lines:
            raise HarnessError("box-watcher printed no result (status %d): %s" % (done["status"], done["stderr"]))
        result = json.loads(lines[-1])
        result["status"] = done["status"]
        return result

    def watch_box(self, answer="ok", timeout_s=10.0, process=None, caption=None, gone_s=3.0):
        """Waits for a message box of another process, answers it and returns
        its description (see box_watcher.cpp); "found" is false when none
        came up in time."""
        args = ["--timeout-ms", str(int(timeout_s * 1000)), "--answer", answer, "--gone-ms", str(int(gone_s * 1000))]
        if process:
            args += ["--process", process]
        if caption is not None:
            args += ["--caption", caption]
        return self._watch(args, timeout_s + gone_s)

    def wait_window(self, window_class, title=None, timeout_s=10.0):
        args = ["--window", window_class, "--timeout-ms", str(int(timeout_s * 1000))]
        if title is not None:
            args += ["--title", title]
        return self._watch(args, timeout_s)

    def list_windows(self):
        return self._watch(["--list"], 5)

    def screenshot(self, path, timeout=20):
        """PNG of the whole Xvfb screen."""
        path = os.path.abspath(path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        try:
            if shutil.which("import"):
                subprocess.run(["import", "-display", self.display, "-window", "root", path],
                               capture_output=True, timeout=timeout, check=True)
            elif shutil.which("xwd") and shutil.which("convert"):
                dump = subprocess.run(["xwd", "-display", self.display, "-root", "-silent"],
                                      capture_output=True, timeout=timeout, check=True)
                subprocess.run(["convert", "xwd:-", path], input=dump.stdout, capture_output=True,
                               timeout=timeout, check=True)
            else:
                raise HarnessError("no screenshot tool (ImageMagick import, or xwd and convert)")
        except (subprocess.CalledProcessError, subprocess.TimeoutExpired) as error:
            raise HarnessError("screenshot failed: %s" % error)
        return path

    # -- the mail client stand-in -------------------------------------------

    def install_client(self, exe):
        """Puts a program where the program under test starts the client."""
        target = os.path.join(self.prefix, CLIENT_PREFIX_PATH)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(exe, target)
        return target

    def uninstall_client(self):
        target = os.path.join(self.prefix, CLIENT_PREFIX_PATH)
        if os.path.exists(target):
            os.remove(target)

    # -- scenarios ----------------------------------------------------------

    def run_scenario(self, scenario):
        """Runs one program from a fresh Windows session and answers its
        message boxes. Keys of the scenario:

          program        the .exe under test (required)
          args           its arguments (default none)
          env            environment for every Windows process of the
                         scenario, so also for a client the program starts
          client         .exe to install as the mail client; "none" removes
                         an installed one; absent leaves the prefix as it is
          start_client   start the installed client before the program
          client_args    its arguments then (default none)
          client_window  class to wait for after starting the client
                         (default "Outlook Express Browser Class")
          client_ready_s how long to wait for it (default 20)
          boxes          list of {"answer": "ok"|"cancel"|"close"|"none",
                         "timeout_s": 30, "screenshot": "file.png",
                         "settle_s": 0.5} answered in turn; a screenshot is
                         taken once the box is found, settle_s after it
          exit_timeout_s how long the program may take to end after its last
                         box (default 20)
          files          C: paths of files to read back afterwards

        Returns a dict: boxes (the watcher's description of each box, in
        order; "found" false for one that did not come up), exit_status
        (None if the program did not end; it is then killed), stray_box (a
        box still up when the program should have ended, else None),
        windows (the visible windows at the end), files (their contents or
        None), elapsed_s, output (paths of the program's stdout and stderr).
        """
        restarted = time.monotonic()
        self.restart()
        restart_s = time.monotonic() - restarted
        env = dict(scenario.get("env", {}))
        if "client" in scenario:
            if scenario["client"] in (None, "none"):
                self.uninstall_client()
            else:
                self.install_client(scenario["client"])
        for path in scenario.get("files", []):
            try:
                os.remove(self.prefix_path(path))
            except FileNotFoundError:
                pass

        result = {"boxes": [], "exit_status": None, "stray_box": None, "files": {}}
        started = time.monotonic()
        if scenario.get("start_client"):
            client = self.start(os.path.join(self.prefix, CLIENT_PREFIX_PATH), scenario.get("client_args", ()),
                                env=env, name="client")
            ready = self.wait_window(scenario.get("client_window", "Outlook Express Browser Class"),
                                     timeout_s=scenario.get("client_ready_s", 20.0))
            result["client_ready"] = ready
            if not ready["found"]:
                raise HarnessError("the client's main window did not come up (client status %s)" % client.poll())

        program = scenario["program"]
        process = self.start(program, scenario.get("args", ()), env=env)
        result["output"] = process.output_files
        image = os.path.basename(program)
        for box in scenario.get("boxes", []):
            answer = box.get("answer", "ok")
            shot = box.get("screenshot")
            watched = self.watch_box("none" if shot else answer, box.get("timeout_s", 30.0), process=image)
            if watched["found"] and shot:
                time.sleep(box.get("settle_s", 0.5))
                result.setdefault("screenshots", []).append(self.screenshot(shot))
                if answer != "none":
                    watched = self.watch_box(answer, 5.0, process=image)
            result["boxes"].append(watched)
            if not watched["found"] or watched["status"] != 0:
                break

        result["exit_status"] = self.wait(process, scenario.get("exit_timeout_s", 20.0))
        if result["exit_status"] is None:
            stray = self.watch_box("none", 1.0, process=image)
            result["stray_box"] = stray if stray["found"] else None
        result["windows"] = self.list_windows()["windows"]
        if result["exit_status"] is None:
            kill_group(process)
        for path in scenario.get("files", []):
            try:
                with open(self.prefix_path(path), "rb") as f:
                    result["files"][path] = f.read().decode("latin-1")
            except FileNotFoundError:
                result["files"][path] = None
        result["elapsed_s"] = round(time.monotonic() - started, 2)
        log("%s: %.1f s (fresh session %.1f s), exit status %s" % (
            os.path.basename(program), result["elapsed_s"], restart_s, result["exit_status"]))
        return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--prefix", required=True, help="the Wine prefix to make or reuse")
    parser.add_argument("--tools", required=True, help="folder holding box-watcher.exe (64-bit build)")
    parser.add_argument("--scenario", required=True, help="scenario as a JSON file")
    parser.add_argument("--client", help="install this .exe as the mail client first")
    parser.add_argument("--work", help="folder for logs (default: a new temporary one)")
    parser.add_argument("--out", help="write the result as JSON here (default: stdout)")
    options = parser.parse_args()
    with open(options.scenario) as f:
        scenario = json.load(f)
    if options.client:
        scenario["client"] = options.client
    with WineSession(options.prefix, options.tools, work_dir=options.work) as session:
        result = session.run_scenario(scenario)
        result["timings"] = session.timings
    text = json.dumps(result, indent=2)
    if options.out:
        with open(options.out, "w") as f:
            f.write(text + "\n")
    else:
        print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
