#!/usr/bin/env bash
# The about box's link opens the program's home page.
exec bash "$(dirname "$0")/../expect_browser_opens.sh" "$1" \
    AboutBox.TheLinkOpensTheProgramsSite 'https://www.corvantile.org/'
