; Signing the uninstaller that an installer writes: included by every installer script.
; scripts/package.sh defines SIGN (scripts/sign.sh) when it has a certificate; makensis then
; signs the uninstaller it has just made, before packing it into the installer, and stops with
; an error if signing fails. Without SIGN the uninstaller is left unsigned.
!ifdef SIGN
  !uninstfinalize 'bash "${SIGN}" "%1"' = 0
!endif
