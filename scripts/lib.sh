# Shared by the scripts: installs what a fresh Debian machine lacks.
# Usage: mirk_require PACKAGE... (checked with dpkg; installed as root).

mirk_require() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ -z "${MIRK_APT_UPDATED:-}" ]; then
    apt-get update -qq
    MIRK_APT_UPDATED=1
  fi
  apt-get install -y -qq "${missing[@]}" >/dev/null
}

# libcli11-dev: the argument parser of the mirk command (header-only).
MIRK_BASE_PACKAGES=(cmake ninja-build ccache g++ clang libclang-rt-dev libgtest-dev libcli11-dev)

# Every build goes through ccache. Paths below the checkout are hashed
# relative to it, so clones and worktrees of the repository share one cache;
# the compiled code is the same as without it.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export CCACHE_NOHASHDIR=true
MIRK_LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Sanitizer reports must never look like an expected failure exit code.
export ASAN_OPTIONS="exitcode=86:abort_on_error=0:detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:exitcode=86:print_stacktrace=1:${UBSAN_OPTIONS:-}"

mirk_jobs() { nproc 2>/dev/null || echo 2; }
