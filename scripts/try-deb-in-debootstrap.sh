#!/usr/bin/env bash
# Installs the Debian package into a freshly bootstrapped Debian 12 chroot,
# as a user would with apt, and checks that the program starts there, that
# everything it needs came in through the package's dependencies, that the
# desktop files are in place, and that removing the package leaves nothing
# behind. Needs root and Debian's package mirror; prints PASS/FAIL lines and
# exits non-zero when any check fails.
#
#   sudo scripts/try-deb-in-debootstrap.sh [--via apt|dpkg] [--no-recommends]
#        [--keep] [--shot FILE] [--mirror URL] [build/sorveka_0.1.0_amd64.deb]
#
# --via dpkg installs with dpkg -i followed by apt-get install -f instead of
# apt-get install ./PACKAGE.deb. --no-recommends leaves out what the
# dependencies merely recommend, so the package's own Depends must suffice.
# --keep leaves the chroot (unmounted) for a look afterwards. --shot is
# where the screenshot taken under Xvfb goes.
set -u

via=apt
keep=0
recommends=
mirror=http://deb.debian.org/debian
shot=/tmp/sorveka-debootstrap-shot.png
deb=

while [ $# -gt 0 ]; do
    case "$1" in
        --via) via=$2; shift 2 ;;
        --no-recommends) recommends=--no-install-recommends; shift ;;
        --keep) keep=1; shift ;;
        --shot) shot=$2; shift 2 ;;
        --mirror) mirror=$2; shift 2 ;;
        -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) deb=$1; shift ;;
    esac
done

if [ "$(id -u)" -ne 0 ]; then
    echo "FAIL: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi
case "$via" in apt|dpkg) ;; *) echo "--via takes apt or dpkg" >&2; exit 2 ;; esac

if [ -z "$deb" ]; then
    repo=$(cd "$(dirname "$0")/.." && pwd)
    set -- "$repo"/build/sorveka_*_amd64.deb
    [ $# -eq 1 ] && [ -f "$1" ] && deb=$1
fi
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    echo "FAIL: no package; build one with: cd build && cpack -G DEB" >&2
    exit 2
fi
deb=$(readlink -f "$deb")
debname=$(basename "$deb")
version=$(dpkg-deb -f "$deb" Version)

command -v debootstrap >/dev/null || apt-get install -y debootstrap >/dev/null

failures=0
checks=0
pass() { checks=$((checks + 1)); echo "PASS: $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $*"; }
check() { # check NAME COMMAND...: PASS when the command succeeds
    local name=$1; shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

root=$(mktemp -d /tmp/sorveka-deb12.XXXXXX)
mounts=(proc sys dev dev/pts)

# The chroot holds bind mounts of the host's /dev and /sys: unmount them
# all before deleting anything, and refuse to delete while any is left.
cleanup() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        mountpoint -q "$root/${mounts[i]}" && umount -l "$root/${mounts[i]}"
    done
    if grep -q " $root/" /proc/mounts; then
        echo "FAIL: still mounted under $root, not deleting it" >&2
        return
    fi
    if [ "$keep" -eq 1 ]; then
        echo "kept $root (nothing mounted)"
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs a shell command in the chroot with a clean environment, so nothing
# from the host (DISPLAY, QT_*, XDG_*) changes what the program does.
inroot() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive sh -c "$1"
}

log=$root.log
echo "package: $deb ($version), chroot: $root, log: $log"
: > "$log"

# Fresh system -----------------------------------------------------------------
if ! debootstrap --variant=minbase bookworm "$root" "$mirror" >>"$log" 2>&1; then
    fail "debootstrap of Debian 12 (see $log)"
    exit 1
fi
pass "debootstrap --variant=minbase bookworm"
echo "deb $mirror bookworm main" > "$root/etc/apt/sources.list"
for m in "${mounts[@]}"; do mount --bind "/$m" "$root/$m"; done
cp "$deb" "$root/tmp/$debname"

if ! inroot 'apt-get update' >>"$log" 2>&1; then
    fail "apt-get update in the chroot (see $log)"
    exit 1
fi

# Install ----------------------------------------------------------------------
before=$(inroot "dpkg-query -W -f='\${Package}\n'" | sort)
if [ "$via" = dpkg ]; then
    # On a fresh system dpkg -i stops at the missing dependencies and
    # leaves the package unpacked; apt-get install -f then brings them.
    inroot "dpkg -i /tmp/$debname" >>"$log" 2>&1
    inroot "apt-get install -f -y $recommends" >>"$log" 2>&1
    how="dpkg -i, apt-get install -f $recommends"
else
    inroot "apt-get install -y $recommends /tmp/$debname" >>"$log" 2>&1
    how="apt-get install $recommends ./$debname"
fi
status=$(inroot "dpkg-query -W -f='\${Status} \${Version}' sorveka" 2>/dev/null)
check "$how: $status" test "$status" = "install ok installed $version"
after=$(inroot "dpkg-query -W -f='\${Package}\n'" | sort)
echo "INFO: $(comm -13 <(echo "$before") <(echo "$after") | grep -cvx sorveka) packages pulled in besides sorveka"
inroot "dpkg-query -W -f='\${db:Status-Abbrev} \${Package} \${Version}\n' libc6 libstdc++6 \
    libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 qt6-qpa-plugins \
    qt6-translations-l10n fonts-ipafont-gothic fonts-noto-cjk 2>/dev/null" |
    awk '$1 == "ii" { print "INFO:   " $2, $3 }'

# Libraries and run-time pieces ------------------------------------------------
missing=$(inroot 'ldd /usr/bin/sorveka /usr/bin/svk 2>&1 | grep -i "not found"')
check "ldd sorveka, svk: no library missing${missing:+: $missing}" test -z "$missing"
plugins=/usr/lib/x86_64-linux-gnu/qt6/plugins
for p in platforms/libqxcb.so platforms/libqoffscreen.so imageformats/libqsvg.so; do
    missing=$(inroot "if test -f $plugins/$p; then ldd $plugins/$p | grep -i 'not found'; else echo absent; fi")
    check "Qt plugin $p present with its libraries${missing:+: $missing}" test -z "$missing"
done
check "Qt's Japanese translation qtbase_ja.qm" \
    test -f "$root/usr/share/qt6/translations/qtbase_ja.qm"
fonts=$(inroot 'fc-list :lang=ja family' 2>/dev/null | wc -l)
font=$(inroot 'fc-match -f "%{family}" :lang=ja' 2>/dev/null)
check "$fonts fonts with Japanese glyphs, first choice $font" test "$fonts" -gt 0

# Command-line tool --------------------------------------------------------------
out=$(inroot 'svk --version' 2>&1)
check "svk --version prints \"$out\"" test "$out" = "svk $version"

# A small outline with Japanese titles, built with the installed svk.
cat > "$root/tmp/x.opml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0"><head><title>旅行</title></head><body>
<outline text="旅行メモ" _note="持ち物を確認する">
  <outline text="パスポート"/>
  <outline text="切符"/>
</outline>
</body></opml>
EOF
out=$(inroot 'svk import --from opml /tmp/x.opml -o /tmp/x.svk && svk check /tmp/x.svk' 2>&1)
check "svk import and check: $out" test "$out" = "/tmp/x.svk: 3 categories"

# Desktop integration ------------------------------------------------------------
app=io.github.sorveka.Sorveka
check "menu entry /usr/share/applications/$app.desktop" \
    test -f "$root/usr/share/applications/$app.desktop"
check "file type /usr/share/mime/packages/$app.xml" \
    test -f "$root/usr/share/mime/packages/$app.xml"
check "software-centre description /usr/share/metainfo/$app.metainfo.xml" \
    test -f "$root/usr/share/metainfo/$app.metainfo.xml"
icons=$(dpkg-deb -c "$deb" | grep -o "usr/share/icons/hicolor/[^ ]*/apps/$app\.[a-z]*$")
absent=""
for icon in $icons; do [ -f "$root/$icon" ] || absent="$absent $icon"; done
check "$(echo "$icons" | wc -w) icons under /usr/share/icons/hicolor/*/apps${absent:+, missing:$absent}" \
    test -n "$icons" -a -z "$absent"
# shared-mime-info comes in with Qt's dependencies; its trigger must have
# added the type to the database the file managers read.
check "*.svk in the shared MIME database" \
    grep -q ':\*\.svk$' "$root/usr/share/mime/globs2"

# Start the program --------------------------------------------------------------
inroot 'cd /tmp && QT_QPA_PLATFORM=offscreen timeout 5 sorveka /tmp/x.svk' \
    >"$root/tmp/offscreen.log" 2>&1
rc=$?
check "sorveka ran offscreen for 5 s (exit $rc, 124 = stopped by timeout)" test "$rc" -eq 124
grep -iE "could not|cannot|failed|not found" "$root/tmp/offscreen.log" | sed 's/^/INFO:   /'

# The real X11 path under Xvfb, with a screenshot from Xvfb's framebuffer
# file. These packages come after the checks above so they cannot hide a
# dependency the package forgot. -displayfd picks a free display, since
# other servers on the host share the abstract socket namespace.
if inroot 'apt-get install -y --no-install-recommends xvfb xauth netpbm' >>"$log" 2>&1; then
    # shellcheck disable=SC2016 # expanded by the shell in the chroot
    inroot '
        mkdir -p /tmp/fb
        Xvfb -displayfd 3 -screen 0 1024x700x24 -fbdir /tmp/fb -nolisten tcp \
            3>/tmp/display >/tmp/xvfb.log 2>&1 &
        xvfb=$!
        for i in $(seq 20); do [ -s /tmp/display ] && break; sleep 0.5; done
        cd /tmp
        DISPLAY=:$(cat /tmp/display) QT_QPA_PLATFORM=xcb timeout 6 sorveka /tmp/x.svk \
            >/tmp/xcb.log 2>&1 &
        run=$!
        sleep 4
        xwdtopnm /tmp/fb/Xvfb_screen0 2>/dev/null | pnmtopng >/tmp/shot.png 2>/dev/null
        wait $run; echo $? >/tmp/xcb.rc
        kill $xvfb; wait $xvfb 2>/dev/null'
    rc=$(cat "$root/tmp/xcb.rc" 2>/dev/null || echo none)
    check "sorveka ran under Xvfb (xcb) for 6 s (exit $rc)" test "$rc" = 124
    # A black screen has one colour; the painted window has many.
    colours=$(inroot 'pngtopnm /tmp/shot.png | ppmhist -noheader | wc -l' 2>/dev/null)
    cp "$root/tmp/shot.png" "$shot" 2>/dev/null
    check "screenshot shows a painted window ($colours colours): $shot" \
        test "${colours:-0}" -gt 16
else
    fail "installing xvfb in the chroot (see $log)"
fi

# Remove -------------------------------------------------------------------------
inroot 'dpkg -L sorveka' > "$root/tmp/owned.txt"
inroot 'dpkg -r sorveka' >>"$log" 2>&1
status=$(inroot "dpkg-query -W -f='\${Status}' sorveka" 2>/dev/null)
check "dpkg -r sorveka: ${status:-not installed}" test -z "$status" -o "$status" = "deinstall ok not-installed"
# Files must all be gone; a directory may stay only while another package
# owns it (the hicolor size folders belong to hicolor-icon-theme).
left=""
while read -r path; do
    if [ -z "$path" ] || [ "$path" = /. ]; then continue; fi
    if [ -f "$root$path" ] || [ -L "$root$path" ]; then
        left="$left $path"
    elif [ -d "$root$path" ] && ! inroot "dpkg-query -S '$path'" >/dev/null 2>&1 \
            && [ -z "$(ls -A "$root$path")" ]; then
        left="$left $path/"
    fi
done < "$root/tmp/owned.txt"
check "nothing of the package's $(wc -l < "$root/tmp/owned.txt") paths left${left:+:$left}" test -z "$left"
check "*.svk gone from the shared MIME database" \
    sh -c "! grep -q ':\*\.svk\$' '$root/usr/share/mime/globs2'"

if [ "$failures" -eq 0 ]; then
    echo "PASS: all $checks checks"
else
    echo "FAIL: $failures of $checks checks"
fi
[ "$failures" -eq 0 ]
