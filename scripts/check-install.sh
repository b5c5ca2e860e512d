#!/usr/bin/env bash
# Checks that Scopewatch installs like a Linux desktop program, from a build folder that is
# already built (default build/): installs it into a temporary prefix and checks the files
# there, validates the desktop entry and the AppStream metainfo, runs the installed tools from
# outside the build tree, checks the manual pages, the copyright file and the changelog,
# starts the menu launcher, then builds the Debian package and checks its contents and
# control fields, and runs lintian on it when lintian is installed. Nothing is installed on
# the system itself.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
app_id=io.github.scopewatch.Scopewatch
tools=(scopewatch-build-db scopewatch-demo-host scopewatch-make-demo-sim scopewatch-render
       scopewatch-replay-info)
commands=(scopewatch "${tools[@]}")

# The space in the name is on purpose: installed paths must survive one.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/scopewatch check.XXXXXX")
launched=""
cleanup() {
    if [ -n "$launched" ]; then
        kill "$launched" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'echo "check-install: stopped by a failing command at line $LINENO"' ERR

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    echo "FAILED: $*"
    failed=$((failed + 1))
}
expect_equal() {  # what, actual, expected
    if [ "$2" == "$3" ]; then
        pass
    else
        fail "$1"$'\n'"  got:      $2"$'\n'"  expected: $3"
    fi
}

# Every file an install holds, relative to its prefix: the program and the tools with their
# manual pages, the launcher, the desktop files, the sounds, the README and docs/ as they stand
# in the source tree, the copyright file, the changelog and what lintian is told.
expected_files() {
    local command
    for command in "${commands[@]}"; do
        printf '%s\n' "bin/$command" "share/man/man1/$command.1.gz"
    done
    printf '%s\n' libexec/scopewatch/scopewatch-launcher "share/applications/$app_id.desktop" \
        "share/icons/hicolor/scalable/apps/$app_id.svg" "share/metainfo/$app_id.metainfo.xml" \
        share/doc/scopewatch/README.md share/doc/scopewatch/copyright \
        share/doc/scopewatch/changelog.gz share/lintian/overrides/scopewatch
    find data/sounds -type f -printf 'share/scopewatch/sounds/%P\n'
    find docs -type f -printf 'share/doc/scopewatch/docs/%P\n'
}

check_tree() {  # what, root
    expect_equal "$1 holds exactly the installed files" \
        "$(find "$2" -type f -printf '%P\n' | sort)" "$(expected_files | sort)"
}

check_desktop_files() {  # root, expected Exec value
    local desktop="$1/share/applications/$app_id.desktop"
    if desktop-file-validate "$desktop"; then pass; else fail "desktop-file-validate $desktop"; fi
    if appstreamcli validate --no-net "$1/share/metainfo/$app_id.metainfo.xml" >/dev/null &&
        appstreamcli validate-tree --no-net "$1" >/dev/null; then
        pass
    else
        fail "appstreamcli validate"
    fi
    expect_equal "the desktop entry starts the launcher" "$(grep '^Exec=' "$desktop")" "Exec=$2"
    expect_equal "the desktop entry names the icon" "$(grep '^Icon=' "$desktop")" "Icon=$app_id"
}

# The program answers --help and --version without a display; it reads a wrong option only
# once it has one (after Qt took its own options), here the offscreen one.
check_tool_command_lines() {  # bin folder
    local tool output
    for tool in "${commands[@]}"; do
        output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$1/$tool" --help 2>/dev/null) ||
            fail "$tool --help exits with $?"
        expect_equal "$tool --help" "$(head -n 1 <<<"$output" | cut -d ' ' -f 1-2)" "Usage: $tool"
        expect_equal "$tool --version" "$(env -u DISPLAY -u WAYLAND_DISPLAY "$1/$tool" --version \
            2>/dev/null)" "Scopewatch 1.0"
        local status=0
        QT_QPA_PLATFORM=offscreen "$1/$tool" --no-such-option >"$scratch/out" 2>"$scratch/err" ||
            status=$?
        expect_equal "$tool with a wrong option: exit code, output, error lines" \
            "$status $(wc -c <"$scratch/out") $(grep -cv 'XDG_RUNTIME_DIR' "$scratch/err")" "2 0 1"
    done
}

check_tools_outside_the_build_tree() {  # bin folder
    local work="$scratch/work"
    mkdir -p "$work"
    if (cd "$work" && "$1/scopewatch-make-demo-sim" demo-sim >/dev/null &&
        "$1/scopewatch-build-db" demo-sim >build-db.log &&
        "$1/scopewatch-render" --workdir . --airport 0 --zoom 9 --size 64x48 --out scope.png \
            >/dev/null 2>&1); then
        pass
    else
        fail "the installed tools build and draw the demo database in $work"
    fi
    expect_equal "the installed scopewatch-build-db writes both files and finds airports" \
        "$(cd "$work" && ls atc_settings.tcs world_airports.dat scope.png 2>&1 | xargs) \
$(grep -Ec ' [1-9][0-9]* airports,' "$work/build-db.log")" \
        "atc_settings.tcs scope.png world_airports.dat 1"
}

# The manual pages: man finds each command's page in the install and shows it without a
# complaint, its NAME line names the command. Also the changelog's newest version.
check_documentation() {  # root
    local command page complaints
    for command in "${commands[@]}"; do
        page=$(MANPATH="$1/share/man" man -w "$command" 2>&1) || true
        complaints=$(MANPATH="$1/share/man" MANWIDTH=80 man --warnings "$command" 2>&1 \
            >/dev/null) || true
        expect_equal "man $command: the page, its NAME line, complaints" \
            "$page $(lexgrog "$page" 2>&1 | cut -d '"' -f 2 | cut -d ' ' -f 1-2) $complaints" \
            "$1/share/man/man1/$command.1.gz $command - "
    done
    zcat "$1/share/doc/scopewatch/changelog.gz" >"$scratch/changelog"
    expect_equal "the changelog's newest entry and the copyright file's format" \
        "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version) \
$(head -n 1 "$1/share/doc/scopewatch/copyright")" \
        "1.0 Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
}

# Starts the launcher with the environment given, waits until it has become the installed
# program, and prints the folder that program runs in.
launched_folder() {
    local program=$prefix/bin/scopewatch
    env "$@" QT_QPA_PLATFORM=offscreen "$prefix/libexec/scopewatch/scopewatch-launcher" \
        >/dev/null 2>&1 &
    launched=$!
    local tries
    for tries in $(seq 100); do
        if [ "$(readlink "/proc/$launched/exe" 2>/dev/null)" == "$program" ]; then
            break
        fi
        sleep 0.1
    done
    readlink "/proc/$launched/cwd" || echo "(not running)"
    kill "$launched" 2>/dev/null || true
    wait "$launched" 2>/dev/null || true
    launched=""
}

check_launcher() {
    expect_equal "the launcher starts the program in \$XDG_DATA_HOME/scopewatch" \
        "$(launched_folder XDG_DATA_HOME="$scratch/data home")" "$scratch/data home/scopewatch"
    mkdir -p "$scratch/home"
    expect_equal "without a usable XDG_DATA_HOME, in ~/.local/share/scopewatch" \
        "$(launched_folder -u XDG_DATA_HOME HOME="$scratch/home") $(launched_folder \
            XDG_DATA_HOME=relative HOME="$scratch/home")" \
        "$scratch/home/.local/share/scopewatch $scratch/home/.local/share/scopewatch"
    touch "$scratch/blocked"
    local status=0
    XDG_DATA_HOME="$scratch/blocked" "$prefix/libexec/scopewatch/scopewatch-launcher" \
        2>"$scratch/err" || status=$?
    expect_equal "a data folder that cannot be made stops the launcher and says so" \
        "$status $(grep -c 'cannot use the data folder' "$scratch/err")" "1 1"
}

check_package() {
    local package="$scratch/package"
    if ! (cd "$build" && cpack -G DEB -B "$package" >"$scratch/cpack.log" 2>&1); then
        cat "$scratch/cpack.log"
        fail "cpack -G DEB"
        return
    fi
    local debs=("$package"/scopewatch_*.deb)
    local deb=${debs[0]}
    expect_equal "one package, named after its version and architecture" \
        "${#debs[@]} $(basename "$deb")" "1 scopewatch_1.0_$(dpkg --print-architecture).deb"
    expect_equal "the package holds exactly the installed files" \
        "$(dpkg-deb -c "$deb" | awk '/^-/ { print $6 }' | sed 's|^\./usr/||' | sort)" \
        "$(expected_files | sort)"
    expect_equal "control fields" \
        "$(dpkg-deb -f "$deb" Package Version Architecture Section | xargs)" \
        "Package: scopewatch Version: 1.0 Architecture: $(dpkg --print-architecture) Section: x11"
    local depends description maintainer
    depends=$(dpkg-deb -f "$deb" Depends)
    description=$(dpkg-deb -f "$deb" Description | sed -n 1p)
    maintainer=$(dpkg-deb -f "$deb" Maintainer)
    if [[ "$depends" == *libc6* && "$depends" == *libqt6widgets6* &&
        "$depends" == *libqt6network6* && "$depends" == *libqt6multimedia6* &&
        -n "$description" && "$maintainer" == *"<"*">" ]]; then
        pass
    else
        fail "Depends from dpkg-shlibdeps, Description and Maintainer: $depends / $description"
    fi
    dpkg-deb -x "$deb" "$scratch/unpacked"
    check_desktop_files "$scratch/unpacked/usr" '"/usr/libexec/scopewatch/scopewatch-launcher"'
    expect_equal "the launcher starts the packaged program" \
        "$(tail -n 1 "$scratch/unpacked/usr/libexec/scopewatch/scopewatch-launcher")" \
        'exec "/usr/bin/scopewatch"'
    local kinds
    kinds=$(file "$scratch/unpacked/usr/bin/"*)
    if [[ "$kinds" == *"not stripped"* || "$kinds" != *"stripped"* ]]; then
        fail "the packaged programs are stripped: $kinds"
    else
        pass
    fi
    check_documentation "$scratch/unpacked/usr"
    check_lintian "$deb"
}

# Debian's package checker has nothing to say: no error, warning or information.
check_lintian() {  # package
    if ! command -v lintian >/dev/null; then
        echo "check-install: lintian is not installed; the package was not checked with it"
        return
    fi
    expect_equal "lintian --display-info $(basename "$1")" \
        "$(lintian --display-info "$1" 2>&1 | grep -v 'running with root privileges')" ""
}

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
check_tree "the prefix $prefix" "$prefix"
check_desktop_files "$prefix" "\"$prefix/libexec/scopewatch/scopewatch-launcher\""
check_tool_command_lines "$prefix/bin"
check_tools_outside_the_build_tree "$prefix/bin"
check_documentation "$prefix"
check_launcher
check_package

echo "check-install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
