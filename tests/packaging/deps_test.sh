#!/usr/bin/env bash
# The package lists of scripts/deps.sh bring every program the scripts and tests run, on a fresh
# machine: need_packages installs without the packages' recommendations, so a program that a listed
# package only recommends (xvfb-run runs xauth) must come from a package of the lists or from one
# they depend on. A stage whose lists are not installed yet (the test command installs the Windows
# stage's after this suite) is checked once they are.
# Usage: deps_test.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/deps.sh

# What a stage installs (lists of deps.sh, by name) | the programs it then runs.
stages=(
  "BUILD_PACKAGES TEST_PACKAGES PACKAGE_PACKAGES|xvfb-run xauth xprop locale-gen ogrinfo xmllint help2man lintian dpkg-shlibdeps file"
  "BUILD_PACKAGES RUN_PACKAGES|Xvfb xvfb-run xauth"
  "WINDOWS_PACKAGES|x86_64-w64-mingw32-g++-posix wine wineserver xvfb-run xauth Xvfb makensis dpkg-source"
  "WEB_PACKAGES WEB_TEST_PACKAGES|emcc node chromium dpkg-source"
)

# Installed packages: name, what they provide, what they depend on.
database=$(dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Provides}\t${Depends}, ${Pre-Depends}\n' |
  awk -F '\t' '$1 ~ /^ii/')

# The installed packages that NAMES bring by their Depends and Pre-Depends, recursively: every
# alternative, and whatever provides a virtual package.
closure() {
  awk -F '\t' -v roots="$*" '
    function names(text, out,   n, i, parts) {
      gsub(/\([^)]*\)|:[a-z0-9]+|\[[^]]*\]/, "", text)
      n = split(text, parts, /[,|]/)
      for (i = 1; i <= n; ++i) { gsub(/ /, "", parts[i]); if (parts[i] != "") out[parts[i]] = 1 }
    }
    {
      installed[$2] = 1
      depends[$2] = $4
      delete provided
      names($3, provided)
      for (name in provided) providers[name] = providers[name] " " $2
    }
    END {
      n = split(roots, queue, " ")
      for (i = 1; i <= n; ++i) seen[queue[i]] = 1
      for (head = 1; head <= n; ++head) {
        name = queue[head]
        delete next_names
        if (name in installed) names(depends[name], next_names)
        m = split(providers[name], provider, " ")
        for (j = 1; j <= m; ++j) next_names[provider[j]] = 1
        for (next_name in next_names) {
          if (!(next_name in seen)) { seen[next_name] = 1; queue[++n] = next_name }
        }
      }
      for (name in seen) if (name in installed) print name
    }' <<<"$database"
}

failed=0
checked=0
for stage in "${stages[@]}"; do
  lists=${stage%%|*} programs=${stage#*|}
  packages=()
  for list in $lists; do
    declare -n named=$list
    packages+=("${named[@]}")
    unset -n named
  done
  installed=$(cut -f2 <<<"$database")
  absent=$(printf '%s\n' "${packages[@]}" | sort -u | grep -vxF -f <(echo "$installed") |
    paste -sd ' ' || true)
  if [ -n "$absent" ]; then
    echo "$lists: not installed yet ($absent), not checked"
    continue
  fi
  brought=$(closure "${packages[@]}")
  paths=()
  for program in $programs; do
    path=$(command -v "$program") || { echo "$lists: $program is missing" >&2; failed=1; continue; }
    paths+=("$(readlink -f "$path")")
  done
  # "package: path" (or "package1, package2: path") for each program's file.
  owners=$(dpkg-query -S "${paths[@]}" 2>/dev/null || true)
  for path in "${paths[@]}"; do
    owner=$(awk -v path="$path" '{ p = $0; sub(/^[^ ]* /, "", p) } p == path { sub(/[:,].*/, ""); print; exit }' <<<"$owners")
    [ -n "$owner" ] || { echo "no package holds $path" >&2; failed=1; continue; }
    grep -qxF "$owner" <<<"$brought" ||
      { echo "$lists: nothing brings $owner, which holds $path" >&2; failed=1; }
  done
  checked=$((checked + 1))
done
[ "$failed" -eq 0 ] && echo "deps: every program of $checked stages comes with the lists"
exit "$failed"
