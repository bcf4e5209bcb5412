# The screen's dots per inch for the programs started after it, which FLTK
# 1.4 scales by (96 is scale 1): the X server's Xft.dpi, or under Wine
# (MERRIVANE_WINE, its runner) the prefix's LogPixels. Sourced.
screen_dpi() {
	if [ -n "${MERRIVANE_WINE:-}" ]; then
		"$MERRIVANE_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
	elif command -v xrdb >/dev/null; then
		# (FLTK 1.3 never reads it, nor installs xrdb for its tests)
		echo "Xft.dpi: $1" | xrdb -nocpp -load -
	fi
}
