#!/usr/bin/env bash
# Seeds small faults into the code one at a time and checks that the tests notice each of
# them: the frame's formulas, constants and render state (seed-faults/frame.sh), the shell
# (seed-faults/shell.sh), the settings code and the platform layers
# (seed-faults/platform.sh), and the Wayland program and the choice of it
# (seed-faults/wayland.sh).
#
# Each fault names what can see it. Most are "fast": the fast tests (unit and render) run
# against them. Those in code that only the real programs run are "x11" (the X11 program
# under Xvfb: its end-to-end cases, e2e.x11.*), "wayland" (orvel-wayland under a compositor:
# the cases e2e.wayland.*, or only those the fault names) or "wine" (Orvel.scr under
# Wine: the cases wine.* and windows.*); they take seconds to minutes each and run only
# with --slow.
#
# Everything happens in a scratch copy of the checkout (the tracked files and any new,
# unignored ones, as they are in the working tree): the checkout itself is only read.
# The copy is configured like the linux preset without the end-to-end tests (with them
# under --slow), built once, and its tests must pass before any fault is seeded. Then,
# for each fault: apply it, rebuild incrementally, run the tests, note whether they
# caught it, take it out again. An x11, wayland or wine fault the fast tests miss then
# goes to its end-to-end cases: the linux programs are rebuilt for x11 and wayland, the
# windows preset's Orvel.scr (in the copy's build/windows, where the Wine cases look)
# for wine.
#
# Usage: tools/seed-faults.sh [options] [selection...]
#   --list             print the numbered faults, with the tests each needs, and exit
#   --check            only check that every fault's text occurs exactly once
#   --slow             also run the x11, wayland and wine faults, each against its
#                      end-to-end cases as well (needs Xvfb and xdotool; sway and the
#                      other compositors for wayland; Wine and MinGW-w64 for wine)
#   --tests-from REV   take tests/ from revision REV instead of the working tree, to
#                      score today's code against older tests
#   --work DIR         use DIR as the scratch directory and keep it; a later run with the
#                      same DIR copies only changed files and rebuilds incrementally
#   --keep             keep the temporary scratch directory
#   --ctest            run the fast tests through ctest, one process per test case,
#                      rather than each test program once with all its cases
#   selection          fault numbers (7), ranges (3-9), the kinds fast, x11, wayland and
#                      wine, or
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
F_CASES=()
# fault FILE DESCRIPTION OLD-TEXT NEW-TEXT: OLD-TEXT must occur exactly once in FILE.
# fault_x11 and fault_wine: the same, for a fault only those end-to-end cases can see.
# fault_wayland FILE DESCRIPTION OLD-TEXT NEW-TEXT [CASES]: one only orvel-wayland's
# cases can see; CASES names those that can (e2e.wayland.NAME), all of them when empty.
fault() { add_fault fast "$1" "$2" "$3" "$4" ""; }
fault_x11() { add_fault x11 "$1" "$2" "$3" "$4" ""; }
fault_wine() { add_fault wine "$1" "$2" "$3" "$4" ""; }
fault_wayland() { add_fault wayland "$1" "$2" "$3" "$4" "${5:-}"; }
add_fault() {
    F_KIND+=("$1")
    F_FILE+=("$2")
    F_DESC+=("$3")
    F_OLD+=("$4")
    F_NEW+=("$5")
    F_CASES+=("$6")
}

# The lists, numbered in this order.
# shellcheck source=seed-faults/frame.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/frame.sh"
# shellcheck source=seed-faults/shell.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/shell.sh"
# shellcheck source=seed-faults/platform.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/platform.sh"
# shellcheck source=seed-faults/wayland.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/wayland.sh"

# shellcheck source=seed-faults/steps.sh
. "$(dirname "${BASH_SOURCE[0]}")/seed-faults/steps.sh"

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

# The selected fault indices (0-based), in list order; without --slow, the x11, wayland
# and wine faults are left out (and said so when picked by number or word).
chosen=()
if [ ${#selection[@]} -eq 0 ]; then
    for i in "${!F_FILE[@]}"; do
        [ "$slow" = 1 ] || [ "${F_KIND[$i]}" = fast ] && chosen+=("$i")
    done
else
    for i in "${!F_FILE[@]}"; do
        n=$((i + 1))
        for s in "${selection[@]}"; do
            if [ "$s" = fast ] || [ "$s" = x11 ] || [ "$s" = wayland ] || [ "$s" = wine ]; then
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
need_wayland=0
need_wine=0
wayland_cases=()  # the Wayland cases the chosen faults name; all of them when one names none
wayland_all=0
for i in "${chosen[@]}"; do
    case ${F_KIND[$i]} in
    x11) need_x11=1 ;;
    wayland)
        need_wayland=1
        if [ -z "${F_CASES[$i]}" ]; then wayland_all=1; fi
        read -r -a named <<<"${F_CASES[$i]}"
        wayland_cases+=(${named[@]+"${named[@]}"})
        ;;
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

# The end-to-end cases are registered only when a chosen fault needs them.
e2e=OFF
e2e_wine=OFF
[ "$need_x11" = 1 ] && e2e=ON
[ "$need_wayland" = 1 ] && e2e=ON
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
for kind in x11 wayland wine; do
    need=need_$kind
    [ "${!need}" = 1 ] || continue
    pattern=$(e2e_pattern $kind)
    if [ "$kind" = wayland ] && [ "$wayland_all" = 0 ]; then
        pattern=$(wayland_pattern "${wayland_cases[*]}")
        for name in "${wayland_cases[@]}"; do
            ctest --test-dir "$build/tests" -N -R "^e2e\.wayland\.$name\$" | grep -q 'Total Tests: 1' ||
                die "no Wayland case $name in $build/tests"
        done
    fi
    ctest --test-dir "$build/tests" -N -R "$pattern" | grep -q 'Total Tests: [1-9]' ||
        die "no end-to-end cases match $pattern in $build/tests"
    echo "Running the unchanged tree's $kind end-to-end cases ..."
    if ! run_e2e "$kind" "$logs/baseline-$kind.log" "$pattern"; then
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
    x11 | wayland) build_all "$logs/fault-$1-build.log" ;;
    wine) build_all "$logs/fault-$1-build.log" && build_windows "$logs/fault-$1-build-windows.log" ;;
    esac
}

caught=0
survivors=()
broken=()
declare -A kind_caught=([fast]=0 [x11]=0 [wayland]=0 [wine]=0) kind_total=([fast]=0 [x11]=0 [wayland]=0 [wine]=0)
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
    elif [ "$kind" = fast ] || run_e2e "$kind" "$logs/fault-$n-$kind.log" "$(fault_pattern "$i")"; then
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
    printf '%3d  %-7s %-58s %s (%d s)\n' "$n" "$kind" "${F_DESC[$i]}" "$result" $(($(date +%s) - t0))
done

total=${#chosen[@]}
echo
echo "$caught of $total seeded faults caught ($(($(date +%s) - started)) s)."
for kind in fast x11 wayland wine; do
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
