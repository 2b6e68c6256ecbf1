#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the C++ files follow .clang-format, with clang-format 14 (the version the code is
# formatted with: another version formats some constructs differently). Lists the files that
# differ and fails when there are any; scripts/check-format.sh --fix formats them in place.
# Only files Git tracks are checked (not build folders); a file list may be given instead.
# --changed checks the files changed since the commit named in scripts/format-base (from which on
# every file followed .clang-format), committed or not; without that commit in the clone (a shallow
# one) every tracked file is checked. CI runs it so.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || true)
if [ -z "$format" ] && command -v clang-format >/dev/null && clang-format --version | grep -q 'version 14\.'; then
  format=$(command -v clang-format)
fi
if [ -z "$format" ]; then
  echo "check-format: clang-format 14 is not installed (apt-get install clang-format-14)" >&2
  exit 2
fi
fix=false
if [ "${1:-}" = "--fix" ]; then
  fix=true
  shift
fi
changed=false
if [ "${1:-}" = "--changed" ]; then
  changed=true
  shift
fi
base=$(tr -d '[:space:]' <scripts/format-base 2>/dev/null || true)
if [ $# -gt 0 ]; then
  files=("$@")
elif $changed && [ -n "$base" ] && git cat-file -e "$base^{commit}" 2>/dev/null; then
  mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h')
  if [ ${#files[@]} -eq 0 ]; then
    echo "check-format: no C++ file changed since ${base:0:12}"
    exit 0
  fi
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
differing=()
for file in "${files[@]}"; do
  if ! "$format" --dry-run --Werror "$file" >/dev/null 2>&1; then
    differing+=("$file")
  fi
done
if [ ${#differing[@]} -eq 0 ]; then
  echo "check-format: ${#files[@]} files follow .clang-format"
  exit 0
fi
if $fix; then
  "$format" -i "${differing[@]}"
  printf 'check-format: formatted %s\n' "${differing[@]}"
  exit 0
fi
printf 'check-format: %s differs from .clang-format\n' "${differing[@]}" >&2
echo "check-format: ${#differing[@]} of ${#files[@]} files differ; run scripts/check-format.sh --fix" >&2
exit 1
