#!/usr/bin/env bash
# Makes what we ship from the staged program folder: the stripped program files
# (their debug information kept beside them for crash reports), the installer and
# the portable zip. Run by the build target pinora_package (scripts/package).
#   package.sh STAGED_LIST DIST OUT VERSION WORK
# STAGED_LIST names every file the build staged (one path a line); only those
# under DIST are shipped, so the settings, tables and user folders that a run of
# the program leaves in DIST never are. OBJCOPY, STRIP, OBJDUMP and MAKENSIS come
# from the environment.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
list=$1 dist=$2 out=$3 version=$4 work=$5
: "${OBJCOPY:?}" "${STRIP:?}" "${OBJDUMP:?}" "${MAKENSIS:?}"

die() { echo "package: $*" >&2; exit 1; }

[ -f "$list" ] || die "no list of staged files at $list"
dist=${dist%/}
files=()
while IFS= read -r path; do
  [ -n "$path" ] || continue
  case $path in "$dist"/*) ;; *) continue ;; esac
  [ -f "$path" ] || die "staged file missing: $path (build first)"
  files+=("${path#"$dist"/}")
done <"$list"
[ ${#files[@]} -gt 0 ] || die "nothing staged in $dist"
mapfile -t files < <(printf '%s\n' "${files[@]}" | sort)

# A program or library put into the program folder some other way than
# pinora_stage would ship without version information or not at all.
for path in "$dist"/*.exe "$dist"/*.dll; do
  [ -e "$path" ] || continue
  rel=${path#"$dist"/}
  printf '%s\n' "${files[@]}" | grep -qxF "$rel" || die "$rel is in the program folder but was not staged by pinora_stage"
done

program=$work/Pinora
rm -rf "$work" "$out/symbols"
mkdir -p "$program" "$out/symbols"

for rel in "${files[@]}"; do
  mkdir -p "$program/$(dirname "$rel")"
  cp "$dist/$rel" "$program/$rel"
  shipped=$program/$rel
  debug=$out/symbols/$rel.debug
  # pinora_stage has already moved the debug information of most binaries
  # aside (DEBUG_DIR, build/<preset>/debug/<file>.debug).
  moved=${DEBUG_DIR:+$DEBUG_DIR/$(basename "$rel").debug}
  symbols=yes
  if "$OBJDUMP" -h "$shipped" | grep -q ' \.debug_info '; then
    mkdir -p "$(dirname "$debug")"
    "$OBJCOPY" --only-keep-debug "$shipped" "$debug"
  elif [ -n "$moved" ] && [ -f "$moved" ]; then
    mkdir -p "$(dirname "$debug")"
    cp "$moved" "$debug"
  else
    symbols=no
  fi
  "$STRIP" --strip-all --remove-section=.gnu_debuglink "$shipped"
  if [ $symbols = yes ]; then
    # Debuggers find the symbols by this name beside the binary or in symbols/.
    (cd "$(dirname "$debug")" && "$OBJCOPY" --add-gnu-debuglink="$(basename "$debug")" "$shipped")
  fi
done

# The installer's lists: the same files, installed and removed one by one, so the
# uninstaller never touches anything it did not install.
install_list=$work/files.nsh
uninstall_list=$work/unfiles.nsh
: >"$install_list"
: >"$uninstall_list"
last_dir=none
for rel in "${files[@]}"; do
  winrel=${rel//\//\\}
  dir=$(dirname "$rel")
  if [ "$dir" != "$last_dir" ]; then
    if [ "$dir" = . ]; then subdir=; else subdir=\\${dir//\//\\}; fi
    echo "SetOutPath \"\$INSTDIR$subdir\"" >>"$install_list"
    last_dir=$dir
  fi
  echo "File \"$program/$rel\"" >>"$install_list"
  echo "Delete \"\$INSTDIR\\$winrel\"" >>"$uninstall_list"
done
printf '%s\n' "${files[@]}" | grep / | xargs -r -n1 dirname | sort -ru | while IFS= read -r dir; do
  echo "RMDir \"\$INSTDIR\\${dir//\//\\}\"" >>"$uninstall_list"
done

# The finish page's picture, drawn from the program's icon.
icon=$top/resources/DoRoRaz/Pinora.ico
wizard=$work/wizard.bmp
convert -size 164x314 xc:"#fff4b8" \( "$icon[1]" -filter point -resize 300% \) -gravity center -geometry +0-40 \
  -composite -type TrueColor BMP3:"$wizard"

installer=$out/Pinora-$version-setup.exe
zip=$out/Pinora-$version-portable.zip
rm -f "$installer" "$zip"
"$MAKENSIS" -V2 -WX -NOCD \
  -DVERSION="$version" -DSOURCE="$program" -DFILES="$install_list" -DUNFILES="$uninstall_list" \
  -DICON="$icon" -DWIZARD="$wizard" -DOUTFILE="$installer" \
  "$here/Pinora.nsi" || die "makensis failed"

(cd "$work" && cmake -E tar cf "$zip" --format=zip Pinora) || die "could not write $zip"

size() { stat -c %s "$1"; }
{
  echo "Pinora $version: what ships (bytes)"
  for rel in "${files[@]}"; do printf '%10d  %s\n' "$(size "$program/$rel")" "$rel"; done
  printf '%10d  %s\n' "$(size "$installer")" "$(basename "$installer")"
  printf '%10d  %s\n' "$(size "$zip")" "$(basename "$zip")"
} >"$out/sizes.txt"
cat "$out/sizes.txt"
