# Shared by run.sh and test.sh: the Debian packages the project needs, installed when missing.
QV_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libjpeg62-turbo-dev
  fonts-liberation2 fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev
  clang xvfb xdotool libxcb1-dev qt6-translations-l10n
  poppler-utils
)

qv_root() { cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd; }

# Only to regenerate the PHP completion list (scripts/make-php-completion.php).
QV_DATA_PACKAGES=(php-cli)

# The benchmarks' references: programs timed beside ours in the same run.
QV_BENCH_PACKAGES=(highlight source-highlight libqscintilla2-qt6-dev
  # The X server's DAMAGE extension, to see a program's first paint from outside.
  libxcb-damage0-dev
  # Minified script and style bundles, for the long-line searches of RegexLongLinesBench.
  libjs-three libjs-moment libjs-jquery-ui libjs-d3 libjs-bootstrap4 libjs-bootstrap5 libjs-chart.js
  libjs-lodash libjs-jquery fonts-font-awesome)

# Installs QV_PACKAGES and any package names given as arguments, when missing.
qv_install_packages() {
  local missing=()
  local pkg
  for pkg in "${QV_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

qv_configure_and_build() {
  local dir="$1"; shift
  local root; root="$(qv_root)"
  if [ ! -f "$root/$dir/build.ninja" ]; then
    cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
  fi
  cmake --build "$root/$dir" --parallel "$(nproc)"
}
