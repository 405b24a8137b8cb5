# Shared part of the third-party builds: fetches one Debian source package, cross-builds it
# for one mingw-w64 architecture into a prefix, and keeps the result there under a key made
# of the source version, the configure line, the architecture, the compiler and the build
# steps, so that a second run with the same key returns at once.
#
# A library's script (scripts/third-party/NAME.sh) sources this file, defines
#   configure_options  prints the configure line, one option a line
#   build              configures, builds and installs $src into $prefix
# and ends with `third_party_main PACKAGE "$@"`. The script is called as
#   NAME.sh ARCH PREFIX        (ARCH: x86_64 or i686)
# and build() sees: $src (unpacked, patched source), $prefix, $arch, $triple, $cc, $cxx,
# $jobs and the array $options (the configure line).
set -euo pipefail

# The version `apt-get source` fetches: the newest one in the deb-src lists (without its epoch).
third_party_source_version() {
    local dsc
    dsc=$(apt-get source --print-uris -qq "$1" 2>/dev/null | grep -oE "'[^']*\.dsc'" | head -n 1)
    [ -n "$dsc" ] || {
        echo "third-party: no source package '$1' (is the deb-src line in place? run scripts/setup.sh)" >&2
        return 1
    }
    dsc=${dsc##*/}
    dsc=${dsc%.dsc\'}
    dsc=${dsc#*_}
    # The URI escapes the version's '+' and '~'.
    printf '%b\n' "${dsc//%/\\x}"
}

third_party_main() {
    local package=$1
    arch=${2:?usage: $0 ARCH PREFIX}
    prefix=${3:?usage: $0 ARCH PREFIX}
    case $arch in
    x86_64 | i686) ;;
    *) echo "third-party: unknown architecture '$arch'" >&2; return 2 ;;
    esac
    triple=$arch-w64-mingw32
    cc=$triple-gcc-posix
    cxx=$triple-g++-posix
    jobs=${THIRD_PARTY_JOBS:-$(nproc)}
    mapfile -t options < <(configure_options)

    local version key
    version=$(third_party_source_version "$package")
    key=$(printf '%s\n' "$package $version" "${options[@]}" "$arch" "$("$cc" --version | head -n 1)" \
        "$("$cxx" --version | head -n 1)" "$(declare -f build)" | sha256sum | cut -c1-32)
    if [ -f "$prefix/.key" ] && [ "$(cat "$prefix/.key")" = "$key" ]; then
        # Touched so that the build system, which watches the key, sees it up to date.
        touch "$prefix/.key"
        echo "third-party: $package $version ($arch) cached"
        return 0
    fi

    echo "third-party: building $package $version ($arch)"
    local work=$prefix.work log=$prefix.log started=$SECONDS
    rm -rf "$prefix" "$work"
    mkdir -p "$prefix" "$work"
    # In the background and waited for: a subshell in a condition would run without -e.
    (
        cd "$work"
        apt-get source -qq "$package"
        src=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
        cd "$src"
        build
    ) >"$log" 2>&1 &
    if ! wait $!; then
        echo "third-party: $package ($arch) failed; the end of $log:" >&2
        tail -n 30 "$log" >&2
        return 1
    fi
    rm -rf "$work"
    # Written last: a build that stopped half-way leaves no key and runs again.
    echo "$key" >"$prefix/.key"
    echo "third-party: $package $version ($arch) built in $((SECONDS - started)) s"
}
