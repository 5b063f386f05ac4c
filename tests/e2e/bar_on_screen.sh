#!/usr/bin/env bash
# The bar is always somewhere the user can reach it: a settings file that puts it far beyond the
# screen (a monitor that is gone) brings it up at the top centre of the screen instead; its right
# end sizes it with the pointer, wider and narrower, its height kept; and the place saved at
# exit is the one it had on the screen.
source "$(dirname "$0")/lib.sh"

cat >"$E2E_DIR/Corvantile.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<preferences version="1">
  <node name="Corvantile">
    <node name="Window">
      <param key="AutoHide" value="false"/>
      <param key="CheckForUpdates" value="false"/>
      <param key="PosX" value="5000"/>
      <param key="PosY" value="4000"/>
    </node>
  </node>
</preferences>
XML

start_and_wait || fail "no window titled Corvantile appeared"
BAR=$(wait_for_window Corvantile 20) || fail "the bar did not show"
sleep 1
eval "$(xdotool getdisplaygeometry --shell)"
screen_width=$WIDTH
screen_height=$HEIGHT
eval "$(xdotool getwindowgeometry --shell "$BAR")"
((X >= 0 && Y >= 0 && X + WIDTH <= screen_width && Y + HEIGHT <= screen_height)) ||
    fail "the bar is at $X,$Y (${WIDTH}x$HEIGHT), off the ${screen_width}x$screen_height screen"
centre=$((screen_width / 2 - WIDTH / 2))
((Y == 0 && X >= centre - 1 && X <= centre + 1)) ||
    fail "the bar is at $X,$Y, not at the top centre ($centre,0) ($(screenshot placed))"

# Sizing from the right end: the pointer drags it 120 pixels wider, then 60 narrower.
left=$X
width=$WIDTH
height=$HEIGHT
middle=$((Y + HEIGHT / 2))
drag_right_end() {
    local from=$1 to=$2
    xdotool mousemove "$from" "$middle"
    sleep 0.3
    xdotool mousedown 1
    sleep 0.3
    xdotool mousemove "$(((from + to) / 2))" "$middle"
    sleep 0.3
    xdotool mousemove "$to" "$middle"
    sleep 0.3
    xdotool mouseup 1
    sleep 0.5
}
end=$((left + width - 2))
drag_right_end "$end" $((end + 120))
eval "$(xdotool getwindowgeometry --shell "$BAR")"
((X == left && WIDTH == width + 120 && HEIGHT == height)) ||
    fail "after sizing the bar is $X,$Y ${WIDTH}x$HEIGHT, was $left ${width}x$height ($(screenshot sized))"
end=$((left + WIDTH - 2))
drag_right_end "$end" $((end - 60))
eval "$(xdotool getwindowgeometry --shell "$BAR")"
((X == left && WIDTH == width + 60 && HEIGHT == height)) ||
    fail "after sizing back the bar is $X,$Y ${WIDTH}x$HEIGHT ($(screenshot narrowed))"

stop_program
settings="$E2E_DIR/Corvantile.xml"
value() {
    xmllint --xpath "string(//node[@name='Window']/param[@key='$1']/@value)" "$settings"
}
[[ "$(value PosX)" == "$X" && "$(value PosY)" == "$Y" ]] ||
    fail "saved position $(value PosX),$(value PosY), the bar was at $X,$Y"
echo "PASS $E2E_NAME"
