#!/usr/bin/env bash
# The Google action's shortcut "g" with the text "x y" opens Google's results for "x y".
exec bash "$(dirname "$0")/../expect_browser_opens.sh" "$1" \
    WebLaunch.GoogleShortcutOpensTheAddressForTheText 'https://www.google.com/search?q=x%20y'
