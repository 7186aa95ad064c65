#!/usr/bin/env bash
# Every type a header of src/ declares at namespace level has a name of its own. Two classes of
# one name in different layers link without a word and break the one-definition rule: the
# program then calls one class's destructor on the other's object. Usage: type_names.sh [SRC_DIR]
set -u
src=${1:-"$(cd "$(dirname "$0")/../.." && pwd)/src"}
clashes=$(grep -rHoE --include='*.h' '^(class|struct|union) [A-Za-z_][A-Za-z0-9_]*( final)? *(:[^:]|\{|$)' "$src" |
  sed -E 's/:(class|struct|union) / /; s/( final)? *(:.*|\{)?$//' | awk '{print $2, $1}' | sort |
  awk '$1 == last { print lastline; print; bad = 1 } { last = $1; lastline = $0 } END { exit !bad }')
if [ -n "$clashes" ]; then
  echo "types defined under one name in more than one header:"
  echo "$clashes" | sort -u
  exit 1
fi
echo "every type name is defined once"
