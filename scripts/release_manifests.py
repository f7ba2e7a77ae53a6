#!/usr/bin/env python3
"""Writes what package managers need beside a release's three files in dist/:

  SHA256SUMS                           the SHA-256 of the installers and the zip (sha256sum -c)
  winget/Lumora.Lumora/VERSION/        a winget manifest set: the version, installer and
                                       default-locale files (x86: the x86 installer, x64: the
                                       x64 one; nullsoft with the silent switch /S, SHA-256)
  scoop/lumora.json                    a Scoop manifest for the zip, 64-bit and 32-bit

Everything comes from the version and the built files; the addresses from the environment:
  LUMORA_RELEASE_URL  where this version's files can be downloaded, without the file name
                      (default https://lumora.invalid/releases/VERSION, which never resolves)
  LUMORA_HOMEPAGE     the project's page (default https://lumora.invalid/)

  scripts/release_manifests.py VERSION DIST
"""

import hashlib
import json
import os
import sys

PACKAGE = "Lumora.Lumora"
NAME = "Lumora"
PUBLISHER = "The Lumora developers"  # as the installer registers it
PRODUCT_CODE = "Lumora"              # the installer's key under ...\CurrentVersion\Uninstall
DISPLAY_NAME = "Lumora Screensaver"
LICENSE = "MIT"
SHORT_DESCRIPTION = "A screen saver that fills the screen with a slowly moving colour field."
DESCRIPTION = ("Lumora fills the screen with a colour field that moves slowly and without end: one "
               "of 25 patterns, turned in three dimensions and coloured by one of 19 colour schemes. "
               "A key press or a jerk of the mouse ends it.")
MANIFEST_VERSION = "1.6.0"
SCHEMA = "https://aka.ms/winget-manifest.{}.1.6.0.schema.json"


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def quoted(text):
    """A YAML scalar in double quotes (JSON's escapes are YAML's)."""
    return json.dumps(text)


def yaml_file(kind, lines):
    return "\n".join([f"# yaml-language-server: $schema={SCHEMA.format(kind)}", *lines,
                      f"ManifestType: {kind}", f"ManifestVersion: {MANIFEST_VERSION}", ""])


def winget(version, setups, homepage):
    """setups: {architecture: (url, sha256)} of the installers, x86 and x64."""
    head = [f"PackageIdentifier: {PACKAGE}", f"PackageVersion: {quoted(version)}"]
    installers = []
    for architecture, (setup_url, setup_hash) in setups.items():
        installers += [f"- Architecture: {architecture}",
                       f"  InstallerUrl: {quoted(setup_url)}",
                       f"  InstallerSha256: {setup_hash.upper()}"]
    return {
        f"{PACKAGE}.yaml": yaml_file("version", head + ["DefaultLocale: en-US"]),
        f"{PACKAGE}.installer.yaml": yaml_file("installer", head + [
            "InstallerType: nullsoft",
            "Scope: machine",
            "InstallModes:", "- interactive", "- silent", "- silentWithProgress",
            "InstallerSwitches:", "  Silent: /S", "  SilentWithProgress: /S",
            "UpgradeBehavior: install",
            "ElevationRequirement: elevatesSelf",
            f"ProductCode: {quoted(PRODUCT_CODE)}",
            "AppsAndFeaturesEntries:",
            f"- DisplayName: {quoted(DISPLAY_NAME)}",
            f"  Publisher: {quoted(PUBLISHER)}",
            f"  DisplayVersion: {quoted(version)}",
            f"  ProductCode: {quoted(PRODUCT_CODE)}",
            "Installers:", *installers]),
        f"{PACKAGE}.locale.en-US.yaml": yaml_file("defaultLocale", head + [
            "PackageLocale: en-US",
            f"Publisher: {quoted(PUBLISHER)}",
            f"PackageName: {quoted(NAME)}",
            f"PackageUrl: {quoted(homepage)}",
            f"License: {quoted(LICENSE)}",
            f"ShortDescription: {quoted(SHORT_DESCRIPTION)}",
            f"Description: {quoted(DESCRIPTION)}",
            "Tags:", "- screensaver", "- screen-saver"]),
    }


def scoop(version, zip_url, zip_hash, homepage):
    folder = f"Lumora-{version}"
    return {
        "version": version,
        "description": SHORT_DESCRIPTION,
        "homepage": homepage,
        "license": LICENSE,
        "architecture": {
            bits: {"url": zip_url, "hash": zip_hash, "extract_dir": f"{folder}/{bits[:2]}-bit"}
            for bits in ("64bit", "32bit")},
        "notes": "Right-click lumora.scr in $dir and choose Install to make Lumora the screen saver.",
    }


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path + ".part", "w", newline="\n") as f:
        f.write(text)
    os.replace(path + ".part", path)


def main(version, dist):
    release_url = os.environ.get("LUMORA_RELEASE_URL", f"https://lumora.invalid/releases/{version}")
    homepage = os.environ.get("LUMORA_HOMEPAGE", "https://lumora.invalid/")
    setup, setup64 = f"Lumora-{version}-setup.exe", f"Lumora-{version}-x64-setup.exe"
    archive = f"Lumora-{version}-win.zip"
    hashes = {name: sha256(os.path.join(dist, name)) for name in (setup, setup64, archive)}
    write(os.path.join(dist, "SHA256SUMS"), "".join(f"{h}  {n}\n" for n, h in hashes.items()))
    url = release_url.rstrip("/") + "/"
    setups = {arch: (url + name, hashes[name]) for arch, name in (("x86", setup), ("x64", setup64))}
    for name, text in winget(version, setups, homepage).items():
        write(os.path.join(dist, "winget", PACKAGE, version, name), text)
    manifest = scoop(version, url + archive, hashes[archive], homepage)
    write(os.path.join(dist, "scoop", "lumora.json"), json.dumps(manifest, indent=2) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
