#!/usr/bin/env bash
# CTest's plan on each kind of host: the Windows build configured with NODMARK_I386
# forced to native, emulated and none (and its 32-bit test build with the arguments the
# Windows build gives it), and what `ctest --show-only=json-v1` then lists as run and
# as not run. One build tree takes the three kinds in turn, as when a developer sets the
# variable by hand: a plan left over from the kind before fails too. Nothing is built
# or run, and the host is not changed.
# usage: host_plan_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

build=$work/build
for kind in none native emulated; do
  echo "host_plan: configuring for a host that runs 32-bit programs: $kind"
  cmake -S "$source_dir" -B "$build" -DNODMARK_WINDOWS_SUPERBUILD=ON -DNODMARK_I386=$kind \
    >"$work/$kind.log" 2>&1 || { cat "$work/$kind.log"; exit 1; }
  mapfile -t args <"$build/x86-tests.args"
  cmake -S "$source_dir" -B "$build/x86-tests" "${args[@]}" >>"$work/$kind.log" 2>&1 ||
    { cat "$work/$kind.log"; exit 1; }
  (cd "$build" && ctest --show-only=json-v1) >"$work/$kind.json"
  python3 - "$kind" "$work/$kind.json" "$build/running-architectures.txt" <<'PY' || failures=$((failures + 1))
import json, sys
kind, plan, running = sys.argv[1], json.load(open(sys.argv[2])), open(sys.argv[3]).read().split("\n")
def props(test):
    return {p["name"]: p["value"] for p in test.get("properties", [])}
tests = {t["name"]: props(t) for t in plan["tests"]}
problems = []
x86 = [name for name, p in tests.items() if "x86" in p.get("LABELS", [])]
for must in ("side_by_side", "tool_compare.x64", "shell_dll_test.x86", "wine_prefix_start.x86",
             "installer_package.x86", "regfree_clients.x86"):
    if must not in x86:
        problems.append(f"{must} is not marked as starting 32-bit programs")
for name, p in tests.items():
    disabled = p.get("DISABLED", False)
    if disabled != (kind == "none" and name in x86):
        problems.append(f"{name}: {'not run' if disabled else 'runs'}")
    if "wine" in p.get("LABELS", []) and not name.startswith(("wine_prefix_", "installer_package")):
        if not any(f.startswith("wine_prefix_") for f in p.get("FIXTURES_REQUIRED", [])):
            problems.append(f"{name} requires no Wine prefix")
for name in ("nodmark_dll_layout.x86", "shell_dll_test.x86", "side_by_side", "installer_package.x64"):
    if name not in tests:
        problems.append(f"{name} is not in the plan")
if tests.get("nodmark_dll_layout.x86", {}).get("DISABLED"):
    problems.append("the 32-bit DLL's layout check, which starts no program, is not run")
expected = "x64" if kind == "none" else "x86 x64"
if running[0] != expected or not running[1].startswith(f"32-bit programs: {kind} ("):
    problems.append(f"running-architectures.txt says {running[:2]}")
for problem in problems:
    print(f"FAIL ({kind}): {problem}")
not_run = sum(1 for p in tests.values() if p.get("DISABLED"))
print(f"host_plan: {kind}: {len(tests) - not_run} tests run, {not_run} not run")
sys.exit(1 if problems else 0)
PY
done
[ "$failures" -eq 0 ] || exit 1
echo "host_plan: the plan of every kind of host as expected"
