#!/usr/bin/env bash
# What the editor and the loader see of Fx.prm: exactly one export, xEffect
# at ordinal 1; PREMINFO.dll imported by ordinal only, and only 107, 235,
# 287 and 379; nothing but Windows system DLLs besides it.
# Usage: check_pe_file.sh OBJDUMP Fx.prm
set -euo pipefail
objdump=$1
file=$2
dump=$("$objdump" -p "$file")
failed=0
fail() { echo "FAIL: $*"; failed=1; }

grep -q '^Export Address Table -- Ordinal Base 1$' <<<"$dump" || fail "export ordinal base is not 1"
exports=$(sed -n '/^Export Address Table --/,/^$/p' <<<"$dump" | grep -c 'Export RVA' || true)
[ "$exports" = 1 ] || fail "$exports exports instead of one"
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *0\] //p')
[ "$names" = xEffect ] || fail "exported names: '$names'"
grep -q '\[ *0\] +base\[ *1\]' <<<"$dump" || fail "xEffect is not at ordinal 1"

dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort -u)
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|MSVFW32|ADVAPI32|SHELL32|OLE32|OLEAUT32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
while read -r dll; do
  [ "$dll" = PREMINFO.dll ] && continue
  grep -Eiq "$system_dlls" <<<"$dll" || fail "imports $dll, not a Windows system DLL"
done <<<"$dlls"
grep -qx PREMINFO.dll <<<"$dlls" || fail "PREMINFO.dll is not imported"

# The PREMINFO.dll tables: lines "vma  ordinal  <none>" when by ordinal.
preminfo=$(awk '/DLL Name: PREMINFO.dll/ {on = 1; next} on && (/DLL Name:/ || /^$/) {on = 0} on && /^[ \t]+[0-9a-f]+[ \t]/' <<<"$dump")
named=$(grep -vc '<none>' <<<"$preminfo" || true)
[ "$named" = 0 ] || fail "PREMINFO.dll imported by name: $(grep -v '<none>' <<<"$preminfo")"
ordinals=$(awk '{print $2}' <<<"$preminfo" | sort -n | uniq | tr '\n' ' ')
[ "$ordinals" = "107 235 287 379 " ] || fail "PREMINFO.dll ordinals: $ordinals"

[ "$failed" = 0 ] && echo "Fx.prm: one export xEffect @1; PREMINFO.dll ordinals $ordinals; $(tr '\n' ' ' <<<"$dlls")"
exit "$failed"
