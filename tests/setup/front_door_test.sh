#!/usr/bin/env bash
# The front door (./lumora-dev, tools/install-deps, .ci/run) against stand-ins for
# dpkg-query, apt-get, id and make that log what they are asked, so nothing is installed
# or built. FAKE_INSTALLED lists the packages dpkg reports as installed; FAKE_UID is the
# user id.
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
real_make=$(command -v make) || { echo "make is needed to read the Makefile" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/sh
for p; do :; done
case " $FAKE_INSTALLED " in
  *" $p "*) printf 'install ok installed' ;;
  *) echo "dpkg-query: no packages found matching $p" >&2; exit 1 ;;
esac
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_LOG"
EOF
cat >"$work/bin/make" <<'EOF'
#!/bin/sh
echo "make $*" >>"$FAKE_LOG"
EOF
cat >"$work/bin/id" <<'EOF'
#!/bin/sh
echo "$FAKE_UID"
EOF
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" FAKE_LOG="$work/log" FAKE_INSTALLED="" FAKE_UID=0

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" == "$3" ] || fail "$1"$'\n'"  expected: $3"$'\n'"  actual:   $2"; }
expect_has() { [[ "$2" == *"$3"* ]] || fail "$1: '$3' not in:"$'\n'"$2"; }
expect_lacks() { [[ "$2" != *"$3"* ]] || fail "$1: '$3' should not be in:"$'\n'"$2"; }

# Runs a command with an empty log; sets status, out, err and log.
run() {
  : >"$FAKE_LOG"
  "$@" >"$work/out" 2>"$work/err"
  status=$?
  out=$(<"$work/out") err=$(<"$work/err") log=$(<"$FAKE_LOG")
}
packages() { "$src/tools/install-deps" --list "$@" | tr '\n' ' ' | sed 's/ $//'; }
install_line() { echo "apt-get install -y --no-install-recommends $*"; }

# --- package sets --------------------------------------------------------------------
build=$(packages build)
for p in make g++ cmake ninja-build pkg-config libcairo2-dev libpango1.0-dev fonts-dejavu-core; do
  expect_has "the build set" " $build " " $p "
done
for p in clang clang-format llvm libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev; do
  expect_lacks "the build set" " $build " " $p "
done
expect_eq "the test set" "$(packages test)" \
  "libgtest-dev libgmock-dev chromium chromium-driver python3-selenium"
expect_eq "sets sharing packages list each once" "$(packages asan fuzz)" \
  "clang libclang-rt-14-dev llvm"
everything=$(packages)
for p in make clang-format libbenchmark-dev libgmock-dev clang; do
  expect_has "every set when none is named" " $everything " " $p "
done
run "$src/tools/install-deps" build bogus
expect_eq "an unknown set fails" "$status" 2
expect_has "an unknown set is named" "$err" "unknown package set 'bogus'"
expect_has "the known sets are listed" "$err" "build test bench asan fuzz format"
expect_eq "an unknown set installs nothing" "$log" ""

# --- without root --------------------------------------------------------------------
FAKE_UID=1000 FAKE_INSTALLED="make g++ ninja-build"
missing=$(echo " $build " | sed 's/ make / /; s/ g++ / /; s/ ninja-build / /; s/^ //; s/ $//')
# With sudo installed (a stand-in), the command goes through it.
mkdir "$work/sudo-bin"
printf '#!/bin/sh\necho "sudo $*" >>"$FAKE_LOG"\n' >"$work/sudo-bin/sudo"
chmod +x "$work/sudo-bin/sudo"
PATH="$work/sudo-bin:$PATH" run "$src/tools/install-deps" build
expect_eq "without root, missing packages fail" "$status" 1
expect_has "without root, the exact command is printed" "$err" \
  "  sudo sh -c 'apt-get update && DEBIAN_FRONTEND=noninteractive $(install_line "$missing")'"
expect_eq "without root, apt-get is not run" "$log" ""
# Without sudo, su: the PATH without any folder holding a sudo.
nosudo=""
IFS=: read -r -a folders <<<"$PATH"
for folder in "${folders[@]}"; do [ -x "$folder/sudo" ] || nosudo="$nosudo${nosudo:+:}$folder"; done
PATH="$nosudo" run "$src/tools/install-deps" build
expect_has "without root or sudo, the command goes through su" "$err" \
  "  su -c 'apt-get update && DEBIAN_FRONTEND=noninteractive $(install_line "$missing")'"
expect_lacks "without sudo, sudo is not printed" "$err" "sudo"
FAKE_INSTALLED="$build"
run "$src/tools/install-deps" build
expect_eq "without root, nothing missing succeeds" "$status" 0
expect_eq "nothing missing is silent" "$out$err$log" ""

# --- as root -------------------------------------------------------------------------
FAKE_UID=0 FAKE_INSTALLED="make cmake libgmock-dev"
run "$src/tools/install-deps" build test
missing=$(echo " $build $(packages test) " | sed 's/ libgmock-dev / /' | sed 's/ make / /; s/ cmake / /; s/^ //; s/ $//')
expect_eq "as root, the install succeeds" "$status" 0
expect_eq "as root, apt-get updates then installs only what is missing" "$log" \
  "apt-get update"$'\n'"$(install_line "$missing")"
expect_has "the install is announced" "$out" "Installing missing packages (build test): $missing"
FAKE_INSTALLED="$build $(packages test)"
run "$src/tools/install-deps" build test
expect_eq "as root, nothing missing runs no apt-get" "$log" ""

# --- lumora-dev ----------------------------------------------------------------------
FAKE_INSTALLED=""
run "$src/lumora-dev" demo
expect_eq "demo on a bare machine succeeds" "$status" 0
expect_eq "demo installs make and the build set in one run, then runs make demo" "$log" \
  "apt-get update"$'\n'"$(install_line "$build")"$'\n'"make demo"
run "$src/lumora-dev" test
expect_eq "test installs make, the build and test sets in one run, then runs make test" "$log" \
  "apt-get update"$'\n'"$(install_line "$(packages make build test)")"$'\n'"make test"
FAKE_INSTALLED="$everything"
run "$src/lumora-dev" test
expect_eq "with everything installed, test only runs make" "$log" "make test"
run "$src/lumora-dev" fuzz FUZZ_SECONDS=5
expect_eq "settings go to make" "$log" "make fuzz FUZZ_SECONDS=5"
FAKE_INSTALLED="" FAKE_UID=1000
run "$src/lumora-dev" demo
expect_eq "without root on a bare machine, demo fails" "$status" 1
expect_has "without root, the command to run is printed" "$err" "-c 'apt-get update"
expect_eq "without root, neither apt-get nor make runs" "$log" ""
FAKE_UID=0
run "$src/lumora-dev" clean
expect_eq "another Makefile target installs only make" "$log" \
  "apt-get update"$'\n'"$(install_line make)"$'\n'"make clean"
run "$src/lumora-dev"
expect_eq "no command fails" "$status" 2
expect_has "no command shows the usage" "$err" "usage: ./lumora-dev COMMAND"
run "$src/lumora-dev" --help
expect_eq "--help succeeds" "$status" 0
expect_has "--help names the two commands" "$out" "demo     build the lumora tool"
run "$src/lumora-dev" bogus
expect_eq "an unknown command fails" "$status" 2
expect_has "an unknown command is named" "$err" "unknown command 'bogus'"
expect_eq "an unknown command installs and runs nothing" "$log" ""
run "$src/lumora-dev" test demo
expect_eq "two commands fail" "$status" 2
expect_has "two commands are refused with the reason" "$err" "'demo' is not a VAR=VALUE setting"
expect_eq "two commands run nothing" "$log" ""

# Each target's recipe installs the same sets lumora-dev installs before running it.
for target in demo test all bench asan fuzz format; do
  sets=$("$real_make" -n -s -C "$src" "$target" INSTALL_DEPS="echo SETS" | sed -n 's/^echo SETS//p')
  FAKE_INSTALLED=""
  run "$src/lumora-dev" "$target"
  expect_has "lumora-dev $target installs what 'make $target' installs ($sets)" "$log" \
    "$(install_line "$(packages make $sets)")"$'\n'"make $target"
done

# --- the README's commands -----------------------------------------------------------
block=$(sed -n '/^```sh$/,/^```$/p' "$src/README.md" | head -n 4)
expect_has "the README starts with the demo command" "$block" $'\n./lumora-dev demo '
expect_has "the README starts with the test command" "$block" $'\n./lumora-dev test '
grep -qx './lumora-dev test' "$src/.ci/run" || fail ".ci/run does not run exactly './lumora-dev test'"
FAKE_INSTALLED=""
run "$src/.ci/run"
expect_eq ".ci/run installs make with the test packages, then tests" "$log" \
  "apt-get update"$'\n'"$(install_line "$(packages make build test)")"$'\n'"make test"

[ $failures -eq 0 ] && echo "front door: all checks passed"
exit $((failures > 0))
