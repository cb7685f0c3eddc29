#!/usr/bin/env bash
# Makes a release: both architectures built from a clean state and laid out,
# with the package author's pieces and a sample package, in
# dist/launcher-<version>/ and dist/launcher-<version>.zip.
#
#   scripts/release.sh [-j N] [--brand FILE] [--sign CERT.pfx [--pass-file FILE] [--timestamp URL]]
#
# The same commit gives the same bytes wherever and whenever it is built: the
# programs carry no time and no folder of this machine, and every file's time
# (in the jar and in the zip) is SOURCE_DATE_EPOCH: taken from the
# environment when set, else the last commit's time, else a fixed time.
#
# --brand names the distributor's product in both programs: FILE holds
# key=value lines (# begins a comment): productName, companyName,
# fileDescription and legalCopyright go into the version block (ProductName,
# CompanyName, FileDescription, LegalCopyright; the product's name is then
# the one in the launcher's captions), icon names an .ico file (relative to
# FILE) that becomes the programs' icon. Any of them may be left out.
#
# --sign signs both installer.exe with Authenticode (SHA-256) after they were
# built; the certificate's password comes from FILE or from the environment
# variable RELEASE_SIGN_PASSWORD, never from the command line. With
# --timestamp the signatures get a time stamp from that server. Either way
# dist/launcher-<version>.unsigned.sha256 keeps the sums of the files as
# built, which anyone can rebuild and compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

usage() {
  sed -n 's/^#   //p' "$0" >&2
  exit 2
}

jobs=2 cert="" pass_file="" timestamp="" brand=""
while [ $# -gt 0 ]; do
  case $1 in
    -j) jobs=${2:?}; shift 2 ;;
    -j*) jobs=${1#-j}; shift ;;
    --brand) brand=${2:?}; shift 2 ;;
    --sign) cert=${2:?}; shift 2 ;;
    --pass-file) pass_file=${2:?}; shift 2 ;;
    --timestamp) timestamp=${2:?}; shift 2 ;;
    *) usage ;;
  esac
done
if [ -z "$cert" ] && { [ -n "$pass_file" ] || [ -n "$timestamp" ]; }; then
  echo "release: --pass-file and --timestamp go with --sign" >&2
  exit 2
fi
if [ -n "$cert" ]; then
  cert=$(realpath "$cert")
  [ -f "$cert" ] || { echo "release: no certificate $cert" >&2; exit 2; }
  if [ -n "$pass_file" ]; then
    pass_file=$(realpath "$pass_file")
    [ -f "$pass_file" ] || { echo "release: no password file $pass_file" >&2; exit 2; }
  elif [ -z "${RELEASE_SIGN_PASSWORD+set}" ]; then
    echo "release: the certificate's password: --pass-file FILE or RELEASE_SIGN_PASSWORD" >&2
    exit 2
  fi
  command -v osslsigncode >/dev/null || { echo "release: osslsigncode is missing (scripts/setup.sh)" >&2; exit 2; }
fi

# The brand, as the release presets' cache variables (CMakeLists.txt).
brand_args=() product=""
if [ -n "$brand" ]; then
  brand=$(realpath "$brand")
  [ -f "$brand" ] || { echo "release: no brand file $brand" >&2; exit 2; }
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    case $line in '' | '#'*) continue ;; esac
    key=${line%%=*} value=${line#*=}
    if [ "$key" = "$line" ] || [[ $value == *[\;\\]* ]]; then
      echo "release: $brand: \"$line\" is no key=value line without ; and \\" >&2
      exit 2
    fi
    case $key in
      productName) product=$value; brand_args+=("-DLAUNCHER_PRODUCT_NAME=$value") ;;
      companyName) brand_args+=("-DLAUNCHER_COMPANY_NAME=$value") ;;
      fileDescription) brand_args+=("-DLAUNCHER_FILE_DESCRIPTION=$value") ;;
      legalCopyright) brand_args+=("-DLAUNCHER_COPYRIGHT=$value") ;;
      icon)
        icon=$(cd "$(dirname "$brand")" && realpath -e -- "$value" 2>/dev/null) ||
          { echo "release: $brand: no icon $value" >&2; exit 2; }
        # An .ico file begins with 0, 0, then its type 1, 0.
        [ "$(head -c 4 "$icon" | od -An -tx1 | tr -d ' ')" = 00000100 ] ||
          { echo "release: $brand: $value is no .ico file" >&2; exit 2; }
        brand_args+=("-DLAUNCHER_ICON=$icon") ;;
      *)
        echo "release: $brand: unknown key $key (productName, companyName, fileDescription," \
             "legalCopyright, icon)" >&2
        exit 2 ;;
    esac
  done <"$brand"
fi

version=$(tr -d ' \r\n' <VERSION)
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "release: VERSION holds \"$version\", not MAJOR.MINOR.PATCH" >&2
  exit 1
fi
if ! grep -qxF "Current version: $version" README.md; then
  echo "release: README.md does not name the current version (a line \"Current version: $version\")" >&2
  exit 1
fi

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  else
    SOURCE_DATE_EPOCH=1704067200  # 2024-01-01, for a tree outside git
  fi
fi
export SOURCE_DATE_EPOCH
# Zip keeps local times, sort orders by the locale: both fixed.
export TZ=UTC LC_ALL=C
umask 022

name=launcher-$version
dist=$root/dist
out=$dist/$name
echo "== release $version (file times $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC)"
if [ -n "$brand" ]; then echo "== brand $brand"; fi

# Build directories of the release's own, from nothing, without the tests.
for arch in win64 win32; do
  rm -rf "build/release-$arch"
  cmake --preset "release-$arch" ${brand_args[@]+"${brand_args[@]}"} >/dev/null
  cmake --build --preset "release-$arch" -j "$jobs" >/dev/null
  echo "== built build/release-$arch/installer.exe"
done

rm -rf "$out" "$dist/$name.zip" "$dist/$name.unsigned.sha256"
mkdir -p "$out/win64" "$out/win32" "$out/docs" "$out/sample"
java_out=build/release-win64/java
cp build/release-win64/installer.exe "$out/win64/"
cp build/release-win32/installer.exe "$out/win32/"
cp "$java_out/TestJvm.class" "$out/"
# The package author's pages, which link only to one another.
cp docs/control-file.md docs/wizard.md docs/make-your-own-package.md docs/where-the-jvm-goes.md \
   docs/download.md docs/download-progress.png \
   "$out/docs/"
# The sample package runs as it is wherever a JVM of Java 8 or later is
# installed; it takes the 32-bit launcher, which runs on every Windows. Its
# wizard is sample-wizard.jar, which a run's clean-up leaves (it deletes
# install.jar), so the sample can be run again and its sums still hold.
cp build/release-win32/installer.exe "$java_out/TestJvm.class" java/wizard/kiv.control \
   java/wizard/SampleWizard.java "$out/sample/"
cp "$java_out/install.jar" "$out/sample/sample-wizard.jar"
cat >"$out/README.md" <<EOF
# Launcher $version

\`installer.exe\` starts a Java installation wizard (\`install.jar\`) on a JVM
it finds, or installs, on the user's machine. What is here:

| file | what |
|---|---|
| \`win64/installer.exe\` | the launcher for 64-bit Windows |
| \`win32/installer.exe\` | the launcher for 32-bit Windows (runs on 64-bit Windows too) |
| \`TestJvm.class\` | the test class each package carries: it proves each JVM the launcher finds |
| \`docs/\` | for package authors: making a package (\`make-your-own-package.md\`), the control file \`kiv.control\` (\`control-file.md\`), what the wizard gets and must do (\`wizard.md\`), where a new JVM goes (\`where-the-jvm-goes.md\`), a package that downloads its Java runtime (\`download.md\`) |
| \`sample/\` | a package that runs as it is: \`installer.exe\` (32-bit), \`kiv.control\`, \`TestJvm.class\` and a sample wizard \`sample-wizard.jar\` (its source \`SampleWizard.java\`), started on any installed Java 8 or later |
| \`SHA256SUMS\` | the files' SHA-256 sums: \`sha256sum -c SHA256SUMS\` |

A package is its wizard and these files, unpacked into one folder; the user
runs \`installer.exe\` there. After the run the launcher tidies that folder:
it deletes the wizard \`install.jar\` and the files the package's
\`META-INF/MANIFEST.MF\` names (docs/control-file.md lists everything it
reads and leaves), as befits a package unpacked for one installation.

The sample runs in place, as often as you like: \`installer.exe -q demo\` in
\`sample/\` finds a Java 8 or later, starts the wizard, which writes what it
received to \`sample/wizard-received.txt\`, and exits with 0. Its wizard is
named \`sample-wizard.jar\` (\`loaderClasspath\` in its \`kiv.control\`), not
\`install.jar\`, so the clean-up leaves it and \`sha256sum -c SHA256SUMS\`
still holds after any number of runs. A package of your own would rather
call its wizard \`install.jar\`, which goes once it has run.
EOF

# Every file by its path in the folder, in one order.
write_sums() {
  (cd "$out" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort |
     xargs -d '\n' sha256sum)
}
write_sums >"$dist/$name.unsigned.sha256"

if [ -n "$cert" ]; then
  signing=$(mktemp -d)
  trap 'rm -rf "$signing"' EXIT
  if [ -z "$pass_file" ]; then
    pass_file=$signing/password
    (umask 077 && printf '%s' "$RELEASE_SIGN_PASSWORD" >"$pass_file")
  fi
  stamp=()
  [ -n "$timestamp" ] && stamp=(-ts "$timestamp")
  for arch in win64 win32; do
    osslsigncode sign -pkcs12 "$cert" -readpass "$pass_file" -h sha256 "${stamp[@]}" \
      -n "${product:-Installer launcher} $version" -in "$out/$arch/installer.exe" \
      -out "$signing/installer.exe" >/dev/null
    mv "$signing/installer.exe" "$out/$arch/installer.exe"
    echo "== signed $arch/installer.exe${timestamp:+ (time stamp from $timestamp)}"
  done
  cp "$out/win32/installer.exe" "$out/sample/installer.exe"
fi
write_sums >"$out/SHA256SUMS"

# The zip: fixed times and modes, no owners, entries sorted.
find "$out" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$out" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$dist" && find "$name" -type f | sort | zip -X -D -q -@ "$name.zip")

echo "== dist/$name/ and dist/$name.zip:"
cat "$out/SHA256SUMS"
(cd "$dist" && sha256sum "$name.zip")
if [ -n "$cert" ]; then
  echo "== as built, before signing (dist/$name.unsigned.sha256):"
  grep 'installer\.exe$' "$dist/$name.unsigned.sha256"
fi
