#!/usr/bin/env bash
# A module's dynamic symbol table defines exactly the four entry points.
set -euo pipefail
lib=$1
actual=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort | tr '\n' ' ')
expected="GetModuleVersion ModuleDate ovcExit ovcInit "
if [ "$actual" != "$expected" ]; then
  echo "$lib exports: $actual" >&2
  echo "expected:   $expected" >&2
  exit 1
fi
