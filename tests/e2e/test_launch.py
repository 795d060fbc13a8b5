"""The program's launch: the switch test and the way to the main form."""
import unittest

from harness import PrefixCase

APP_CLASS = "PellorinPromoApplication"
MINOR_LINE = "Win32MinorVersion: 0"


class Launch(PrefixCase):
    """One prefix, nothing of the product installed; brought back (the
    registry included: the scaling lives there) before each case."""

    def dpi_line_expected(self, px, dpi):
        """Whether the start-up DPI setup reaches its awareness request (which
        writes the minor-version line) on this platform at this scaling, on
        the 1920x1080 test screen.

        Windows (and Wine 10) report a process that declares nothing as
        unaware: at 100 % the large screen keeps it unaware (no line); at 200 %
        the unaware view of the screen (960x540) is too small, so the setup
        makes it aware (the line). Wine 8 alone reports every process as aware,
        which takes the setup the other way at both scalings."""
        if px.default_dpi_aware():  # Wine 8 only
            return dpi == 96
        return dpi == 192

    def test_without_the_switch_the_program_ends_at_once_without_a_window(self):
        for dpi in (96, 192):
            px = self.fresh()
            px.set_dpi(dpi)
            expected = self.dpi_line_expected(px, dpi)
            for args in ([], ["-kv"], ["/kvx"], ["kv"], ["", "/kv"]):
                with self.subTest(dpi=dpi, args=args):
                    # At once, with room for a loaded machine whose 32-bit Wine
                    # runs through an emulator (a Wine start alone can take
                    # seconds there).
                    r = px.run(args, timeout=120, debug="warn+seh,trace+win")
                    self.assertEqual(r.rc, 0)
                    self.assertLess(r.elapsed, 60)
                    self.assertFalse(r.created_class(APP_CLASS), r.created_windows)
                    # The start-up DPI setup still ran: on the path that
                    # requests awareness it reports the minor version.
                    self.assertEqual(MINOR_LINE in r.debug_lines, expected, r.debug_lines)

    def test_the_switch_in_capitals_reaches_the_decision(self):
        px = self.px
        expected = self.dpi_line_expected(px, 96)
        r = px.run(["/KV"], timeout=240, debug="+pid,warn+seh,trace+win")
        self.assertEqual(r.rc, 0)
        # The decision ran (and said no: nothing is installed), after the DPI
        # setup; a run that ends there creates no window, not even the
        # application's hidden one.
        self.assertIn("limitdate", r.debug_lines)
        self.assertEqual(r.created_windows, [])
        self.assertEqual(r.debug_lines[0] == MINOR_LINE, expected, r.debug_lines)


if __name__ == "__main__":
    unittest.main()
