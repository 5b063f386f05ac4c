#!/usr/bin/env bash
# Yes in the update check, when a newer version exists, opens the program's home page.
exec bash "$(dirname "$0")/../expect_browser_opens.sh" "$1" \
    UpdateCheck.YesOpensTheHomePage 'https://www.corvantile.org/'
