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
    libgtest-dev libgmock-dev
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

# Configures once, then builds what changed.
build_project() {
    if [ ! -f build/build.ninja ]; then
        cmake -S . -B build -G Ninja -DVELTAR_WERROR=ON
    fi
    cmake --build build
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
