#!/usr/bin/env bash
# package_contents_test.sh DEB_DIR - inspects the .deb the fixture built with cpack: its control
# fields (dpkg-deb -I), with the library packages dpkg-shlibdeps found, and its files
# (dpkg-deb -c), all under /usr with the modes a package needs.
set -euo pipefail
deb_dir=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
debs=("$deb_dir"/vantrel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single vantrel .deb in $deb_dir"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantrel ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "wrong Architecture"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "Maintainer or Description"
depends=$(field Depends)
# The libraries the programs link: FreeTDS's db-lib, SQLite, OpenSSL's libcrypto, C and C++.
for package in libsybdb5 libsqlite3-0 libssl3 libc6 libstdc++6; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
        fail "Depends lacks $package: $depends"
done
dpkg-deb -I "$deb" >/dev/null

listing=$(dpkg-deb -c "$deb")
mode_of() { awk -v path="./$1" '$6 == path { print $1 }' <<<"$listing"; }
for program in vantrelagent vantreldump mssql-double; do
    [ "$(mode_of "usr/bin/$program")" = "-rwxr-xr-x" ] || fail "usr/bin/$program missing or mode"
done
for file in usr/share/man/man1/vantrelagent.1.gz usr/share/man/man1/vantreldump.1.gz \
            usr/share/man/man1/mssql-double.1.gz usr/share/doc/vantrel/copyright \
            usr/share/doc/vantrel/changelog.gz usr/share/doc/vantrel/README.md \
            usr/share/bash-completion/completions/vantrelagent; do
    [ "$(mode_of "$file")" = "-rw-r--r--" ] || fail "$file missing or mode"
done
if awk '{ print $6 }' <<<"$listing" | grep -v '^\./usr/' | grep -qv '^\./$'; then
    fail "files outside /usr: $(awk '{ print $6 }' <<<"$listing" | grep -v '^\./usr/')"
fi
if awk '$2 != "root/root" { bad = 1 } END { exit !bad }' <<<"$listing"; then
    fail "files not owned by root"
fi
echo "$(basename "$deb"): Depends: $depends"
