#!/usr/bin/env bash
# The folders of src/ are layers: a file includes headers of its own folder and of the folders
# below it, never of one above or beside it. The CMake targets refuse such an include at build
# time; this names every one at once, folder by folder, as the layers are drawn in
# docs/ARCHITECTURE.md. Usage: includes.sh [SRC_DIR]
set -u
src=${1:-"$(cd "$(dirname "$0")/../.." && pwd)/src"}

# What each folder builds on directly; what those build on is seen too.
declare -A below=(
  [platform]=""
  [core/vocab]="platform"
  [core/listops]="core/vocab"
  [core/interchange]="core/vocab"
  [core/ui_language]="platform"
  [core/check]="core/listops"
  [document]="core/listops core/interchange core/ui_language core/check"
  [print]="core/listops core/ui_language"
  [cli]="document"
  [cli/pages]="cli print"
  [gui/widgets]="platform"
  [gui/desktop]="platform gui/widgets"
  [gui/editing]="document gui/widgets"
  [gui/vocab]="document gui/widgets"
  [gui/interchange]="document gui/widgets"
  [gui/ui_language]="core/ui_language gui/widgets"
  [gui/listops]="gui/editing"
  [gui/print]="document print gui/widgets"
  [gui/check]="gui/editing"
  [gui/app]="gui/editing gui/vocab gui/listops gui/interchange gui/ui_language gui/desktop gui/print gui/check"
)

# Every folder a folder may include from: itself and all below it.
visible() {
  local seen=" $1 " todo=($1) folder next
  while [ ${#todo[@]} -gt 0 ]; do
    folder=${todo[0]}
    todo=("${todo[@]:1}")
    for next in ${below[$folder]}; do
      case $seen in *" $next "*) ;; *) seen+="$next " todo+=("$next") ;; esac
    done
  done
  echo "$seen"
}

declare -A allowed
for folder in "${!below[@]}"; do
  allowed[$folder]=$(visible "$folder")
done

status=0
cd "$src" || exit 2
while IFS= read -r file; do
  folder=${file%/*}
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "src/$file: the folder $folder is not among the layers of $0"
    status=1
    continue
  fi
  while IFS=: read -r line header; do
    case $header in */*) ;; *) continue ;; esac # generated headers of the build
    case ${allowed[$folder]} in
    *" ${header%/*} "*) ;;
    *)
      echo "src/$file:$line: $folder includes $header, which is not below it"
      status=1
      ;;
    esac
  done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]*)".*/\1:\2/')
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
exit $status
