# Sourced by the set-up scripts. `debian_entry` prints "URIS<TAB>SUITE<TAB>
# SIGNED-BY" lines for the system's own Debian entries whose suite is a plain
# codename; `debian_entry all` also those of its -updates and -security
# suites, one line a suite.
# The system's own Debian entry: its URIs, keyring and suite base (the
# codename). The backports and deb-src entries below copy them, so this
# script works behind whatever mirror the machine is configured with and
# names no package host itself. Both the deb822 (*.sources) and the one-line
# (sources.list) formats are read; the first enabled binary entry with a
# plain codename suite and the "main" component wins.
# It only reads /etc/apt and changes nothing; it takes a few milliseconds.
# Run on its own (bash scripts/debian-entry.sh --help) it prints this text.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
  -h | --help)
    awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
    exit 0
    ;;
  esac
fi

debian_entry() {
  local f all=${1:-}
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in */pellorin-*) continue ;; esac
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && comps ~ /(^| )main( |$)/ && enabled !~ /^[Nn]o/ && !done) {
          n = split(suites, s, " ")
          for (i = 1; i <= n; i++) if (s[i] ~ /^[a-z]+$/ || (all && s[i] ~ /^[a-z]+-(updates|security)$/)) {
            printf "%s\t%s\t%s\n", uris, s[i], signed; if (!all) { done = 1; break }
          }
        }
        types = uris = suites = comps = signed = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      { key = $1; sub(/:$/, "", key); $1 = ""; sub(/^ +/, ""); val = $0 }
      tolower(key) == "types" { types = val }
      tolower(key) == "uris" { uris = val }
      tolower(key) == "suites" { suites = val }
      tolower(key) == "components" { comps = val }
      tolower(key) == "signed-by" { signed = val }
      tolower(key) == "enabled" { enabled = val }
      END { flush() }' all="$all" "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '
      /^[ \t]*deb[ \t]/ {
        signed = ""; i = 2
        if ($2 ~ /^\[/) {
          opts = ""
          while (i <= NF) { opts = opts " " $i; if ($i ~ /\]$/) { i++; break } i++ }
          if (match(opts, /signed-by=[^] ]+/)) signed = substr(opts, RSTART + 10, RLENGTH - 10)
        }
        uri = $i; suite = $(i + 1); comps = ""
        for (j = i + 2; j <= NF; j++) comps = comps " " $j
        if ((suite ~ /^[a-z]+$/ || (all && suite ~ /^[a-z]+-(updates|security)$/)) && comps ~ / main( |$)/) {
          printf "%s\t%s\t%s\n", uri, suite, signed; if (!all) exit
        }
      }' all="$all" "$f"
  done
}

