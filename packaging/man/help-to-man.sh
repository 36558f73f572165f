#!/bin/sh
# help-to-man.sh PROGRAM EXTRAS.h2m OUT.1
# Writes PROGRAM's manual page from its own --help and --version with help2man. When the main
# --help lists commands (a "Commands:" block), each command's own --help becomes a subsection
# of COMMANDS, so a command added to the program appears in its page without editing anything.
set -eu
program=$1 extras=$2 out=$3
include=$(mktemp)
trap 'rm -f "$include"' EXIT
cat "$extras" > "$include"
commands=$("$program" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on && /^  [a-z]/ { print $1 }' | uniq)
if [ -n "$commands" ]; then
  printf '[COMMANDS]\n' >> "$include"
  for command in $commands; do
    printf '.SS %s\n.nf\n' "$command" >> "$include"
    # roff: a backslash is written \e, and a line must not start with a dot or quote
    "$program" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/" >> "$include"
    printf '.fi\n' >> "$include"
  done
fi
name=$(sed -n 's/^# name: //p' "$extras")
help2man --no-info --section=1 --name="$name" --include="$include" --output="$out" "$program"
