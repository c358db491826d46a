#!/bin/sh
# help2man runs this in place of zukaro ($ZUKARO) to read its --help and --version. help2man
# makes the SYNOPSIS of "Usage:" and "or:" lines; zukaro heads its usage lines with 使い方:,
# so they are relabelled here and everything else passes unchanged.
set -eu
"$ZUKARO" "$@" | awk '
  /^使い方:$/ { label = "Usage:"; next }
  label != "" && /^ +zukaro( |$)/ { sub(/^ +/, ""); print label, $0; label = "  or:"; next }
  { label = ""; print }'
