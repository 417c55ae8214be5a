#!/usr/bin/env bash
# Builds jackcess (the Access reference) from its public source, and AccessDump.java beside it:
#   bench/corpus/build-jackcess.sh OUT [JACKCESS-GIT-DIR]
# OUT gets jackcess.jar and AccessDump.class; ref_access.py finds them through $QUIBO_JACKCESS
# (default /work/corpora/.tools/jackcess). Needs a JDK, libcommons-lang3-java and
# libcommons-logging-java (scripts/install-deps --jackcess). Without a git dir, the commit that
# CORPORA.md names is fetched from GitHub.
set -euo pipefail
out=${1:?output folder}
git_dir=${2:-}
commit=7a3433dc34cfb8d68b2530215b1027b4dec4bdde
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ -z "$git_dir" ]; then
  git_dir="$out/jackcess.git"
  if [ ! -d "$git_dir" ]; then
    git init -q --bare "$git_dir"
    git --git-dir="$git_dir" fetch -q --depth 1 https://github.com/jahlborn/jackcess "$commit"
  fi
fi
src="$out/src"
rm -rf "$src" "$out/classes"
mkdir -p "$src" "$out/classes"
git --git-dir="$git_dir" archive "$commit" src/main | tar -x -C "$src"
classpath=/usr/share/java/commons-lang3.jar:/usr/share/java/commons-logging.jar
# CompoundOleUtil needs Apache POI; jackcess loads it only if present, and OLE contents are not compared.
find "$src/src/main/java" -name '*.java' ! -name CompoundOleUtil.java >"$out/sources.txt"
javac -nowarn -encoding UTF-8 -d "$out/classes" -cp "$classpath" @"$out/sources.txt" 2>&1 | grep -v '^Note:' || true
cp -r "$src/src/main/resources/." "$out/classes/"
jar cf "$out/jackcess.jar" -C "$out/classes" .
javac -encoding UTF-8 -d "$out" -cp "$out/jackcess.jar:$classpath" "$here/AccessDump.java"
echo "built $out/jackcess.jar and $out/AccessDump.class"
