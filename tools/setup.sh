# Shared by ./run and ./test: the Debian packages the project needs, and the build.
# Source it from the repository root.

# Everything for building, the tests (LibreOffice, SANE's test backend, the help compiler,
# Xvfb) and screenshots.
VELTAR_PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache util-linux
    qt6-base-dev qt6-translations-l10n
    libsqlite3-dev sqlite3 libxml2-dev libjpeg-dev
    libsane-dev libsane1 sane-utils
    libchm-dev libchm-bin fp-utils
    libgtest-dev libgmock-dev clang-format
    xvfb xauth fonts-dejavu-core
    libreoffice-calc-nogui libreoffice-writer-nogui libreoffice-dev libreoffice-dev-common
)

# Installs the packages that are missing; a no-op when all are there.
install_packages() {
    local missing=() package
    for package in "${VELTAR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    # Without --no-install-recommends the office SDK pulls in a Java runtime.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures a build folder once (warnings are errors in every build the scripts make,
# also in a folder configured by hand before), then builds what changed.
#   build_project [folder] [further cmake options...]
build_project() {
    local folder=${1:-build}
    shift || true
    if [ ! -f "$folder/build.ninja" ] ||
        ! grep -q '^VELTAR_WERROR:BOOL=ON$' "$folder/CMakeCache.txt" 2>/dev/null; then
        cmake -S . -B "$folder" -G Ninja -DVELTAR_WERROR=ON "$@"
    fi
    cmake --build "$folder"
}

# Lays out start/ as the program expects its start folder: the reference files, the form
# templates and the help file. The user's database in start/ is never touched.
prepare_start_folder() {
    mkdir -p start/template
    local file
    for file in data/*.xml; do
        [ -e "$file" ] && cp -u "$file" start/
    done
    for file in data/template/*; do
        [ -e "$file" ] && cp -u "$file" start/template/
    done
    [ -e build/veltar_help.chm ] && cp -u build/veltar_help.chm start/
    return 0
}
