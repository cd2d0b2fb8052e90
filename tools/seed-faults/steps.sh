# The pieces tools/seed-faults.sh runs with: its messages, the list, the one-place edit,
# and building and running the tests in the scratch copy. Sourced by it; they read its
# settings ($build, $jobs, $src, the selected tests) when they run.

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
        if [ -n "${F_CASES[$i]}" ]; then printf '       cases: %s\n' "${F_CASES[$i]}"; fi
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

# The end-to-end cases of a kind of fault, chosen by name, whatever label or test preset
# they are registered under: each X11 case has an Xvfb of its own and each Wayland case a
# compositor of its own, so two run at once; the Wine cases share one prefix and run one
# after another, and all of them run, so that the suite's own cleanup ends its X server
# and wineserver. A Wayland fault may name the only cases that can see it.
e2e_pattern() {
    case $1 in
    x11) echo '^e2e\.x11\.' ;;
    wayland) echo '^e2e\.wayland\.' ;;
    wine) echo '^(wine|windows)\.' ;;
    esac
}
wayland_pattern() {  # "CASE CASE ...": those cases by their whole names
    local names
    names=$(tr -s ' ' '|' <<<"$1")
    echo "^e2e\.wayland\.($names)\$"
}
fault_pattern() {  # INDEX: the cases that fault goes to
    if [ "${F_KIND[$1]}" = wayland ] && [ -n "${F_CASES[$1]}" ]; then
        wayland_pattern "${F_CASES[$1]}"
    else
        e2e_pattern "${F_KIND[$1]}"
    fi
}
run_e2e() {  # KIND LOG [PATTERN]
    if [ "$1" = x11 ] || [ "$1" = wayland ]; then
        local limit=120
        [ "$1" = x11 ] || limit=180  # the Wayland cases' own limit
        ctest --test-dir "$build/tests" -R "${3:-$(e2e_pattern "$1")}" -j"$jobs" --timeout "$limit" --stop-on-failure \
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
