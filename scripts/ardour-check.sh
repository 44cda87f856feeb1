#!/usr/bin/env bash
# Loads a Brelix bundle into Ardour (Debian's ardour package, installed by hand: it is not a
# project dependency) the way a user's session does, without a display or sound card: Ardour's
# VST3 scanner indexes the bundle, then a headless Ardour (ardour7-lua on the dummy backend) puts
# Brelix on a stereo track, sets parameters through Ardour's own controls, runs the engine, saves
# the session, reopens it and checks that the plug-in restored the same values.
#
#   scripts/ardour-check.sh [PATH/Brelix.vst3]   (default: build-package's, then build's bundle)
#
# Everything happens under a temporary HOME (Ardour's configuration, caches, the session and the
# ~/.vst3 it scans), so the user's own Ardour set-up and plug-in folders are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

bundle=${1:-}
if [ -z "$bundle" ]; then
  for b in build-package/vst3/Brelix.vst3 build/vst3/Brelix.vst3; do
    [ -d "$b" ] && { bundle=$b; break; }
  done
fi
[ -n "$bundle" ] && [ -d "$bundle" ] || { echo "ardour-check: no Brelix.vst3 (build it or pass its path)" >&2; exit 2; }
command -v ardour7-lua >/dev/null || { echo "ardour-check: ardour7-lua not found (apt-get install ardour)" >&2; exit 2; }
bundle=$(realpath "$bundle")

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.vst3"
ln -s "$bundle" "$home/.vst3/Brelix.vst3"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"

echo "== scanning $bundle"
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f "$home/.vst3/Brelix.vst3" > "$home/scan.log" 2>&1 ||
  { cat "$home/scan.log"; echo "ardour-check: the scanner refused the bundle" >&2; exit 1; }
grep -q 'Found Plugin: Brelix' "$home/scan.log" || { cat "$home/scan.log"; echo "ardour-check: the scanner found no Brelix class" >&2; exit 1; }

# The values set through Ardour's controls (plain values), and what each must read back as.
cat > "$home/session.lua" <<'EOF'
local want = { GAIN = 24.0, MODEL = 7.0, HPF = 2.0, LPF = 1.0, OUT = -6.0, BYPASS = 0.0 }
local dir, create = arg[1], arg[2] == "create"

local function check (insert, plug, stage)
  local seen = 0
  for i = 0, plug:parameter_count () - 1 do
    local w = want[plug:parameter_label (i)]
    if w then
      local v = ARDOUR.LuaAPI.get_plugin_insert_param (insert, i, true)
      if math.abs (v - w) > 1e-3 then print ("CHECK fail", stage, plug:parameter_label (i), v, "wanted", w) return end
      seen = seen + 1
    end
  end
  if seen == 6 then print ("CHECK ok", stage) else print ("CHECK fail", stage, "found", seen, "parameters") end
end

AudioEngine:set_backend ("None (Dummy)", "", "")
AudioEngine:start ()
if create then
  local s = create_session (dir, "brelix", 48000)
  local p = ARDOUR.LuaAPI.new_plugin (s, "Brelix", ARDOUR.PluginType.VST3, "")
  if p:isnil () then print ("CHECK fail load: Ardour cannot instantiate Brelix") close_session () return end
  local track = s:new_audio_track (2, 2, nil, 1, "Brelix", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
  if track:add_processor_by_index (p, 0, nil, true) ~= 0 then print ("CHECK fail insert") close_session () return end
  local insert = p:to_insert ()
  local plug = insert:plugin (0)
  print ("loaded", plug:name (), "by", plug:maker (), plug:parameter_count (), "parameters")
  for i = 0, plug:parameter_count () - 1 do
    local w = want[plug:parameter_label (i)]
    if w then ARDOUR.LuaAPI.set_plugin_insert_param (insert, i, w) end
  end
  ARDOUR.LuaAPI.usleep (500000)  -- let the engine process with the new values
  check (insert, plug, "set")
  s:save_state ("", false, false, false, false, false)
else
  local s = load_session (dir, "brelix")
  for r in s:get_routes ():iter () do
    local p = r:nth_plugin (0)
    if not p:isnil () then check (p:to_insert (), p:to_insert ():plugin (0), "reopened") end
  end
end
close_session ()
EOF

run() {
  echo "== $1"
  ardour7-lua "$home/session.lua" "$home/session" "$1" > "$home/$1.log" 2>&1 || true
  grep -E '^(loaded|CHECK)' "$home/$1.log" || true
  grep -q "^CHECK ok" "$home/$1.log" || { tail -30 "$home/$1.log"; echo "ardour-check: $1 failed" >&2; exit 1; }
}
run create
run reopen
echo "ardour-check passed: Ardour scans, loads, sets, saves and restores $bundle"
