#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode), for scripts/package.sh and
# the installer's uninstaller (makensis runs it through !uninstfinalize):
#   scripts/sign.sh FILE...
# The certificate and its key come from the environment:
#   LUMORA_SIGN_PKCS12         a PKCS#12 file holding the code-signing certificate and its key
#                              (and the chain up to the root, if the issuer gave one)
#   LUMORA_SIGN_PASSWORD       its password (may be set empty for a file without one)
#   LUMORA_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamping service (optional): the signature
#                              then stays valid after the certificate expires
#   LUMORA_HOMEPAGE            the address a signature shows with its description (optional)
#   SOURCE_DATE_EPOCH          the signing time written into the signature; without a
#                              time-stamping service the same file and certificate then always
#                              give the same signed bytes
# The password goes to osslsigncode through a pipe, never on a command line.
# A file is replaced only by its signed copy; on any failure it is left as it was and the
# script exits non-zero.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: scripts/sign.sh FILE..." >&2; exit 2; }
pkcs12=${LUMORA_SIGN_PKCS12:-}
[ -n "$pkcs12" ] || { echo "sign: LUMORA_SIGN_PKCS12 is not set" >&2; exit 2; }
[ -f "$pkcs12" ] || { echo "sign: no certificate file '$pkcs12'" >&2; exit 2; }
[ -n "${LUMORA_SIGN_PASSWORD+set}" ] ||
  { echo "sign: LUMORA_SIGN_PASSWORD is not set (set it empty for a file without one)" >&2; exit 2; }
command -v osslsigncode >/dev/null ||
  { echo "sign: osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 2; }

args=(-pkcs12 "$pkcs12" -readpass - -h sha256 -n "Lumora Screensaver")
[ -n "${LUMORA_HOMEPAGE:-}" ] && args+=(-i "$LUMORA_HOMEPAGE")
if [ -n "${LUMORA_SIGN_TIMESTAMP_URL:-}" ]; then
  # The service's own time goes into the signature: no reproducible bytes to keep then.
  args+=(-ts "$LUMORA_SIGN_TIMESTAMP_URL")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  args+=(-time "$SOURCE_DATE_EPOCH")
fi

for file in "$@"; do
  signed=$file.signed
  log=$file.sign.log
  if ! printf '%s' "$LUMORA_SIGN_PASSWORD" |
       osslsigncode sign "${args[@]}" -in "$file" -out "$signed" > "$log" 2>&1; then
    echo "sign: signing '$file' failed:" >&2
    cat "$log" >&2
    rm -f "$signed" "$log"
    exit 1
  fi
  rm -f "$log"
  chmod --reference="$file" "$signed"
  mv -f "$signed" "$file"
done
