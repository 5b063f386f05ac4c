#!/usr/bin/env bash
# Shortcut mode in the search bar: "g" makes Google's search current, and Enter on the typed
# "x y" opens Google's results for it.
exec bash "$(dirname "$0")/../expect_browser_opens.sh" "$1" \
    Running.GoogleShortcutTakesTheTypedTextToTheSearchAddress 'https://www.google.com/search?q=x%20y'
