#!/bin/bash
# The Windows release: merrivane.exe is a GUI program that needs no DLL of
# its own beside it, and both it and the installer are DPI aware; the zip
# holds it with the licence and the examples; the installer, run silently
# under Wine in a scratch prefix, installs it with a Start-menu shortcut and
# an uninstaller, the installed program starts, and the uninstaller removes
# it.
set -eu
build=$1
. "$(dirname "$0")/../ui/session.sh"
WAIT=${WAIT_WINE:-90}

enter_scratch
(cd "$build" && cpack -G "NSIS;ZIP" -B "$scratch/out" >"$scratch/cpack.log") || { cat "$scratch/cpack.log" >&2; exit 1; }
installer=$(ls "$scratch"/out/merrivane-*-win64.exe)
zip=$(ls "$scratch"/out/merrivane-*-win64.zip)

objdump=x86_64-w64-mingw32-objdump
headers=$($objdump -p "$build/merrivane.exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "merrivane.exe is not a GUI program"
dlls=$(sed -n 's/.*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
for dll in $dlls; do
	case $dll in
	advapi32.dll | comctl32.dll | comdlg32.dll | gdi32.dll | gdiplus.dll | kernel32.dll | msvcrt.dll | ole32.dll | \
		oleacc.dll | oleaut32.dll | shell32.dll | user32.dll | ws2_32.dll | imm32.dll | winspool.drv) ;;
	*) fail "merrivane.exe needs $dll beside it" ;;
	esac
done

# Windows draws both at the screen's scale, never stretched: the program
# per monitor, the installer at the system's
grep -aq '<dpiAwareness xmlns="[^"]*">PerMonitorV2, PerMonitor</dpiAwareness>' "$build/merrivane.exe" ||
	fail "merrivane.exe declares no per-monitor DPI awareness"
grep -aq '<dpiAware[^>]*>true</dpiAware>' "$installer" || fail "the installer is not DPI aware"

listing=$(unzip -Z1 "$zip")
for f in bin/merrivane.exe LICENSE examples/spool.txt examples/line.txt; do
	grep -q "^merrivane-[^/]*-win64/$f\$" <<<"$listing" || fail "zip lacks $f"
done

export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run wineboot --init >/dev/null 2>&1
# NSIS wants /D last and unquoted
timeout 120 ${MERRIVANE_EMULATOR:-} "$installer" /S '/D=C:\Merrivane'
drive=$WINEPREFIX/drive_c
for f in Merrivane/bin/merrivane.exe Merrivane/LICENSE Merrivane/examples/spool.txt Merrivane/Uninstall.exe; do
	[ -f "$drive/$f" ] || fail "installer did not install $f"
done
shortcut=$(find "$drive" -path '*Start Menu*' -name 'Merrivane.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"

start "$drive/Merrivane/bin/merrivane.exe"
main=$(find_window Merrivane) || fail "installed program did not start"
[ -n "$main" ] || fail "installed program did not start"
xdotool mousemove --window "$main" 100 270 key Escape
ended

timeout 120 ${MERRIVANE_EMULATOR:-} "$drive/Merrivane/Uninstall.exe" /S
timeout 60 bash -c "while [ -e '$drive/Merrivane/bin/merrivane.exe' ]; do sleep 0.5; done" ||
	fail "uninstaller left merrivane.exe"
echo "$(basename "$installer") installed, started, uninstalled; $(basename "$zip") complete; no DLLs needed"
