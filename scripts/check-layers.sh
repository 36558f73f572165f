#!/usr/bin/env bash
# Checks that dependencies between the source folders point one way: no folder includes a
# folder above it (app -> ui -> commands -> model -> comm; backup and sim beside commands, on
# model and comm; ui on backup as well, for backup files).
# Inside ui/, the main window's panels stand alone: no panel includes the window, its
# communication owner or another panel.
# Prints every offending include and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders its files may include.
declare -A allowed=(
  [comm]="comm"
  [model]="model comm"
  [commands]="commands model comm"
  [backup]="backup model comm"
  [sim]="sim model comm"
  [ui]="ui commands backup model comm"
  [app]="app ui commands backup model comm sim"
)

bad=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line target; do
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "$file:$line: $folder/ includes $target/"; bad=1 ;;
    esac
  done < <(grep -rnoE '^#include "[a-z_]+/' --include='*.h' --include='*.cpp' "$folder" \
             | sed -E 's/#include "([a-z_]+)\//\1/')
done
panels=(ethernet_panel device_panel passage_editor)
for panel in "${panels[@]}"; do
  forbidden=(mainwin window_comm)
  for other in "${panels[@]}"; do
    [ "$other" = "$panel" ] || forbidden+=("$other")
  done
  for name in "${forbidden[@]}"; do
    while IFS= read -r hit; do
      echo "$hit: the panel $panel includes ui/$name.h"
      bad=1
    done < <(grep -nH "^#include \"ui/$name\.h\"" ui/"$panel"*.h ui/"$panel"*.cpp || true)
  done
done
exit $bad
