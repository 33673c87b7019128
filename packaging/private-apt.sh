#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the cross builds' build-deps.sh (packaging/wasm, packaging/windows), which set
# aptdir (a folder in their cache) and suite (the Debian release whose sources they build), and
# optionally private_apt_types="deb deb-src" when they also download a binary package.
#
# A private apt configuration: its own lists, state and cache folders, and a source list with
# deb-src entries (and deb entries, if asked) for $suite made from the Debian entries this
# machine already has (its mirror, its keyring). apt-get update and apt-get source run on it alone, through APT_CONFIG, so
# /etc/apt and the machine's package lists stay as they are. Update hooks from /etc/apt/apt.conf.d
# (AppStream, PackageKit, docker-clean) are cleared: they would act on the machine's caches.
private_apt() {
    mkdir -p "$aptdir/lists/partial" "$aptdir/archives/partial" "$aptdir/state" \
        "$aptdir/sources.list.d" "$aptdir/preferences.d"
    [ -f "$aptdir/state/status" ] || : >"$aptdir/state/status"
    local types=${private_apt_types:-deb-src}
    local sources
    sources=$(
        for file in /etc/apt/sources.list.d/*.sources; do
            [ -f "$file" ] || continue
            # deb822 stanzas: keep those of type deb for $suite and enabled, with $types.
            awk -v suite="$suite" -v types_out="$types" 'BEGIN { RS = ""; FS = "\n" }
                {
                    types = ""; suites = ""; enabled = "yes"; out = ""
                    for (i = 1; i <= NF; i++) {
                        if ($i ~ /^[ \t]*#/) continue
                        if ($i ~ /^Types:/) { types = $i; continue }
                        if ($i ~ /^Suites:/) suites = $i
                        if ($i ~ /^Enabled:/) enabled = tolower($i)
                        out = out $i "\n"
                    }
                    if (types ~ /[ \t]deb([ \t]|$)/ && suites ~ ("[ \t]" suite) && enabled !~ /no/)
                        printf "Types: %s\n%s\n", types_out, out
                }' "$file"
        done
        for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [ -f "$file" ] || continue
            # One-line entries: "deb [options] uri suite components".
            awk -v suite="$suite" -v types_out="$types" '$1 == "deb" {
                    line = $0; sub(/\[[^]]*\][ \t]*/, "", line); split(line, word)
                    if (word[3] ~ ("^" suite)) {
                        n = split(types_out, type, " ")
                        for (t = 1; t <= n; t++) { entry = $0; sub(/^[ \t]*deb/, type[t], entry); print entry }
                    }
                }' "$file"
        done
    )
    [ -n "$sources" ] || { echo "no Debian $suite entries in /etc/apt to take sources from" >&2; exit 1; }
    local changed=
    if [ "$sources" != "$(cat "$aptdir/sources.list.d/debian.sources" 2>/dev/null)" ]; then
        printf '%s\n' "$sources" >"$aptdir/sources.list.d/debian.sources"
        changed=1
    fi
    : >"$aptdir/sources.list"
    # As the cache's owner downloads into it, apt's sandbox user need not be able to reach it.
    cat >"$aptdir/apt.conf" <<EOF
Dir::State "$aptdir/state";
Dir::State::Lists "$aptdir/lists";
Dir::State::status "$aptdir/state/status";
Dir::Cache "$aptdir";
Dir::Cache::archives "$aptdir/archives";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
Dir::Etc::SourceList "$aptdir/sources.list";
Dir::Etc::SourceParts "$aptdir/sources.list.d";
Dir::Etc::Preferences "$aptdir/preferences";
Dir::Etc::PreferencesParts "$aptdir/preferences.d";
APT::Sandbox::User "$(id -un)";
Acquire::Languages "none";
#clear APT::Update::Pre-Invoke;
#clear APT::Update::Post-Invoke;
#clear APT::Update::Post-Invoke-Success;
EOF
    export APT_CONFIG=$aptdir/apt.conf
    # The lists are fetched again after a day, so a rerun picks up a fixed version (and builds it).
    if [ -n "$changed" ] || [ -z "$(find "$aptdir" -maxdepth 1 -name updated -mtime -1)" ]; then
        apt-get update
        touch "$aptdir/updated"
    fi
}
