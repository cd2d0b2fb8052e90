#!/usr/bin/env bash
# Seeds small faults into the code one at a time and checks that the tests notice each of
# them: the frame's formulas, constants and render state (the list below), and the shell,
# the platform layers and the settings code (seed-faults/shell.sh beside this script).
#
# Each fault names what can see it. Most are "fast": the fast tests (unit and render) run
# against them. Those in code that only the real programs run are "x11" (the X11 program
# under Xvfb: its end-to-end cases, e2e.*) or "wine" (Orvel.scr under Wine: the cases
# wine.* and windows.*); they take minutes each and run only with --slow.
#
# Everything happens in a scratch copy of the checkout (the tracked files and any new,
# unignored ones, as they are in the working tree): the checkout itself is only read.
# The copy is configured like the linux preset without the end-to-end tests (with them
# under --slow), built once, and its tests must pass before any fault is seeded. Then,
# for each fault: apply it, rebuild incrementally, run the tests, note whether they
# caught it, take it out again. An x11 or wine fault the fast tests miss then goes to
# its end-to-end cases: the X11 program is rebuilt for x11, the windows preset's
# Orvel.scr (in the copy's build/windows, where the Wine cases look) for wine.
#
# Usage: tools/seed-faults.sh [options] [selection...]
#   --list             print the numbered faults, with the tests each needs, and exit
#   --check            only check that every fault's text occurs exactly once
#   --slow             also run the x11 and wine faults, each against its end-to-end
#                      cases as well (needs Xvfb and xdotool; Wine and MinGW-w64 for wine)
#   --tests-from REV   take tests/ from revision REV instead of the working tree, to
#                      score today's code against older tests
#   --work DIR         use DIR as the scratch directory and keep it; a later run with the
#                      same DIR copies only changed files and rebuilds incrementally
#   --keep             keep the temporary scratch directory
#   --ctest            run the fast tests through ctest, one process per test case,
#                      rather than each test program once with all its cases
#   selection          fault numbers (7), ranges (3-9), the kinds fast, x11 and wine, or
#                      words matched against the file and description (motes,
#                      overlays.cpp); default: all fast faults, and with --slow all
#
# Exit status: 0 when every selected fault was caught, 1 when any survived or did not
# build, 2 when the list is stale (a text not found exactly once) or the unchanged tree
# fails to build or pass its tests.
set -euo pipefail
# All of it in one block, which bash reads whole before it runs any of it: editing this
# file or the lists during a long run changes nothing in that run.
{

F_FILE=()
F_DESC=()
F_OLD=()
F_NEW=()
F_KIND=()
# fault FILE DESCRIPTION OLD-TEXT NEW-TEXT: OLD-TEXT must occur exactly once in FILE.
# fault_x11 and fault_wine: the same, for a fault only those end-to-end cases can see.
fault() { add_fault fast "$@"; }
fault_x11() { add_fault x11 "$@"; }
fault_wine() { add_fault wine "$@"; }
add_fault() {
    F_KIND+=("$1")
    F_FILE+=("$2")
    F_DESC+=("$3")
    F_OLD+=("$4")
    F_NEW+=("$5")
}

# --- Colour and size cycles
A=src/frame/scene_animation.cpp
fault $A "inner ring red: base 0.1 becomes 0.11" \
    'pulse(0.1, 0.45, t)' 'pulse(0.11, 0.45, t)'
fault $A "inner ring green: frequency 0.7 becomes 0.75" \
    '0.7 * t' '0.75 * t'
fault $A "inner ring blue: swing 0.35 becomes 0.36" \
    'pulse(0.3, 0.35, 0.4 * t)' 'pulse(0.3, 0.36, 0.4 * t)'
fault $A "inner ring blue: frequency 0.4 becomes 0.45" \
    '0.35, 0.4 * t' '0.35, 0.45 * t'
fault $A "outer ring red: frequency 0.2 becomes 0.21" \
    '0.45, 0.2 * t' '0.45, 0.21 * t'
fault $A "outer ring green: base 0.2 becomes 0.25" \
    'pulse(0.2, 0.4, 0.14 * t)' 'pulse(0.25, 0.4, 0.14 * t)'
fault $A "outer ring green: frequency 0.14 becomes 0.15" \
    '0.14 * t' '0.15 * t'
fault $A "outer ring blue: frequency 0.12 becomes 0.13" \
    '0.12 * t' '0.13 * t'
fault $A "spark colour: green factor 0.8 becomes 0.85" \
    '0.8 * c.innerRingColor.g' '0.85 * c.innerRingColor.g'
fault $A "inner sprite size: frequency 1.2 becomes 1.25" \
    '1.2 * t' '1.25 * t'
fault $A "outer sprite size: swing 0.3 becomes 0.35" \
    'pulse(0.4, 0.3, 0.25 * t)' 'pulse(0.4, 0.35, 0.25 * t)'

# --- Camera path
fault $A "camera: elevation amplitude 1.4959964977 becomes 1.3959964977" \
    '1.4959964977' '1.3959964977'
fault $A "camera: elevation frequency 0.05 becomes 0.055" \
    'std::sin(0.05 * t)' 'std::sin(0.055 * t)'
fault $A "camera: base point's z uses sin instead of cos" \
    '40.0 * std::cos(elevation)' '40.0 * std::sin(elevation)'
fault $A "camera: base point's height radius 40 becomes 41" \
    '40.0 * std::sin(elevation)' '41.0 * std::sin(elevation)'
fault $A "camera: pull-in frequency 0.031415925 becomes 0.033415925" \
    '0.031415925' '0.033415925'
fault $A "camera: s^8 built as s^6" \
    's8 = s4 * s4' 's8 = s4 * s2'
fault $A "camera: pull-in depth 10 s^8 becomes 11 s^8" \
    '10.0 * s8' '11.0 * s8'
fault $A "camera: distance factor offset 0.5 becomes 0.6" \
    's8)) + 0.5' 's8)) + 0.6'
fault $A "camera: orbit rate 0.03 becomes 0.031" \
    '0.03 * t' '0.031 * t'

# --- Grid drift, wrap and fade
fault $A "grids: rise 5 units/s becomes 5.5" \
    'p->position.y + 5.0 * dt' 'p->position.y + 5.5 * dt'
fault $A "grids: wrap test > 40 becomes >= 40" \
    'p->position.y > 40.0f' 'p->position.y >= 40.0f'
fault $A "grids: wrap span 80 becomes 79" \
    'p->position.y -= 80.0f' 'p->position.y -= 79.0f'
fault $A "grids: the camera's level is checked last instead of first" \
    '{camera.position.y, 40.0f, -40.0f}' '{40.0f, -40.0f, camera.position.y}'
fault $A "grids: lower fade level -40 becomes -45" \
    'camera.position.y, 40.0f, -40.0f' 'camera.position.y, 40.0f, -45.0f'
fault $A "grids: fade distance scale 0.1 becomes 0.11" \
    'position.y) * 0.1' 'position.y) * 0.11'
fault $A "grids: fade reach 1.5 becomes 1.6" \
    'd < 1.5' 'd < 1.6'
fault $A "grids: fade offset 0.5 becomes 0.4" \
    'float(d - 0.5)' 'float(d - 0.4)'
fault $A "grids: faded green 0.1 f becomes 0.2 f" \
    'float(0.1 * f)' 'float(0.2 * f)'
fault $A "grids: faded alpha 0.5 becomes 0.6" \
    'float(0.4 * f), 0.5f}' 'float(0.4 * f), 0.6f}'

# --- Motes
fault $A "motes: circling offset with cos and sin swapped" \
    'std::cos(double(mote.angle))), mote.basePosition.y,
                            float(mote.basePosition.z + std::sin(double(mote.angle)))' \
    'std::sin(double(mote.angle))), mote.basePosition.y,
                            float(mote.basePosition.z + std::cos(double(mote.angle)))'
fault $A "motes: rise 5 units/s becomes 5.5" \
    'mote.basePosition.y + 5.0 * dt' 'mote.basePosition.y + 5.5 * dt'
fault $A "motes: wrap height 50 becomes 49" \
    'mote.basePosition.y > 50.0f' 'mote.basePosition.y > 49.0f'
fault $A "motes: wrap span 100 becomes 99" \
    'mote.basePosition.y -= 100.0f' 'mote.basePosition.y -= 99.0f'
fault $A "motes: turn 1 rad/s becomes 1.1" \
    'mote.angle += dt;' 'mote.angle += 1.1f * dt;'
fault $A "motes: angle wrap subtracts 6 instead of 2 pi" \
    'mote.angle -= 6.283185f' 'mote.angle -= 6.0f'
fault $A "motes: square edge 0.5 becomes 0.6" \
    '0.5f, camera' '0.6f, camera'

# --- Frame driver: spins, acceleration, texture slide, mote state, timeline
D=src/frame/frame_driver.cpp
fault $D "inner ring spin 0.32 pi rad/s becomes a little faster" \
    'INNER_SPIN = 1.0053096f' 'INNER_SPIN = 1.0153096f'
fault $D "outer ring spin 0.1 pi rad/s becomes a little faster" \
    'OUTER_SPIN = 0.31415924f' 'OUTER_SPIN = 0.32415924f'
fault $D "sparks' upward acceleration 6 becomes 6.5" \
    '{0.0f, 6.0f, 0.0f}' '{0.0f, 6.5f, 0.0f}'
fault $D "grid texture slide 0.05 repeats/s becomes 0.06" \
    'float(0.05 * dt)' 'float(0.06 * dt)'
fault $D "second grid's texture slides +u instead of -u" \
    'driftTexture(gridMesh2, -step, step)' 'driftTexture(gridMesh2, step, step)'
fault $D "third grid's texture slides +v instead of -v" \
    'driftTexture(gridMesh3, step, -step)' 'driftTexture(gridMesh3, step, step)'
fault $D "mote state: blending not enabled" \
    'glEnable(GL_BLEND);' ';'
fault $D "mote state: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $D "mote state: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $D "mote state: blend (1, 1) becomes (src alpha, 1)" \
    'glBlendFunc(GL_ONE, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE);'
fault $D "mote state: glow texture not enabled" \
    'bindTexture(true, &glowTexture' 'bindTexture(false, &glowTexture'
fault $D "mote state: glow filtered smoothly even in low detail" \
    '&glowTexture, renderDevice.smoothTextures' '&glowTexture, true'
fault $D "mote state: fog left on" \
    'glDisable(GL_FOG);' ';'
fault $D "title shown up to 8.5 s instead of 8" \
    't < 8.0' 't < 8.5'
fault $D "fade-in drawn at exactly 2 s" \
    't < 2.0' 't <= 2.0'
fault $D "rate text hidden at exactly 40 s" \
    't > 40.0' 't >= 40.0'
fault $D "rate update interval after 40 s becomes 500 ms" \
    'configure(0, 1000)' 'configure(0, 500)'

# --- Overlays
O=src/frame/overlays.cpp
fault $O "title fade rate 0.25 becomes 0.26" \
    '(8.0 - sceneTime) * 0.25' '(8.0 - sceneTime) * 0.26'
fault $O "title fade ends at 8.5 s instead of 8" \
    'float((8.0 - sceneTime)' 'float((8.5 - sceneTime)'
fault $O "title: right edge 0.55 becomes 0.56" \
    '{1.0f, 1.0f, 0.55f, -0.21f, -1.5f}' '{1.0f, 1.0f, 0.56f, -0.21f, -1.5f}'
fault $O "title: first corner's texture t 1 becomes 0" \
    '{0.0f, 1.0f, 0.15f, -0.21f, -1.5f}' '{0.0f, 0.0f, 0.15f, -0.21f, -1.5f}'
fault $O "title: modelview not reset to the identity" \
    'glLoadIdentity();' ';'
fault $O "title: banner replaced by the glow image" \
    'bindTexture(true, &bannerTexture' 'bindTexture(true, &glowTexture'
fault $O "title: blend (1, 1) becomes (src alpha, 1)" \
    'enterOverlayState(GL_ONE, GL_ONE)' 'enterOverlayState(GL_SRC_ALPHA, GL_ONE)'
fault $O "overlays: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $O "overlays: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $O "fade-in rate 0.5 becomes 0.6" \
    '(2.0 - sceneTime) * 0.5' '(2.0 - sceneTime) * 0.6'
fault $O "fade-in: veil's lower edge -0.3 becomes -0.29" \
    '{1.0f, 0.0f, 0.4f, -0.3f, -1.0f}' '{1.0f, 0.0f, 0.4f, -0.29f, -1.0f}'
fault $O "fade-in: blend over becomes additive alpha" \
    'enterOverlayState(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)' 'enterOverlayState(GL_SRC_ALPHA, GL_ONE)'
fault $O "fade-in: texturing left on" \
    'glDisable(GL_TEXTURE_2D);' ';'

# --- Texture drift
T=src/frame/texture_drift.cpp
fault $T "texture drift wraps at 17 repeats instead of 16" \
    'WRAP_LIMIT = 16.0f' 'WRAP_LIMIT = 17.0f'
fault $T "texture drift wrap test >= 16 becomes > 16" \
    'std::fabs(first.u) >= WRAP_LIMIT' 'std::fabs(first.u) > WRAP_LIMIT'
fault $T "texture drift takes the u repeats off v" \
    'mesh.shiftTexCoords(-backU, -backV)' 'mesh.shiftTexCoords(-backU, -backU)'

# --- Particle emission
P=src/frame/particle_emission.cpp
fault $P "sparks: speed factor 1.2 becomes 1.3" \
    '1.2 * cycles.innerSpriteSize' '1.3 * cycles.innerSpriteSize'
fault $P "sparks: size factor 0.85 becomes 0.9" \
    'innerSpriteSize * 0.85' 'innerSpriteSize * 0.9'
fault $P "sparks: longest life 2 s becomes 2.5 s" \
    'randomRange(1.0f, 2.0f)' 'randomRange(1.0f, 2.5f)'
fault $P "sparks: one per 0.004 s instead of 0.003 s" \
    ': 0.003f' ': 0.004f'
fault $P "sparks: one per 0.025 s in low detail instead of 0.02 s" \
    '0.02f :' '0.025f :'

# --- Scene set-up
S=src/frame/scene_setup.cpp
fault $S "rings tilted 0.27 rad instead of 15 degrees" \
    'RING_TILT = 0.26179937f' 'RING_TILT = 0.27179937f'
fault $S "background (0, 0, 0, 0) becomes dark blue" \
    'setBackground(0.0f, 0.0f, 0.0f, 0.0f)' 'setBackground(0.0f, 0.0f, 0.1f, 0.0f)'
fault $S "grid textures repeat 9 times across v instead of 10" \
    'scaleTexCoords(10.0f, 10.0f)' 'scaleTexCoords(10.0f, 9.0f)'
fault $S "grid material shininess 5 becomes 6" \
    'shininess = 5.0f' 'shininess = 6.0f'
fault $S "grids drawn lit" \
    'setGroupFlags(false, true, true)' 'setGroupFlags(true, true, true)'
fault $S "grids blended by mode 2 (src alpha, 1) instead of 1" \
    'setBlendMode(1)' 'setBlendMode(2)'
fault $S "lowest grid starts at -25 instead of -26" \
    '{0.0f, -26.0f, 0.0f}' '{0.0f, -25.0f, 0.0f}'

# --- Sprite drawing
G=src/gfx/sprite_drawing.cpp
fault $G "sprites: blending not enabled" \
    'glEnable(GL_BLEND);' ';'
fault $G "sprites: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $G "sprites: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $G "sprites: blend (1, 1) becomes (src alpha, 1)" \
    'glBlendFunc(GL_ONE, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE);'
fault $G "sprites: textures filtered smoothly even in low detail" \
    'bindTexture(textured, texture, device.smoothTextures)' 'bindTexture(textured, texture, true)'
fault $G "sprite set: depth mask not restored afterwards" \
    'glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);' \
    'glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);'
fault $G "sprite set: depth test not restored afterwards" \
    'glEnable(GL_DEPTH_TEST);' ';'
fault $G "sprite set: fog not restored afterwards" \
    'glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);' \
    'glEnable(GL_DEPTH_TEST);'
fault $G "particles: depth mask not restored afterwards" \
    'glEnable(GL_FOG);
    glDepthMask(GL_TRUE);' \
    'glEnable(GL_FOG);
    glDepthMask(GL_FALSE);'
fault $G "particles: lighting not restored afterwards" \
    'turns it on.
    glEnable(GL_LIGHTING);' \
    'turns it on.
    glDisable(GL_LIGHTING);'
fault $G "particles: fade runs at half speed" \
    '1.0f - particle.age / particle.lifetime' '1.0f - 0.5f * particle.age / particle.lifetime'
fault $G "sprites: half edge size x 0.5 becomes size x 0.6" \
    'size * 0.5f' 'size * 0.6f'

# --- Mesh drawing, blend modes, materials and texture binding
M=src/gfx/mesh_drawing.cpp
fault $M "meshes: fog colour of blended groups is the background" \
    'group.blended ? NO_FOG_COLOUR : backgroundColour' 'group.blended ? backgroundColour : NO_FOG_COLOUR'
fault $M "meshes: textures bound even when textures are off" \
    'group.textured && device.texturesEnabled' 'group.textured'
fault $M "meshes: view cone cosine 0.894 becomes 0.9" \
    'VIEW_CONE_COSINE = 0.894' 'VIEW_CONE_COSINE = 0.9'
fault src/gfx/material_state.cpp "blend mode 2: (src alpha, 1) becomes (src alpha, 1 - src alpha)" \
    'glBlendFunc(GL_SRC_ALPHA, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);'
fault src/gfx/texture_binding.cpp "textures clamp instead of repeating in t" \
    'GL_TEXTURE_WRAP_T, GLfloat(GL_REPEAT)' 'GL_TEXTURE_WRAP_T, GLfloat(GL_CLAMP)'
fault src/gfx/texture_binding.cpp "smooth and nearest filtering swapped" \
    'smooth ? GLfloat(GL_LINEAR) : GLfloat(GL_NEAREST)' 'smooth ? GLfloat(GL_NEAREST) : GLfloat(GL_LINEAR)'
fault src/gfx/frame_bracket.cpp "frame start: current colour not reset to white" \
    'glColor3f(1.0f, 1.0f, 1.0f);' 'glColor3f(1.0f, 1.0f, 0.5f);'

# The shell, platform and settings faults.
# shellcheck source=seed-faults/shell.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/shell.sh"

# ---------------------------------------------------------------------------------------

die() {
    echo "seed-faults: $*" >&2
    exit 2
}

show() {  # a text on one line, line breaks shown as \n
    local text=${1//$'\n'/\\n}
    printf '%s' "$text"
}

list_faults() {
    local i
    for i in "${!F_FILE[@]}"; do
        printf '%3d  [%s] %s: %s\n       %s  ->  %s\n' $((i + 1)) "${F_KIND[$i]}" "${F_FILE[$i]}" \
            "${F_DESC[$i]}" "$(show "${F_OLD[$i]}")" "$(show "${F_NEW[$i]}")"
    done
}

# edit MODE FILE OLD NEW: MODE count prints how often OLD occurs; MODE apply replaces its
# only occurrence (or fails). The texts go through the environment, so nothing in them is
# special to the shell or to perl.
edit() {
    F_MODE=$1 F_OLD=$3 F_NEW=$4 perl -e '
        my $path = $ARGV[0];
        open(my $in, "<", $path) or die "cannot read $path: $!\n";
        local $/;
        my $text = <$in>;
        close($in);
        my ($old, $new) = ($ENV{F_OLD}, $ENV{F_NEW});
        my ($count, $at, $from) = (0, -1, 0);
        while ((my $k = index($text, $old, $from)) >= 0) {
            $at = $k if $count == 0;
            $count++;
            $from = $k + 1;
        }
        if ($ENV{F_MODE} eq "count") {
            print "$count\n";
            exit 0;
        }
        die "expected one occurrence in $path, found $count\n" if $count != 1;
        substr($text, $at, length($old)) = $new;
        open(my $out, ">", $path) or die "cannot write $path: $!\n";
        print $out $text;
        close($out);
    ' "$2"
}

# --- Options

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=run
tests_from=
work=
keep=0
use_ctest=0
slow=0
select=()
selection=()
while [ $# -gt 0 ]; do
    case $1 in
    --list) mode=list ;;
    --check) mode=check ;;
    --slow) slow=1 ;;
    --tests-from)
        [ $# -ge 2 ] || die "--tests-from needs a revision"
        tests_from=$2
        shift
        ;;
    --work)
        [ $# -ge 2 ] || die "--work needs a directory"
        work=$2
        keep=1
        shift
        ;;
    --keep) keep=1 ;;
    --ctest) use_ctest=1 ;;
    -h | --help)
        sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    -*) die "unknown option $1 (see --help)" ;;
    *) selection+=("$1") ;;
    esac
    shift
done

if [ "$mode" = list ]; then
    list_faults
    exit 0
fi

# The selected fault indices (0-based), in list order; without --slow, the x11 and wine
# faults are left out (and said so when picked by number or word).
chosen=()
if [ ${#selection[@]} -eq 0 ]; then
    for i in "${!F_FILE[@]}"; do
        [ "$slow" = 1 ] || [ "${F_KIND[$i]}" = fast ] && chosen+=("$i")
    done
else
    for i in "${!F_FILE[@]}"; do
        n=$((i + 1))
        for s in "${selection[@]}"; do
            if [ "$s" = fast ] || [ "$s" = x11 ] || [ "$s" = wine ]; then
                [ "${F_KIND[$i]}" = "$s" ] && chosen+=("$i") && break
            elif [[ $s =~ ^[0-9]+$ ]]; then
                [ "$n" -eq "$s" ] && chosen+=("$i") && break
            elif [[ $s =~ ^([0-9]+)-([0-9]+)$ ]]; then
                [ "$n" -ge "${BASH_REMATCH[1]}" ] && [ "$n" -le "${BASH_REMATCH[2]}" ] && chosen+=("$i") && break
            elif [[ "${F_FILE[$i]} ${F_DESC[$i]}" == *"$s"* ]]; then
                chosen+=("$i") && break
            fi
        done
    done
    if [ "$slow" = 0 ]; then
        fast_only=()
        for i in "${chosen[@]}"; do
            if [ "${F_KIND[$i]}" = fast ]; then
                fast_only+=("$i")
            else
                echo "Leaving out fault $((i + 1)) (${F_KIND[$i]}): it needs --slow." >&2
            fi
        done
        chosen=(${fast_only[@]+"${fast_only[@]}"})
    fi
    [ ${#chosen[@]} -gt 0 ] || die "no fault matches: ${selection[*]}"
fi
# Which end-to-end suites the chosen faults need.
need_x11=0
need_wine=0
for i in "${chosen[@]}"; do
    case ${F_KIND[$i]} in
    x11) need_x11=1 ;;
    wine) need_wine=1 ;;
    esac
done

# --- The scratch copy

if [ -z "$work" ]; then
    work=$(mktemp -d /tmp/orvel-faults.XXXXXX)
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
case "$work/" in
"$repo"/*) die "the scratch directory must lie outside the checkout" ;;
esac
src=$work/src
build=$work/build
logs=$work/logs
applied=  # index of the fault now in the scratch tree, if any

cleanup() {
    if [ -n "$applied" ] && [ -f "$work/original" ]; then
        cp "$work/original" "$src/${F_FILE[$applied]}"
    fi
    if [ "$keep" = 0 ]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The files of the working tree: tracked ones that still exist and new unignored ones.
stage=$work/stage
rm -rf "$stage"
mkdir -p "$stage" "$src" "$logs"
git -C "$repo" ls-files -z --cached --others --exclude-standard |
    (cd "$repo" && while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done) |
    tar -C "$repo" --null -T - -cf - | tar -C "$stage" -xf -
if [ -n "$tests_from" ]; then
    git -C "$repo" rev-parse --verify --quiet "$tests_from^{commit}" >/dev/null || die "no revision $tests_from"
    rm -rf "$stage/tests"
    git -C "$repo" archive "$tests_from" tests | tar -C "$stage" -xf -
fi
# Into the scratch tree, touching only files that differ, so that a kept build directory
# rebuilds no more than it must; files gone from the checkout go from the copy too.
(cd "$stage" && find . -type f -print0) | while IFS= read -r -d '' f; do
    if ! cmp -s "$stage/$f" "$src/$f"; then
        mkdir -p "$(dirname "$src/$f")"
        cp "$stage/$f" "$src/$f"
    fi
done
# The copy's build/ (where the windows preset builds Orvel.scr) is no file of the checkout.
(cd "$src" && find . -path ./build -prune -o -type f -print0) | while IFS= read -r -d '' f; do
    [ -e "$stage/$f" ] || rm -f "$src/$f"
done
rm -rf "$stage"

# Every fault, selected or not, must still match exactly once.
stale=0
for i in "${!F_FILE[@]}"; do
    file=$src/${F_FILE[$i]}
    if [ ! -f "$file" ]; then
        echo "STALE $((i + 1)): ${F_FILE[$i]} does not exist" >&2
        stale=1
        continue
    fi
    count=$(edit count "$file" "${F_OLD[$i]}" "")
    if [ "$count" != 1 ]; then
        echo "STALE $((i + 1)): ${F_FILE[$i]}: '$(show "${F_OLD[$i]}")' found $count times (${F_DESC[$i]})" >&2
        stale=1
    fi
done
[ "$stale" = 0 ] || die "the fault list no longer matches the sources; fix the entries above"
echo "All ${#F_FILE[@]} fault texts occur exactly once."
[ "$mode" = check ] && exit 0

# --- Build and baseline

jobs=2
started=$(date +%s)
build_tests() { make -C "$build/tests" -j"$jobs" >"$1" 2>&1; }
# For the x11 and wine faults: the whole linux build (the X11 program and the end-to-end
# helpers with the tests), and the windows preset's Orvel.scr in the copy's build/windows.
windows=$src/build/windows
build_all() { make -C "$build" -j"$jobs" >"$1" 2>&1; }
build_windows() { cmake --build "$windows" -j"$jobs" >"$1" 2>&1; }

# The end-to-end cases of a kind of fault, chosen by name, whatever label or test preset
# they are registered under: each X11 case has an Xvfb of its own, so two run at once; the
# Wine cases share one prefix and run one after another, and all of them run, so that
# the suite's own cleanup ends its X server and wineserver.
e2e_pattern() {
    case $1 in
    x11) echo '^e2e\.' ;;
    wine) echo '^(wine|windows)\.' ;;
    esac
}
run_e2e() {  # KIND LOG
    if [ "$1" = x11 ]; then
        ctest --test-dir "$build/tests" -R "$(e2e_pattern x11)" -j"$jobs" --timeout 120 --stop-on-failure \
            --output-on-failure >"$2" 2>&1
    else
        # The x86 build is the same code for another processor: its cases and checks (which
        # need the windows-x86 build, and 32-bit Wine) are left to the test presets.
        ctest --test-dir "$build/tests" -R "$(e2e_pattern wine)" -E '\.x86' --timeout 300 --output-on-failure \
            >"$2" 2>&1
    fi
}

# The fast tests are those labelled unit or render; in older trees, whose unit tests have
# no label, those under tests/ that are no end-to-end, install, layering, memcheck or
# fuzz tests. ctest runs each GoogleTest case as a process of its own; here the cases
# of one program (with the same arguments and environment) run in one process instead,
# which is the same tests at a fraction of the start-up cost. --ctest runs them through
# ctest itself.
plan_tests() {
    if ctest --test-dir "$build/tests" -N -L unit | grep -q 'Total Tests: [1-9]'; then
        select=(-L 'unit|render')
    else
        select=(-LE 'e2e|install|layering|memcheck|fuzz')
    fi
    ctest --test-dir "$build/tests" "${select[@]}" --show-only=json-v1 >"$work/tests.json"
    perl -MJSON::PP -e '
        local $/;
        my $info = decode_json(<STDIN>);
        my (%groups, @order);
        for my $test (@{$info->{tests}}) {
            my @command = @{$test->{command} || []};
            next unless @command;
            my ($dir, @env) = (".", ());
            for my $p (@{$test->{properties} || []}) {
                $dir = $p->{value} if $p->{name} eq "WORKING_DIRECTORY";
                @env = @{$p->{value}} if $p->{name} eq "ENVIRONMENT";
            }
            my @filter = map { /^--gtest_filter=(.*)$/ ? ($1) : () } @command;
            my @args = grep { !/^--gtest_filter=/ } @command;
            my $key = join("\x1f", $dir, @env, "", @args) . (@filter ? "" : "\x1e$test->{name}");
            push @order, $key unless $groups{$key};
            $groups{$key} ||= {dir => $dir, env => [@env], args => [@args], names => [], gtest => scalar @filter};
            push @{$groups{$key}{names}}, @filter;
        }
        for my $key (@order) {
            my $g = $groups{$key};
            my $filter = $g->{gtest} ? join(":", @{$g->{names}}) : "";
            print join("\x1d", $g->{dir}, join("\x1f", @{$g->{env}}), join("\x1f", @{$g->{args}}), $filter), "\n";
        }
    ' <"$work/tests.json" >"$work/test-groups"
    [ -s "$work/test-groups" ] || die "no tests found under $build/tests"
}

# run_group LINE LOG: one line of the plan (directory, environment, command and filter,
# separated by \x1d; lists within them by \x1f), stopping at its first failure.
run_group() {
    local dir env args filter
    IFS=$'\x1d' read -r dir env args filter <<<"$1"
    local -a envs=() argv=()
    [ -n "$env" ] && IFS=$'\x1f' read -r -a envs <<<"$env"
    IFS=$'\x1f' read -r -a argv <<<"$args"
    if [ -n "$filter" ]; then
        argv+=("--gtest_filter=$filter" --gtest_fail_fast)
    fi
    (cd "$dir" && env "${envs[@]}" timeout 300 "${argv[@]}") >>"$2" 2>&1
}

# run_tests LOG [STAMP]: all fast tests, those of programs rebuilt after STAMP first;
# stops at the first failure.
run_tests() {
    local log=$1 stamp=${2:-} line exe _
    : >"$log"
    if [ "$use_ctest" = 1 ]; then
        ctest --test-dir "$build/tests" "${select[@]}" -j"$jobs" --timeout 300 --stop-on-failure \
            --output-on-failure >"$log" 2>&1
        return
    fi
    local -a first=() later=()
    while IFS= read -r line; do
        IFS=$'\x1d' read -r _ _ exe _ <<<"$line"
        exe=${exe%%$'\x1f'*}
        if [ -n "$stamp" ] && [ "$exe" -nt "$stamp" ]; then first+=("$line"); else later+=("$line"); fi
    done <"$work/test-groups"
    for line in "${first[@]}" "${later[@]}"; do
        run_group "$line" "$log" || return 1
    done
}

# The name of the first failing test in a log, if it says.
first_failure() {
    grep -m1 -oE '(\[  FAILED  \] [^ ,]+|[^ ]+ \.+\**(Failed|Timeout|Exception|Not Run))' "$1" |
        sed -E 's/^\[  FAILED  \] //; s/ \.+.*//' || true
}

# The end-to-end cases are registered only when a chosen fault needs them.
e2e=OFF
e2e_wine=OFF
[ "$need_x11" = 1 ] && e2e=ON
[ "$need_wine" = 1 ] && e2e=ON && e2e_wine=ON
echo "Scratch copy in $work; configuring and building the tests ..."
if ! (cd "$src" && cmake --preset linux -B "$build" -DORVEL_E2E=$e2e -DORVEL_E2E_WINE=$e2e_wine \
    -DORVEL_MEMCHECK=OFF) >"$logs/configure.log" 2>&1; then
    keep=1
    die "configuring failed, see $logs/configure.log"
fi
if ! build_tests "$logs/baseline-build.log"; then
    keep=1
    die "the unchanged tree does not build, see $logs/baseline-build.log"
fi
plan_tests
if ! run_tests "$logs/baseline-test.log"; then
    keep=1
    die "the unchanged tree fails its tests ($(first_failure "$logs/baseline-test.log")), see $logs/baseline-test.log"
fi
if [ "$e2e" = ON ]; then
    build_all "$logs/baseline-build-all.log" || die "the unchanged linux build fails, see $logs/baseline-build-all.log"
fi
if [ "$need_wine" = 1 ]; then
    if ! (cd "$src" && cmake --preset windows) >"$logs/configure-windows.log" 2>&1; then
        keep=1
        die "configuring the windows preset failed, see $logs/configure-windows.log"
    fi
    build_windows "$logs/baseline-build-windows.log" ||
        die "the unchanged windows build fails, see $logs/baseline-build-windows.log"
fi
for kind in x11 wine; do
    need=need_$kind
    [ "${!need}" = 1 ] || continue
    ctest --test-dir "$build/tests" -N -R "$(e2e_pattern $kind)" | grep -q 'Total Tests: [1-9]' ||
        die "no end-to-end cases match $(e2e_pattern $kind) in $build/tests"
    echo "Running the unchanged tree's $kind end-to-end cases ..."
    if ! run_e2e "$kind" "$logs/baseline-$kind.log"; then
        keep=1
        die "the unchanged tree fails its $kind end-to-end cases ($(first_failure "$logs/baseline-$kind.log")), see $logs/baseline-$kind.log"
    fi
done
echo "Baseline built and passing in $(($(date +%s) - started)) s; $(wc -l <"$work/test-groups") test programs."

# --- One fault at a time

# Whether a fast test program was rebuilt after STAMP: if none was, the fast tests would
# only repeat the baseline.
tests_rebuilt() {
    local line exe _
    while IFS= read -r line; do
        IFS=$'\x1d' read -r _ _ exe _ <<<"$line"
        exe=${exe%%$'\x1f'*}
        [ "$exe" -nt "$1" ] && return 0
    done <"$work/test-groups"
    return 1
}

# build_fault N KIND: the builds a fault of that kind needs.
build_fault() {
    case $2 in
    fast) build_tests "$logs/fault-$1-build.log" ;;
    x11) build_all "$logs/fault-$1-build.log" ;;
    wine) build_all "$logs/fault-$1-build.log" && build_windows "$logs/fault-$1-build-windows.log" ;;
    esac
}

caught=0
survivors=()
broken=()
declare -A kind_caught=([fast]=0 [x11]=0 [wine]=0) kind_total=([fast]=0 [x11]=0 [wine]=0)
for i in "${chosen[@]}"; do
    n=$((i + 1))
    kind=${F_KIND[$i]}
    file=$src/${F_FILE[$i]}
    t0=$(date +%s)
    cp "$file" "$work/original"
    applied=$i
    edit apply "$file" "${F_OLD[$i]}" "${F_NEW[$i]}" || die "could not apply fault $n"
    touch "$work/stamp"
    kind_total[$kind]=$((kind_total[$kind] + 1))
    : >"$logs/fault-$n-test.log"
    if ! build_fault "$n" "$kind"; then
        result="DID NOT BUILD"
        broken+=("$n: ${F_FILE[$i]}: ${F_DESC[$i]}")
    elif { [ "$kind" = fast ] || tests_rebuilt "$work/stamp"; } &&
        ! run_tests "$logs/fault-$n-test.log" "$work/stamp"; then
        by=$(first_failure "$logs/fault-$n-test.log")
        result="caught${by:+ by $by}"
        caught=$((caught + 1))
        kind_caught[$kind]=$((kind_caught[$kind] + 1))
    elif [ "$kind" = fast ] || run_e2e "$kind" "$logs/fault-$n-$kind.log"; then
        result="SURVIVED"
        survivors+=("$n: ${F_FILE[$i]}: ${F_DESC[$i]}")
    else
        by=$(first_failure "$logs/fault-$n-$kind.log")
        result="caught${by:+ by $by}"
        caught=$((caught + 1))
        kind_caught[$kind]=$((kind_caught[$kind] + 1))
    fi
    # Back to the original text; a plain copy gives the file a new time, so the next
    # build compiles it again.
    cp "$work/original" "$file"
    applied=
    printf '%3d  %-4s %-58s %s (%d s)\n' "$n" "$kind" "${F_DESC[$i]}" "$result" $(($(date +%s) - t0))
done

total=${#chosen[@]}
echo
echo "$caught of $total seeded faults caught ($(($(date +%s) - started)) s)."
for kind in fast x11 wine; do
    if [ "${kind_total[$kind]}" -gt 0 ]; then echo "  $kind: ${kind_caught[$kind]} of ${kind_total[$kind]}"; fi
done
if [ ${#survivors[@]} -gt 0 ]; then
    echo "Survivors:"
    printf '  %s\n' "${survivors[@]}"
fi
if [ ${#broken[@]} -gt 0 ]; then
    echo "Did not build (fix these entries):"
    printf '  %s\n' "${broken[@]}"
fi
[ "$caught" -eq "$total" ]
exit
}
