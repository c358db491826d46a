#!/bin/sh
# Plants the faults of scripts/mutations.txt one at a time, rebuilds what the tests of the
# folder concerned need, runs those tests, puts the file back, and prints per fault whether
# the tests caught it. Not part of CI: run it before a closing note.
#
#   sh scripts/mutate.sh            every fault of the list
#   sh scripts/mutate.sh ID ...     the named faults only
#   sh scripts/mutate.sh -l         the list, nothing run
#   sh scripts/mutate.sh -c         whether every fault's text is still found, nothing run
#
# Builds and tests run under the machine-wide build lock, one fault at a time, so other
# builds go on between two faults. The planted file is always put back, also when the run
# is interrupted; a run killed outright (kill -9) is mended by the next one, which finds the
# copy it left in build/mutate/.
set -eu
top=$(git rev-parse --show-toplevel)
cd "$top"
list=scripts/mutations.txt
state=$top/build/mutate
export CCACHE_DIR=/var/cache/zukaro-ccache CCACHE_BASEDIR=/work CCACHE_NOHASHDIR=1 \
    CCACHE_MAXSIZE=20G QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_DUMP=1

# The list's parser and the planting, in Python: exact texts, blanks matched loosely.
helper() {
    python3 - "$@" <<'PY'
import os, re, sys

def faults(path):
    out, current = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.rstrip("\n")
        if line.startswith("#") or (not line.strip() and current is None):
            continue
        if line.startswith("== "):
            current = {"id": line[3:].strip(), "file": "", "tests": "", "what": "", "hunks": []}
            out.append(current)
        elif current is None or not line.strip():
            continue
        elif line.startswith("- ") or line == "-":
            hunks = current["hunks"]
            if not hunks or hunks[-1][1]:
                hunks.append([[], []])
            hunks[-1][0].append(line[2:])
        elif line.startswith("+ ") or line == "+":
            current["hunks"][-1][1].append(line[2:])
        else:
            key, _, value = line.partition(":")
            current[key.strip()] = value.strip()
    return out

def pattern(lines):
    # Each line matched apart from the blanks around it; a run of blanks inside a line
    # matches any run of blanks.
    parts = [r"\s+".join(re.escape(w) for w in l.split()) for l in lines]
    return r"[ \t]*\n[ \t]*".join(parts)

def tests_of(folder):
    cmake = os.path.join(folder, "tests", "CMakeLists.txt")
    if not os.path.isfile(cmake):
        return []
    text = open(cmake, encoding="utf-8").read()
    return re.findall(r"(?:zukaro_add_qtest|add_executable)\((tst_\w+)", text)

def tests(words):
    known = [t for d in sorted(os.listdir(".")) for t in tests_of(d)]
    names = []
    for word in words:
        if tests_of(word):
            names += tests_of(word)
        elif word in known:
            names.append(word)
        else:
            sys.exit("mutate: %s is neither a folder with tests nor a test" % word)
    return list(dict.fromkeys(names))

command, args = sys.argv[1], sys.argv[2:]
all_faults = faults(args[0])
if command == "index":
    wanted = set(args[1:])
    for f in all_faults:
        if not wanted or f["id"] in wanted:
            folder = f["file"].split("/")[0]
            print("\t".join([f["id"], f["file"], f["tests"] or folder, f["what"]]))
elif command in ("apply", "check"):
    problems = 0
    for f in all_faults:
        if command == "apply" and f["id"] != args[1]:
            continue
        if not os.path.isfile(f["file"]) or not f["hunks"]:
            print("%s: no file %s or nothing to plant" % (f["id"], f["file"]))
            problems += 1
            continue
        text = open(f["file"], encoding="utf-8").read()
        for find, replace in f["hunks"]:
            found = list(re.finditer(pattern(find), text))
            if len(found) != 1:
                print("%s: %s in %s: %s" % (f["id"], "not found" if not found else
                                            "found %d times" % len(found), f["file"],
                                            " / ".join(l.strip() for l in find)))
                problems += 1
                break
            m = found[0]
            text = text[:m.start()] + "\n".join(replace) + text[m.end():]
        else:
            if command == "apply":
                open(f["file"], "w", encoding="utf-8").write(text)
    sys.exit(3 if problems else 0)
elif command == "targets":
    print(" ".join(tests(args[1].split())))
PY
}

if [ "${1:-}" = "-l" ]; then
    helper index "$list" | awk -F '\t' '{ printf "%-34s %-32s %s\n", $1, $2, $4 }'
    exit 0
fi
if [ "${1:-}" = "-c" ]; then
    helper check "$list" && echo "mutate: every fault of $list applies"
    exit
fi

mkdir -p "$state"
# A run that was killed outright left its planted file behind: put it back first.
if [ -f "$state/path" ]; then
    echo "mutate: putting back $(cat "$state/path") from an interrupted run"
    cp "$state/original" "$(cat "$state/path")"
    rm -f "$state/path" "$state/original"
fi
child=""
putBack() {
    # The build or test run of the moment goes first (its own process group), then the file.
    if [ -n "$child" ]; then
        kill -TERM -- "-$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
        child=""
    fi
    if [ -f "$state/path" ]; then
        cp "$state/original" "$(cat "$state/path")"
        rm -f "$state/path" "$state/original"
    fi
}
trap 'putBack' EXIT
trap 'putBack; trap - EXIT; exit 130' INT
trap 'putBack; trap - EXIT; exit 143' TERM
trap 'putBack; trap - EXIT; exit 129' HUP

index=$(helper index "$list" "$@")
[ -n "$index" ] || { echo "mutate: no such fault in $list" >&2; exit 2; }

# Builds the test programs (and what they need) and runs their tests, under the lock.
# Prints the names of the tests that failed; exit 1 when one did, 2 when the build failed.
buildAndTest() {
    targets=$(helper targets "$list" "$1")
    regex="^($(echo "$targets" | tr ' ' '|'))(_.*)?\$"
    # In the background and in a process group of its own, so that an interruption stops it
    # at once (a shell runs its traps only after a foreground command has ended).
    setsid flock -o /tmp/zukaro-build.lock sh -c '
        log=$1; shift; regex=$1; shift
        cmake --build build --parallel 2 --target "$@" >"$log.build" 2>&1 || exit 2
        cd build
        # The CUPS test needs its own server (scripts/test-printer.sh); it has its own checks.
        ctest --parallel 2 -R "$regex" -LE cups >"$log" 2>&1
    ' sh "$state/log" "$regex" $targets &
    child=$!
    status=0
    wait "$child" || status=$?
    child=""
    return $status
}

# The whole build, under the lock, as every build here.
zbuild() {
    flock -o /tmp/zukaro-build.lock cmake --build build --parallel 2
}

# The tests the list uses must pass as the code stands, or nothing it says means anything.
echo "mutate: building and checking the tests unplanted"
if ! zbuild >"$state/log.build" 2>&1; then
    echo "mutate: the code does not build without any planted fault; see $state/log.build" >&2
    exit 1
fi
alltests=$(echo "$index" | cut -f3 | tr '\n' ' ')
if ! buildAndTest "$alltests"; then
    echo "mutate: the tests fail without any planted fault; see $state/log" >&2
    exit 1
fi

report="$state/report.md"
printf '| fault | file | tests | result |\n|---|---|---|---|\n' >"$report"
caught=0 survived=0 skipped=0
echo "$index" >"$state/index"
while IFS="$(printf '\t')" read -r id file tests what; do
    cp "$file" "$state/original"
    echo "$file" >"$state/path"
    if ! reason=$(helper apply "$list" "$id"); then
        result="not applied ($reason)"
        skipped=$((skipped + 1))
    else
        status=0
        buildAndTest "$tests" || status=$?
        if [ $status -eq 2 ]; then
            result="does not build"
            skipped=$((skipped + 1))
        elif [ $status -ne 0 ]; then
            failed=$(sed -n 's/^[[:space:]]*[0-9]* - \(tst_[^ ]*\).*/\1/p' "$state/log" |
                sort -u | tr '\n' ' ')
            result="caught (${failed% })"
            caught=$((caught + 1))
        else
            result="SURVIVED"
            survived=$((survived + 1))
        fi
    fi
    putBack
    printf '%-34s %s\n' "$id" "$result"
    printf '| %s: %s | %s | %s | %s |\n' "$id" "$what" "$file" "$tests" "$result" >>"$report"
done <"$state/index"
applied=$((caught + survived))
summary="caught $caught of $applied planted faults"
[ $applied -gt 0 ] && summary="$summary ($((100 * caught / applied)) %)"
[ $skipped -gt 0 ] && summary="$summary; $skipped not applied or not built"
echo "mutate: $summary"
printf '\n%s\n' "$summary" >>"$report"
echo "mutate: table in $report"
