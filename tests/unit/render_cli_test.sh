#!/usr/bin/env bash
# lumora-render's command line, as a user meets it: exit statuses, messages, the file it leaves.
#   render_cli_test.sh COMMAND...   (the renderer, or Wine's runner followed by the .exe)
set -uo pipefail
render=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A build this machine cannot run is skipped by Wine's runner (status 77, "skip: why"): so is this test.
"${render[@]}" --version >version.txt 2>&1
[ $? -eq 77 ] && grep -q '^skip: ' version.txt && { cat version.txt; exit 77; }
rm -f version.txt

# The first 26 bytes of a BMP: signature, then width and height as little-endian words.
bmp_size() { od -An -tu4 -j18 -N8 "$1" | awk '{print $1 "x" $2}'; }

# Bad arguments: usage on stderr, status 2, no file.
for args in "--pattern 0 --scheme 0 --size 8x8 --out a.bmp" \
            "--pattern 26 --scheme 0 --size 8x8 --out a.bmp" \
            "--pattern 3 --scheme 19 --size 8x8 --out a.bmp" \
            "--pattern 3 --scheme 1 --size 0x8 --out a.bmp" \
            "--pattern 3 --scheme 1 --size 8 --out a.bmp" \
            "--pattern 3 --scheme 1 --size 8x8" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --speed 51" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --angles 1,2" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --rates 1,x,3" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --frames 0" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --seed -1" \
            "--pattern 3 --scheme 1 --size 8x8 --out a.bmp --colour 2" \
            "--bench --pattern 3" \
            "--pattern"; do
  # shellcheck disable=SC2086
  "${render[@]}" $args >out.txt 2>err.txt
  status=$?
  [ $status -eq 2 ] || fail "'$args' exited $status, not 2: $(head -c 2000 err.txt) / $(head -c 500 out.txt)"
  grep -q "usage: lumora-render" err.txt || fail "'$args' printed no usage"
  [ ! -e a.bmp ] || { fail "'$args' wrote a file"; rm -f a.bmp; }
done

# A still: a BMP of the requested size, status 0.
"${render[@]}" --pattern 17 --scheme 4 --size 45x17 --out still.bmp --seed 3 2>err.txt
status=$?
[ $status -eq 0 ] || fail "still exited $status: $(cat err.txt)"
[ "$(head -c2 still.bmp)" = "BM" ] || fail "still.bmp is no BMP"
[ "$(bmp_size still.bmp)" = "45x17" ] || fail "still.bmp is $(bmp_size still.bmp), not 45x17"

# The same seed gives the same picture; given angles and rates override the drawn ones.
"${render[@]}" --pattern 17 --scheme 4 --size 45x17 --out again.bmp --seed 3
cmp -s still.bmp again.bmp || fail "the same seed gave another picture"
"${render[@]}" --pattern 17 --scheme 4 --size 45x17 --out turned.bmp --seed 3 --angles 1,2,3 --rates 0.001,0.001,0.001
cmp -s still.bmp turned.bmp && fail "--angles changed nothing"
# The GNU form: --name=value, a negative rate included, gives the same still.
"${render[@]}" --pattern=17 --scheme=4 --size=45x17 --out=joined.bmp --seed=3 --angles=1,2,3 \
    --rates=-0.001,0.001,0.001 2>err.txt
[ $? -eq 0 ] || fail "--name=value refused: $(cat err.txt)"
"${render[@]}" --pattern 17 --scheme 4 --size 45x17 --out apart.bmp --seed 3 --angles 1,2,3 \
    --rates -0.001,0.001,0.001
cmp -s joined.bmp apart.bmp || fail "--name=value gave another picture than --name value"
rm -f joined.bmp apart.bmp

# Beyond the planes (2001 x 1501 points) a still is the whole field of its size, exactly as the
# straightforward engine computes it with planes of that size.
for size in 2100x90 30x1600; do
  fast=$("${render[@]}" --pattern 23 --scheme 5 --size $size --checksum --seed 4 | tr -d '\r')
  slow=$("${render[@]}" --pattern 23 --scheme 5 --size $size --checksum --seed 4 --reference | tr -d '\r')
  [ -n "$fast" ] && [ "$fast" = "$slow" ] || fail "$size: '$fast' in pieces, '$slow' straightforward"
done
"${render[@]}" --pattern 5 --scheme 0 --size 2003x2 --out wide.bmp --seed 1 2>err.txt
[ $? -eq 0 ] || fail "wide still failed: $(cat err.txt)"
[ "$(bmp_size wide.bmp)" = "2003x2" ] || fail "wide.bmp is $(bmp_size wide.bmp)"

# A PNG by its name, with the same pixels as the BMP of the same still.
"${render[@]}" --pattern 17 --scheme 4 --size 45x17 --out still.PNG --seed 3 2>err.txt
[ $? -eq 0 ] || fail "PNG still failed: $(cat err.txt)"
[ "$(head -c4 still.PNG | tail -c3)" = "PNG" ] || fail "still.PNG is no PNG"
[ "$(convert still.PNG rgb:- | md5sum)" = "$(convert still.bmp rgb:- | md5sum)" ] ||
  fail "the PNG and the BMP of one still differ"
rm -f still.PNG

# Help and version: on stdout, status 0.
for args in --help -h "--pattern 3 --help"; do
  # shellcheck disable=SC2086
  "${render[@]}" $args >out.txt 2>err.txt || fail "'$args' exited $?"
  grep -q "usage: lumora-render" out.txt || fail "'$args' printed no usage on stdout"
done
"${render[@]}" --version >out.txt || fail "--version exited $?"
grep -q -E "^lumora-render [0-9]+\.[0-9]+\.[0-9]+" out.txt || fail "--version printed '$(cat out.txt)'"

# An output that cannot be written: the file named, status 1, nothing left behind, an old file kept.
mkdir taken
"${render[@]}" --pattern 1 --scheme 0 --size 8x8 --out taken --seed 1 2>err.txt
[ $? -eq 1 ] || fail "writing over a directory did not exit 1"
grep -q "cannot write 'taken'" err.txt || fail "message does not name the file: $(cat err.txt)"
"${render[@]}" --pattern 1 --scheme 0 --size 8x8 --out no-such-dir/x.bmp --seed 1 2>err.txt
[ $? -eq 1 ] || fail "writing into a missing directory did not exit 1"
grep -q "cannot write 'no-such-dir/x.bmp': ." err.txt || fail "no reason given: $(cat err.txt)"
leftovers=$(ls | grep -v -x -e still.bmp -e again.bmp -e turned.bmp -e wide.bmp -e taken -e out.txt -e err.txt)
[ -z "$leftovers" ] || fail "partial files left: $leftovers"

# An existing file is never replaced without --force: status 1, the reason, the file as it was.
echo "a user's file" > mine.bmp
"${render[@]}" --pattern 2 --scheme 0 --size 8x8 --out mine.bmp --seed 1 2>err.txt
[ $? -eq 1 ] || fail "writing over an existing file did not exit 1"
grep -q "cannot write 'mine.bmp': the file exists" err.txt || fail "no clear reason: $(cat err.txt)"
[ "$(cat mine.bmp)" = "a user's file" ] || fail "the existing file was replaced without --force"
"${render[@]}" --pattern 2 --scheme 0 --size 8x8 --out mine.bmp --seed 1 --force 2>err.txt
[ $? -eq 0 ] || fail "--force did not replace the file: $(cat err.txt)"
[ "$(bmp_size mine.bmp)" = "8x8" ] || fail "--force left $(bmp_size mine.bmp)"
leftovers=$(ls | grep -v -x -e still.bmp -e again.bmp -e turned.bmp -e wide.bmp -e taken -e mine.bmp -e out.txt -e err.txt)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

# The benchmark: a header and one line of three numbers per pattern.
"${render[@]}" --bench --size 16x9 --frames 3 >bench.txt
[ "$(head -1 bench.txt | tr -d '\r')" = "pattern field_ms frame_ms" ] || fail "bench header: $(head -1 bench.txt)"
lines=$(tail -n +2 bench.txt | tr -d '\r' | grep -c -E '^[0-9]+ [0-9.]+ [0-9.]+$')
[ "$lines" -eq 25 ] || fail "bench has $lines pattern lines, not 25"
grep -q -E '^path (x87|avx2|avx512)$' <(tr -d '\r' <bench.txt) || fail "bench names no path: $(cat bench.txt)"
grep -q -E '^fallbacks [0-9]+ of [0-9]+ points' <(tr -d '\r' <bench.txt) || fail "bench gives no fallback share"
# --path forces the 80-bit path, which every processor has; a name it does not know is refused.
"${render[@]}" --bench --size 16x9 --frames 1 --path x87 >bench.txt
grep -q '^path x87' <(tr -d '\r' <bench.txt) || fail "--path x87 was not taken: $(cat bench.txt)"
"${render[@]}" --bench --path sse 2>err.txt >/dev/null
[ $? -eq 2 ] || fail "--path sse did not exit 2"

# Every pattern on every path this processor offers, each still the first render of a fresh
# process, at an odd size after two frames: the straightforward evaluation's pixels.
paths=()
for path in x87 avx2 avx512; do
  "${render[@]}" --pattern 1 --scheme 0 --size 1x1 --checksum --path $path >/dev/null 2>&1 && paths+=($path)
done
[ ${#paths[@]} -ge 1 ] || fail "no path ran, not even x87"
for pattern in $(seq 1 25); do
  still="--pattern $pattern --scheme $(( (pattern * 4) % 19 )) --size 33x21 --frames 2 --seed $((50 + pattern)) --checksum"
  # shellcheck disable=SC2086
  slow=$("${render[@]}" $still --reference | tr -d '\r')
  for path in "${paths[@]}"; do
    # shellcheck disable=SC2086
    fast=$("${render[@]}" $still --path $path | tr -d '\r')
    [ -n "$fast" ] && [ "$fast" = "$slow" ] ||
      fail "pattern $pattern on $path as a process's first render: '$fast', straightforward '$slow'"
  done
done
echo "render_cli_test: first renders compared on ${paths[*]}"

[ $failures -eq 0 ] && echo "render_cli_test: all checks passed"
exit $((failures > 0))
