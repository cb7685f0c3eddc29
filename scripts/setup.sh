#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
# wine32 (i386) beside wine64 lets a 64-bit prefix run the 32-bit build under
# WoW64, registry views and "Program Files (x86)" included.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd dpkg --add-architecture i386
fi
# The release (scripts/release.sh) and its test: git for the commit's time,
# zip, osslsigncode and openssl for the signature and its throwaway certificate;
# libz-mingw-w64-dev for the zip reader (linked statically); curl and unzip
# for the benchmark's host download (bench/run.sh); a CJK font, without which
# Wine draws Japanese boxes as empty squares.
packages=(cmake make mingw-w64 wine64 wine32:i386 xvfb xdotool imagemagick default-jdk-headless
          python3-pytest googletest git zip osslsigncode openssl libz-mingw-w64-dev curl unzip
          fonts-noto-cjk)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The language scenarios run Wine under these locales (LC_ALL=xx_YY.UTF-8).
locales=(de_DE fr_FR es_ES pl_PL ja_JP it_IT pt_BR nl_NL ru_RU zh_CN)
available=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
for l in "${locales[@]}"; do
  lower=$(echo "$l.utf8" | tr 'A-Z' 'a-z')
  if ! grep -qx "$lower" <<<"$available"; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    if ! command -v localedef >/dev/null || [ ! -d /usr/share/i18n/locales ]; then
      $sudo_cmd apt-get update -qq
      DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends locales >/dev/null
    fi
    $sudo_cmd localedef -i "$l" -f UTF-8 "$l.UTF-8"
  fi
done
