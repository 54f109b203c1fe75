#!/usr/bin/env bash
# Plays the built LV2 inside a real host: Debian's jalv under a JACK server with
# the dummy driver, on a virtual display (the script runs itself under
# xvfb-run -a).
#  1. Notes: jack_midiseq plays notes into an instance with the sequencer off,
#     shown with its own editor in jalv's GTK front end (suil embeds the X11
#     UI); jack_rec records the output, analyse-recording.py checks the
#     recording, and check-editor-shown.py a screen grab taken while the notes
#     play. jalv then stops cleanly on SIGTERM.
#  2. Transport: a fresh instance (jalv's GTK front end with its generic
#     controls) runs with the JACK transport rolling; jack_midi_dump takes down
#     the plug-in's MIDI output and jalv dumps what the plug-in reports to it;
#     analyse-pattern-run.py checks that pattern 1 plays step by step and that
#     the host was told the instance's own values.
#  3. Values: an instance whose start-up bank (a user bank) holds other values
#     than the metadata's defaults, in jalv's GTK front end with its generic
#     controls; check-jalv-controls.py reads what those controls show (through
#     the accessibility bus) after loading, and again after send-midi.py sent a
#     MIDI program change: each time the instance's own values.
#  4. Keys: jalv.gtk3 with its menu and the plug-in's editor under a window
#     manager (openbox), as users run hosts; check-host-keys.py clicks and types
#     with xdotool: after a click on PLAY and after a rename, Ctrl+S opens
#     jalv's "Save State"; the bank chooser (BROWSE, the bank's Save) takes
#     "abc" typed into its "file:" field and writes abc.tqprsb with the renamed
#     preset. Grabs of each stage go to the build folder's screenshots/.
# Installs JACK, jalv, openbox, the virtual display, the X tools and the
# accessibility bus when they are missing (run as root), and leaves no process
# and no JACK shared memory behind.
#
# Usage: tests/realhost/run-lv2-host-test.sh [build folder]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
buildDir="$(cd "${1:-$here/../../build}" && pwd)"
bundle="$buildDir/Tarvelin_artefacts/Release/LV2/Tarvelin.lv2"
pluginUri="https://ulvra-group.example/plugins/tarvelin"

sampleRate=48000
periodSize=1024
# jack_midiseq loops four seconds: each note held 1.45 s, one starting half a
# second into the loop (so after the connection is made) and one two seconds
# later. A note must end before the loop does: an end at the loop's length is
# never sent.
loopLength=192000
noteLength=69600
firstNote=45                 # A2, 110 Hz
firstNoteAt=24000
secondNote=69                # A4, 440 Hz
secondNoteAt=120000
recordSeconds=9
# The transport run: how long pattern 1 is checked, and a margin for the host.
transportSeconds=4
transportMarginSeconds=2

# Generous: on a loaded machine a JACK client can take seconds to come up, and a
# client killed in the middle of a request leaves shared memory behind.
startSeconds=60
stopSeconds=20

startTime=$(date +%s%N)
log()
{
    local tenths=$((($(date +%s%N) - startTime) / 100000000))
    echo "run-lv2-host-test [$((tenths / 10)).$((tenths % 10)) s]: $*" >&2
}
fail() { log "FAILED: $*"; exit 1; }

[[ -f "$bundle/manifest.ttl" ]] || fail "no LV2 bundle at $bundle (build first)"

tools=(jackd jack_wait jack_lsp jack_connect jack_midiseq jack_rec jack_midi_dump jack_transport jalv.gtk3 openbox xvfb-run xauth xdotool xwd dbus-run-session)
# jalv's controls are read through the accessibility bus, with Debian's own python3.
hasAccessibility() { [[ -x /usr/libexec/at-spi-bus-launcher ]] && /usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')" 2> /dev/null; }
missing=0
for tool in "${tools[@]}"; do
    command -v "$tool" > /dev/null || missing=1
done
hasAccessibility || missing=1
if [[ $missing == 1 ]]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends jackd2 jalv openbox xvfb xauth xdotool x11-apps \
        dbus dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
fi
for tool in "${tools[@]}" python3 timeout stdbuf; do
    command -v "$tool" > /dev/null || fail "$tool is missing"
done
hasAccessibility || fail "the accessibility bus (at-spi2-core, python3-gi, gir1.2-atspi-2.0) is missing"

# Everything from here on sees one virtual display and one D-Bus session of its
# own (the accessibility bus lives in it); xvfb-run and dbus-run-session end
# them when the script ends.
if [[ -z "${TARVELIN_REALHOST_DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" \
        dbus-run-session -- env TARVELIN_REALHOST_DISPLAY=1 "$0" "$buildDir"
fi

# The dummy driver runs without real-time scheduling; a higher priority keeps it
# in time when the machine is busy (it is best effort: the test passes without).
renice -n -10 -p $$ > /dev/null 2>&1 || true

work="$(mktemp -d /tmp/tarvelin-realhost.XXXXXX)"
# A server of our own name: no other JACK server is touched, and every
# semaphore this one makes carries the name.
export JACK_DEFAULT_SERVER="tarvelin-test-$$"
export JACK_NO_START_SERVER=1

registryExisted=0
[[ -e /dev/shm/jack-shm-registry ]] && registryExisted=1
ls -A /dev/shm | sort > "$work/shm-before"

jackdPid="" jalvPid="" seqPid="" recPid="" transportPid="" dumpPid="" valuesPid="" keysPid="" openboxPid=""
forced=0

isRunning() { [[ -n "$1" ]] && kill -0 "$1" 2> /dev/null; }
anyJackServer() { grep -qsx jackd /proc/[0-9]*/comm; }

# Waits up to $2 seconds for process $1 to end.
waitForExit()
{
    local pid="$1" seconds="$2"
    for ((i = 0; i < seconds * 10; ++i)); do
        isRunning "$pid" || return 0
        sleep 0.1
    done
    ! isRunning "$pid"
}

# Ends a process we started: SIGTERM (or the signal given), then SIGKILL after a
# bounded wait.
stopProcess()
{
    local pid="$1" name="$2" signal="${3:-TERM}"
    [[ -n "$pid" ]] || return 0
    if isRunning "$pid"; then
        kill -"$signal" "$pid" 2> /dev/null || true
        if ! waitForExit "$pid" "$stopSeconds"; then
            log "$name (pid $pid) did not stop; killing it"
            kill -KILL "$pid" 2> /dev/null || true
            forced=1
        fi
    fi
    wait "$pid" 2> /dev/null || true
}

# Stops jalv's GTK front end with SIGTERM, as a desktop session ends it; it
# must end by itself, with exit status 0.
stopJalv()
{
    local pid="$1" name="$2"
    [[ -n "$pid" ]] || return 0
    kill -TERM "$pid" 2> /dev/null || true
    if ! waitForExit "$pid" "$stopSeconds"; then
        log "FAILED: $name (pid $pid) did not stop on SIGTERM; killing it"
        kill -KILL "$pid" 2> /dev/null || true
        forced=1
    fi
    local status=0
    wait "$pid" 2> /dev/null || status=$?
    if [[ $status != 0 ]]; then
        log "FAILED: $name ended with status $status on SIGTERM"
        return 1
    fi
}

cleanup()
{
    local status=$?
    set +e
    # Clients go before the server: a server stopped under its clients leaks a
    # slot of JACK's shared-memory registry.
    stopProcess "$recPid" jack_rec
    stopProcess "$seqPid" jack_midiseq
    stopProcess "$dumpPid" jack_midi_dump INT   # it closes its JACK client on SIGINT only
    stopJalv "$jalvPid" jalv.gtk3 || status=1
    stopJalv "$transportPid" jalv.gtk3 || status=1
    stopJalv "$valuesPid" jalv.gtk3 || status=1
    stopJalv "$keysPid" jalv.gtk3 || status=1
    stopProcess "$openboxPid" openbox
    stopProcess "$jackdPid" jackd

    if grep -qa "$JACK_DEFAULT_SERVER" /dev/shm/jack-shm-registry 2> /dev/null; then
        log "FAILED: the server's slot in JACK's shared-memory registry was not released"
        status=1
    fi
    # JACK keeps its registry after a clean stop; drop it if we made it.
    if [[ $registryExisted == 0 ]] && ! anyJackServer; then
        rm -f /dev/shm/jack-shm-registry
    fi
    # Whatever else is left behind is reported, then removed when it is surely
    # ours: it carries our server's name, or no JACK server runs any more.
    ls -A /dev/shm | sort | comm -13 "$work/shm-before" - > "$work/shm-left"
    if [[ -s "$work/shm-left" ]]; then
        log "FAILED: JACK left shared memory behind: $(tr '\n' ' ' < "$work/shm-left")"
        status=1
        local otherServer=0
        anyJackServer && otherServer=1
        while read -r entry; do
            if [[ "$entry" == *"$JACK_DEFAULT_SERVER"* ]] \
                || [[ $otherServer == 0 && "$entry" == jack* ]]; then
                rm -rf "/dev/shm/$entry"
            fi
        done < "$work/shm-left"
    fi
    if [[ $forced == 1 ]]; then
        log "FAILED: a JACK process or jalv had to be killed"
        status=1
    fi

    if [[ -f "$work/jackd.log" ]]; then
        log "JACK reported $(grep -c 'XRun' "$work/jackd.log") late or unfinished cycles"
    fi
    if [[ $status != 0 ]]; then
        for file in "$work"/*.log; do
            [[ -f "$file" ]] || continue
            echo "--- $(basename "$file")" >&2
            grep -v 'XRun = ' "$file" | tail -n 40 >&2
        done
    fi
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits until `jack_lsp $2` lists the line $3, while process $1 runs.
waitForPort()
{
    local pid="$1" options="$2" line="$3"
    local deadline=$((SECONDS + startSeconds))
    while ((SECONDS < deadline)); do
        isRunning "$pid" || fail "the process that should make '$line' has ended"
        timeout "$stopSeconds" jack_lsp $options 2> /dev/null | grep -qxF -- "$line" && return 0
        sleep 0.1
    done
    fail "timed out waiting for JACK port '$line'"
}

# The bundle goes into a folder of its own on LV2_PATH, and the plug-in's
# settings folders are temporary: new instances start with the internal
# sequencer off (so notes play the voice) and in accurate tuning.
mkdir -p "$work/lv2" "$work/config/Ulvra Group/Tarvelin" "$work/data"
cp -r "$bundle" "$work/lv2/"
cat > "$work/config/Ulvra Group/Tarvelin/Tarvelin.ini" << 'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<UserSettings application="Tarvelin"><InternalSequencer><IntSeq state="off"/></InternalSequencer><InternalSettings><OscillatorTuning value="accurate"/></InternalSettings></UserSettings>
EOF
export LV2_PATH="$work/lv2"
export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"

# Synchronous mode: a late client delays the cycle instead of losing it, so the
# recording and the notes keep one timeline on a busy machine.
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime --sync --timeout 10000 \
    -d dummy -r "$sampleRate" -p "$periodSize" > "$work/jackd.log" 2>&1 &
jackdPid=$!
timeout $((startSeconds + 5)) jack_wait -w -t "$startSeconds" > /dev/null 2>&1 \
    || fail "the JACK server did not start"

stdbuf -oL jalv.gtk3 -x -n tarvelin "$pluginUri" > "$work/jalv.log" 2>&1 &
jalvPid=$!
waitForPort "$jalvPid" "" "tarvelin:audio_out_2"
waitForPort "$jalvPid" "" "tarvelin:in"
# jalv names the URI before looking for it: the plug-in's own ports show it loaded.
grep -q "Failed" "$work/jalv.log" && fail "jalv could not load $pluginUri"
log "jalv loaded $pluginUri"

# The recording starts with no notes connected: what comes before the first
# note is the plug-in at rest.
jack_rec -f "$work/recording.wav" -d "$recordSeconds" -b 32 tarvelin:audio_out_1 tarvelin:audio_out_2 \
    > "$work/rec.log" 2>&1 &
recPid=$!
waitForPort "$recPid" "-c" "   tarvelin:audio_out_2"
log "recording"

jack_midiseq notes "$loopLength" \
    "$firstNoteAt" "$firstNote" "$noteLength" \
    "$secondNoteAt" "$secondNote" "$noteLength" > "$work/midiseq.log" 2>&1 &
seqPid=$!
waitForPort "$seqPid" "" "notes:out"
timeout "$startSeconds" jack_connect notes:out tarvelin:in || fail "could not connect the notes to the plug-in"
isRunning "$recPid" || fail "the recording ended before the notes were connected (machine too slow?)"
log "notes connected"

# The editor while the notes play: jalv took the plug-in's own UI (its
# ui:parent, instance access and idle interface: suil says which feature it
# lacks otherwise), and its window shows what the editor painted.
grep -qxF "UI:           $pluginUri:UI" "$work/jalv.log" \
    || fail "jalv did not take the plug-in's UI: $(grep -E '^UI:|suil|[Ff]eature' "$work/jalv.log" | tr '\n' ' ')"
grep -E 'suil error|is not supported' "$work/jalv.log" && fail "jalv or suil refused part of the plug-in's UI"
window="$(timeout "$startSeconds" xdotool search --sync --all --onlyvisible --pid "$jalvPid" --name "^Tarvelin$" | head -n 1)"
[[ -n "$window" ]] || fail "jalv shows no window"
eval "$(xdotool getwindowgeometry --shell "$window")"
xwd -root -silent -out "$work/screen.xwd" || fail "could not grab the screen"
isRunning "$recPid" || fail "the notes had ended before the editor was seen (machine too slow?)"
python3 "$here/check-editor-shown.py" "$work/screen.xwd" --window "$X" "$Y" "$WIDTH" "$HEIGHT" \
    --skin "$here/../../resources/skin.xml" \
    || fail "jalv's window does not show the editor"
log "jalv shows the editor while the notes play"

waitForExit "$recPid" $((recordSeconds * 4 + startSeconds)) || fail "jack_rec did not finish"
wait "$recPid" || fail "jack_rec failed"
recPid=""
log "recorded"
grep -q "overruns" "$work/rec.log" && fail "jack_rec lost samples: $(grep overruns "$work/rec.log")"

python3 "$here/analyse-recording.py" "$work/recording.wav" \
    --notes "$firstNote" "$secondNote" --note-spacing $((secondNoteAt - firstNoteAt))

stopProcess "$seqPid" jack_midiseq
seqPid=""
stopJalv "$jalvPid" jalv.gtk3 || fail "jalv did not stop cleanly"
jalvPid=""
grep -q "^Exiting" "$work/jalv.log" || fail "jalv ended without its own shutdown"
log "jalv stopped on SIGTERM"

# The transport run: a fresh instance (settings folders of its own, empty)
# starts with the internal sequencer on and follows the transport.
mkdir -p "$work/fresh-config" "$work/fresh-data"
XDG_CONFIG_HOME="$work/fresh-config" XDG_DATA_HOME="$work/fresh-data" \
    stdbuf -oL jalv.gtk3 -g -d -x -n tarvelinseq "$pluginUri" > "$work/jalv-transport.log" 2>&1 &
transportPid=$!
waitForPort "$transportPid" "" "tarvelinseq:out"
log "jalv.gtk3 loaded a fresh instance"

jack_midi_dump -a patternout > "$work/pattern-out.log" 2> "$work/midi-dump.log" &
dumpPid=$!
waitForPort "$dumpPid" "" "patternout:input"
timeout "$startSeconds" jack_connect tarvelinseq:out patternout:input || fail "could not connect the plug-in's MIDI output"

printf 'play\n' | timeout "$startSeconds" jack_transport > "$work/transport.log" 2>&1 || fail "could not start the JACK transport"
log "transport rolling"
sleep $((transportSeconds + transportMarginSeconds))
printf 'stop\n' | timeout "$startSeconds" jack_transport >> "$work/transport.log" 2>&1 || fail "could not stop the JACK transport"
log "transport stopped"

stopProcess "$dumpPid" jack_midi_dump INT
dumpPid=""
stopJalv "$transportPid" jalv.gtk3 || fail "jalv did not stop cleanly"
transportPid=""

python3 "$here/analyse-pattern-run.py" --midi "$work/pattern-out.log" --host-log "$work/jalv-transport.log" \
    --patterns "$here/../../resources/default.tqptrb" --presets "$here/../../resources/default.tqprsb" \
    --sample-rate "$sampleRate" --seconds "$transportSeconds"

# The values run: a start-up bank of the user's whose first preset differs from
# the metadata's defaults in the three parameters checked, so that what jalv
# shows can only come from the instance.
mkdir -p "$work/values-config/Ulvra Group/Tarvelin" "$work/values-data"
python3 - "$here/../../resources/default.tqprsb" "$work/Mine.tqprsb" << 'EOF'
import sys
import xml.etree.ElementTree as ElementTree
bank = ElementTree.parse(sys.argv[1])
first = bank.getroot().find("PresetGroup/Preset")
for param in first.findall("param"):
    changed = {"Tune": "0.25", "Cutoff": "0.9", "Volume": "0.75"}.get(param.get("name"))
    if changed is not None:
        param.set("value", changed)
bank.write(sys.argv[2], encoding="UTF-8", xml_declaration=True)
EOF
cat > "$work/values-config/Ulvra Group/Tarvelin/Tarvelin.ini" << EOF
<?xml version="1.0" encoding="UTF-8"?>
<UserSettings application="Tarvelin"><ResourcesSettings><Presets default="userDefinedPresets" file="$work/Mine.tqprsb"/></ResourcesSettings></UserSettings>
EOF
XDG_CONFIG_HOME="$work/values-config" XDG_DATA_HOME="$work/values-data" \
    stdbuf -oL jalv.gtk3 -g -x -n tarvelinvalues "$pluginUri" > "$work/jalv-values.log" 2>&1 &
valuesPid=$!
waitForPort "$valuesPid" "" "tarvelinvalues:in"
log "jalv.gtk3 loaded an instance with a start-up bank of the user's"

/usr/bin/python3 "$here/check-jalv-controls.py" --pid "$valuesPid" --presets "$work/Mine.tqprsb" --preset 0 \
    --names Tune Cutoff Volume --when "after loading" \
    || fail "jalv does not show the instance's values after loading"

# A program change to the sixth preset, on MIDI channel 1.
programChange=5
timeout "$startSeconds" python3 "$here/send-midi.py" programchange tarvelinvalues:in c0 "$(printf '%02x' "$programChange")" \
    > "$work/send-midi.log" 2>&1 || fail "could not send the program change: $(cat "$work/send-midi.log")"
/usr/bin/python3 "$here/check-jalv-controls.py" --pid "$valuesPid" --presets "$work/Mine.tqprsb" --preset "$programChange" \
    --names Tune Cutoff Volume --when "after a MIDI program change" \
    || fail "jalv does not show the instance's values after a program change"

stopJalv "$valuesPid" jalv.gtk3 || fail "jalv did not stop cleanly"
valuesPid=""
log "jalv showed the instance's values after loading and after a program change"

# The keys run: jalv.gtk3 as users run it, with its menu (Ctrl+S saves the
# state) and under a window manager, which takes the X focus to jalv's window
# on every press before the press reaches the plug-in. The bank chooser opens
# in a folder of its own.
keysBanks="$work/keys-banks"
mkdir -p "$work/keys-config/Ulvra Group/Tarvelin" "$work/keys-data" "$keysBanks"
cat > "$work/keys-config/Ulvra Group/Tarvelin/Tarvelin.ini" << EOF
<?xml version="1.0" encoding="UTF-8"?>
<UserSettings application="Tarvelin"><PluginDirectories><RecentlyUsed dir="$keysBanks"/></PluginDirectories></UserSettings>
EOF
# Openbox manages the windows mapped before it is ready too: check-host-keys.py
# waits until jalv's window has its frame.
openbox --sm-disable > "$work/openbox.log" 2>&1 &
openboxPid=$!

# --jack-name, not -n: jalv.gtk3 also reads -n as "no menu".
XDG_CONFIG_HOME="$work/keys-config" XDG_DATA_HOME="$work/keys-data" \
    stdbuf -oL jalv.gtk3 -x --jack-name=tarvelinkeys "$pluginUri" > "$work/jalv-keys.log" 2>&1 &
keysPid=$!
waitForPort "$keysPid" "" "tarvelinkeys:in"
isRunning "$openboxPid" || fail "openbox ended: $(cat "$work/openbox.log")"
log "jalv.gtk3 with its menu loaded an instance under openbox"

python3 "$here/check-host-keys.py" --pid "$keysPid" --skin "$here/../../resources/skin.xml" \
    --bank-folder "$keysBanks" --seconds "$startSeconds" --screenshots "$buildDir/screenshots" \
    || fail "jalv under openbox does not keep its keyboard, or the bank chooser takes no typed name"

stopJalv "$keysPid" jalv.gtk3 || fail "jalv did not stop cleanly"
keysPid=""
stopProcess "$openboxPid" openbox
openboxPid=""
log "under openbox, jalv kept its keyboard after clicks on the panel and the bank chooser took a typed name"
