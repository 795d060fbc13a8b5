"""Where the end-to-end tests find things: the build, the test display, the
program's folder in a prefix, the helper programs, the statistics port.

Environment (set by CTest): PROMO_BUILD_DIR (build/windows), PROMO_TEST_STATE
(holds the Xvfb display), PROMO_SOURCE_DIR, PROMO_DEMO_STATS_HOST.
"""
import os

SOURCE_DIR = os.environ.get("PROMO_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BUILD_DIR = os.environ.get("PROMO_BUILD_DIR", os.path.join(SOURCE_DIR, "build", "windows"))
STATE_DIR = os.environ.get("PROMO_TEST_STATE", os.path.join(BUILD_DIR, "test-state"))
E2E_DIR = os.path.join(BUILD_DIR, "e2e")
TEMPLATE = os.path.join(E2E_DIR, "template-prefix")
PROGRAM_DIR = r"C:\Program Files\Norvi\PellorinPromo"

# The demo build's statistics host (127.0.0.1:<port>), chosen per build tree.
STATS_PORT = int(os.environ.get("PROMO_DEMO_STATS_HOST", "127.0.0.1:18931").rsplit(":", 1)[1])
VERSIONED_EXE = os.path.join(BUILD_DIR, "tests", "product", "product_versioned_app.exe")  # file version 7.0.0.1
URL_CAPTURE_EXE = os.path.join(BUILD_DIR, "tests", "support", "url_capture.exe")
DPI_CLIENT_EXE = os.path.join(BUILD_DIR, "tests", "e2e", "dpi_client.exe")
WINDOW_CAPTION = "FormSale"


def display():
    if os.environ.get("DISPLAY"):
        return os.environ["DISPLAY"]
    path = os.path.join(STATE_DIR, "display")
    if os.path.exists(path):
        with open(path) as f:
            return f.read().strip()
    return None
