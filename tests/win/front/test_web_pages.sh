#!/usr/bin/env bash
# The "On the Web" commands of the bar's menus open the program's home, help and forum pages.
exec bash "$(dirname "$0")/../expect_browser_opens.sh" "$1" \
    MenuCommands.TheWebPagesOpenInTheBrowser 'https://www.corvantile.org/' \
    'https://www.corvantile.org/help/' 'https://www.corvantile.org/forums/'
