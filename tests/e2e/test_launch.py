"""The program's launch: the switch test and the way to the main form."""
import unittest

from harness import E2ECase

APP_CLASS = "PellorinPromoApplication"


class Launch(E2ECase):
    def test_without_the_switch_the_program_ends_at_once_without_a_window(self):
        px = self.prefix()
        for args in ([], ["-kv"], ["/kvx"], ["kv"], ["", "/kv"]):
            with self.subTest(args=args):
                r = px.run(args, timeout=30, debug="warn+seh,trace+win")
                self.assertEqual(r.rc, 0)
                self.assertLess(r.elapsed, 20)
                self.assertFalse(r.created_class(APP_CLASS), r.created_windows)
                # The start-up DPI setup still ran (it reports the minor version).
                self.assertIn("Win32MinorVersion: 0", r.debug_lines)

    def test_the_switch_in_capitals_reaches_the_main_form(self):
        px = self.prefix()
        r = px.run(["/KV"], timeout=240, debug="warn+seh,trace+win")
        self.assertEqual(r.rc, 0)
        self.assertTrue(r.created_class(APP_CLASS), r.created_windows)
        self.assertEqual(r.debug_lines[0], "Win32MinorVersion: 0")


if __name__ == "__main__":
    unittest.main()
