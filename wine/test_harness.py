#!/usr/bin/env python3
"""Checks of the Wine harness itself, with input-probe.exe as the program
under test: exit statuses, reading and answering message boxes, the box's
owner, launching the installed client, screenshots, and that nothing of a
session outlives it.

    wine/test_harness.py --tools build/win64/wine --prefix build/wine-prefix
"""

import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

OPTIONS = None

MB_OK = 0
MB_OKCANCEL = 1


def session_pids(prefix, display):
    marks = [("WINEPREFIX=" + prefix).encode(), ("DISPLAY=" + display).encode()]
    pids = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % name, "rb") as f:
                environ = f.read().split(b"\0")
            with open("/proc/%s/stat" % name) as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if state != "Z" and all(mark in environ for mark in marks):
            pids.append(int(name))
    return pids


class HarnessTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = os.path.join(OPTIONS.work, "harness-test")
        cls.session = harness.WineSession(OPTIONS.prefix, OPTIONS.tools, work_dir=cls.work)
        cls.session.open()
        cls.probe = os.path.join(OPTIONS.tools, "input-probe.exe")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def run_probe(self, args, **scenario):
        scenario.update({"program": self.probe, "args": args})
        return self.session.run_scenario(scenario)

    def test_exit_status_is_the_programs(self):
        result = self.run_probe(["exit", "7"])
        self.assertEqual(result["exit_status"], 7)
        self.assertEqual(result["boxes"], [])
        self.assertIsNone(result["stray_box"])

    def test_box_is_read_and_answered_ok(self):
        text = 'First line\n\nSecond \'line\' "quoted" \\ back'
        result = self.run_probe(["box", str(MB_OKCANCEL), "Probe  - Caption", text], boxes=[{"answer": "ok"}])
        box = result["boxes"][0]
        self.assertTrue(box["found"])
        self.assertEqual(box["text"], text)
        self.assertEqual(box["caption"], "Probe  - Caption")
        self.assertEqual(box["buttons"], ["ok", "cancel"])
        self.assertEqual(box["process"].lower(), "input-probe.exe")
        self.assertIsNone(box["owner"])
        self.assertFalse(box["icon"])
        self.assertTrue(box["foreground"])
        self.assertTrue(box["closed"])
        self.assertEqual(result["exit_status"], 1)  # IDOK

    def test_cancel_answers_cancel(self):
        result = self.run_probe(["box", str(MB_OKCANCEL), "c", "t"], boxes=[{"answer": "cancel"}])
        self.assertTrue(result["boxes"][0]["closed"])
        self.assertEqual(result["exit_status"], 2)  # IDCANCEL

    def test_missing_button_leaves_the_program_stuck_and_it_is_ended(self):
        result = self.run_probe(["box", str(MB_OK), "c", "only OK"], boxes=[{"answer": "cancel"}],
                                exit_timeout_s=2)
        box = result["boxes"][0]
        self.assertEqual(box["buttons"], ["ok"])
        self.assertEqual(box["status"], 3)
        self.assertFalse(box["answered"])
        self.assertIsNone(result["exit_status"])
        self.assertEqual(result["stray_box"]["text"], "only OK")

    def test_no_box_within_the_time_out(self):
        result = self.run_probe(["exit", "0"], boxes=[{"answer": "ok", "timeout_s": 1}])
        self.assertFalse(result["boxes"][0]["found"])
        self.assertEqual(result["exit_status"], 0)

    def test_box_owner_in_another_process(self):
        log = os.path.join(self.work, "owner-target.log")
        self.session.install_client(self.probe)
        result = self.run_probe(["box", str(MB_OK), "", "owned", "ProbeTarget"], start_client=True,
                                client_args=["target", self.session.windows_path(log)],
                                client_window="ProbeTarget", boxes=[{"answer": "ok"}])
        box = result["boxes"][0]
        self.assertEqual(box["owner_class"], "ProbeTarget")
        self.assertEqual(box["owner_title"], "Probe Target")
        self.assertEqual(box["caption"], "")
        self.assertEqual(result["exit_status"], 1)

    def test_launch_of_the_installed_client(self):
        log = os.path.join(self.work, "launch-target.log")
        if os.path.exists(log):
            os.remove(log)
        command = '"%s" target %s' % (harness.CLIENT_WINDOWS_PATH, self.session.windows_path(log))
        result = self.run_probe(["launch", command], client=self.probe)
        self.assertEqual(result["exit_status"], 0)
        window = self.session.wait_window("ProbeTarget", timeout_s=10)
        self.assertTrue(window["found"])
        self.assertEqual(window["process"].lower(), "msimn.exe")

    def test_keys_reach_another_process(self):
        log = os.path.join(self.work, "keys-target.log")
        if os.path.exists(log):
            os.remove(log)
        self.session.install_client(self.probe)
        result = self.run_probe(["drive"], start_client=True, client_window="ProbeTarget",
                                client_args=["target", self.session.windows_path(log)])
        self.assertEqual(result["exit_status"], 0)
        with open(log) as f:
            received = [line.split()[1:3] for line in f]
        keys = [entry for entry in received if entry[0].endswith("KEYDOWN") or entry[0].endswith("KEYUP")]
        self.assertEqual(keys, [["WM_KEYDOWN", "wparam=0x41"], ["WM_KEYUP", "wparam=0x41"],
                                ["WM_KEYDOWN", "wparam=0x42"], ["WM_KEYUP", "wparam=0x42"],
                                ["WM_SYSKEYDOWN", "wparam=0x12"], ["WM_SYSKEYDOWN", "wparam=0x54"],
                                ["WM_SYSKEYUP", "wparam=0x54"], ["WM_KEYUP", "wparam=0x12"]])
        self.assertIn(["WM_LBUTTONDOWN", "wparam=0x1"], received)

    def test_screenshot_of_the_box(self):
        shot = os.path.join(self.work, "box.png")
        if os.path.exists(shot):
            os.remove(shot)
        result = self.run_probe(["box", str(MB_OK), "Shot", "on screen"],
                                boxes=[{"answer": "ok", "screenshot": shot}])
        self.assertEqual(result["exit_status"], 1)
        with open(shot, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_zz_nothing_outlives_the_session(self):
        # Runs last: closes the session with a program stuck in a message box
        # and checks that none of the session's processes is left.
        session = self.session
        session.restart()
        session.start(self.probe, ["box", str(MB_OK), "stuck", "never answered"])
        self.assertTrue(session.watch_box("none", 10, process="input-probe.exe")["found"])
        display = session.display
        xvfb = session._xvfb
        self.assertTrue(session_pids(session.prefix, display))
        session.close()
        self.assertEqual(session_pids(session.prefix, display), [])
        self.assertIsNotNone(xvfb.poll())


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument("--tools", required=True, help="64-bit build folder of the Wine tools")
    parser.add_argument("--prefix", required=True, help="Wine prefix to make or reuse")
    parser.add_argument("--work", help="folder for logs and screenshots (default: next to the prefix)")
    OPTIONS, rest = parser.parse_known_args()
    OPTIONS.prefix = os.path.abspath(OPTIONS.prefix)
    OPTIONS.work = os.path.abspath(OPTIONS.work or OPTIONS.prefix + "-work")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
