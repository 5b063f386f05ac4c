#!/usr/bin/env bash
# Every way to a web page opens its address in the browser, each test on its own: the about
# box's link and Yes in the update check (a newer version exists) open the home page, the
# menus' "On the Web" commands the home, help and forum pages, and the bar's shortcut "g " with
# the typed "x y" Google's results for it.
set -e
open_check() { bash "$(dirname "$0")/../expect_browser_opens.sh" "$@"; }
open_check "$1" AboutBox.TheLinkOpensTheProgramsSite 'https://www.corvantile.org/'
open_check "$1" UpdateCheck.YesOpensTheHomePage 'https://www.corvantile.org/'
open_check "$1" MenuCommands.TheWebPagesOpenInTheBrowser 'https://www.corvantile.org/' \
    'https://www.corvantile.org/help/' 'https://www.corvantile.org/forums/'
open_check "$1" Running.GoogleShortcutTakesTheTypedTextToTheSearchAddress \
    'https://www.google.com/search?q=x%20y'
