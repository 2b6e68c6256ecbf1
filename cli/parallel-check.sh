#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The many-machines recipe of the README, run locally: GNU parallel with -S : (the local machine
# as its only host, one job per core, each job given one core with --threads 1) against one local
# run over the same tree; the outputs must be identical, and the times are printed for
# bench/RESULTS.md (measure on a quiet machine).
# usage: cli/parallel-check.sh build/bin/pictomat-cli CORPUS_DIR   (needs the package parallel)
set -e
CLI=$(realpath "$1"); CORPUS=$2; W=$(mktemp -d)
mkdir -p $W/photos/a $W/photos/b/c
files=($CORPUS/*.jpg)
for i in "${!files[@]}"; do
  case $((i % 3)) in 0) d=$W/photos;; 1) d=$W/photos/a;; 2) d=$W/photos/b/c;; esac
  cp "${files[$i]}" $d/
done
cat > $W/web.ini <<'INI'
[MainApp]
targeFileType=WEBP
scaleImage=true
scalePercentage=50
textContent=© Studio
AdjustImageCount=2
AdjustImage0="1;1;;;;;"
AdjustImage1="2;2;30;;;;"
INI
time $CLI --preset $W/web.ini --recursive --keep-folders $W/photos -o $W/one
cd $W/photos
time (find . -type f -printf "%h\n" | sort -u | parallel -S : --workdir $W/photos \
  $CLI --threads 1 --when-exists skip --preset $W/web.ini {} -o $W/spread/{})
cd $W
diff -r one spread && echo "identical: $(find one -type f | wc -l) files"
rm -rf $W
