#!/usr/bin/env bash
# The window's Windows layers (the system menu's theme submenu, the keyboard hook during a real
# batch) with Qt's windows platform: under Wine that platform needs a display, here a private Xvfb
# with openbox, and a fresh Wine prefix. On Windows itself the test program runs on its own.
# WindowLayersTest.sh WIN32_WINDOW_TESTS_EXE   (exit 77: skipped, with the reason)
set -euo pipefail
exe=$1
# shellcheck source-path=SCRIPTDIR source=WineDesktop.sh
. "$(dirname "$0")/WineDesktop.sh"
wine_skip_without_desktop
# A Windows installation of its own, whose desktop belongs to this display.
wine_start_desktop
wine_fresh_prefix "$work/wine"
"$wine" "$exe"
