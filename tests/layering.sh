#!/usr/bin/env bash
# The layers' arrows point down, and only platform/ and sim/ touch the kernel.
set -u
src="$1/src"
status=0

fail() {
  echo "$1"
  status=1
}

# Headers and calls that belong to the seam alone.
forbidden_headers='#include <(sys/io\.h|sys/ioctl\.h|sys/mman\.h|unistd\.h|sys/wait\.h|spawn\.h|dirent\.h)>'
forbidden_calls='(^|[^:._a-zA-Z])(::)?(open|ioctl|inb|outb|inl|outl|iopl|ioperm|mmap|munmap|popen|pclose|system|fork|execlp|execvp|waitpid|usleep|opendir)\('
for dir in app gui profile sensors hw ipmi export; do
  hits=$(grep -rnE "$forbidden_headers" "$src/$dir" 2>/dev/null)
  [ -n "$hits" ] && fail "kernel headers above the seam:
$hits"
  # String literals are messages, not calls: they are blanked before the check.
  hits=$( (grep -rnE "$forbidden_calls" "$src/$dir" --include='*.cpp' | grep -v 'os()\.' |
             sed -E 's/"([^"\\]|\\.)*"/""/g' | grep -E "$forbidden_calls";
           grep -rnE 'std::(system|fopen|rename|remove|getenv)\(|[^_a-z](getuid|sleep)\(' "$src/$dir" --include='*.cpp' |
             grep -v 'os()\.') | grep -vE '^\S+:\s*//')
  [ -n "$hits" ] && fail "direct kernel calls above the seam:
$hits"
done

# What each layer may include from the others.
check_includes() {
  local dir="$1" allowed="$2"
  local hits
  hits=$(grep -rnE '#include "[a-z]+/' "$src/$dir" | grep -vE "#include \"($allowed)\"")
  [ -n "$hits" ] && fail "$dir/ reaches a layer above it:
$hits"
}
check_includes platform 'platform/[^"]*'
check_includes ipmi '(platform|ipmi)/[^"]*'
check_includes hw '(platform|ipmi|hw)/[^"]*|profile/(records|text)\.h'
check_includes sensors '(platform|ipmi|hw|sensors)/[^"]*|profile/(records|text|paths)\.h'
check_includes profile '(platform|ipmi|hw|sensors|profile)/[^"]*'
check_includes gui '(platform|sensors|profile|gui)/[^"]*'
check_includes gui/gnome 'gui/gnome/[^"]*'
check_includes app '(platform|ipmi|hw|sensors|profile|gui|app)/[^"]*'
# quorvel-export runs without GTK: below the window, and only app headers free of it.
check_includes export '(platform|ipmi|hw|sensors|profile|app|export)/[^"]*'
for header in $(grep -rhoE '#include "app/[^"]*"' "$src/export" | sed -E 's/#include "([^"]*)"/\1/' | sort -u); do
  hits=$(grep -nE '#include ("gui/|<gtk)' "$src/$header")
  [ -n "$hits" ] && fail "export/ reaches the window through $header:
$hits"
done
hits=$(grep -rlE '#include "sim/' "$src" | grep -v "^$src/sim/")
[ -n "$hits" ] && fail "the product includes the simulator: $hits"

# The profile format is the bottom of its folder: it may not reach the engine.
hits=$(grep -nE '#include "(sensors|hw|ipmi)/' "$src"/profile/{text,mapvar,loader}.* "$src"/profile/records.h 2>/dev/null)
[ -n "$hits" ] && fail "the profile format reaches up:
$hits"

exit $status
