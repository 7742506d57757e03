# Sourced by scripts that need this machine's package archive without naming one.
#
# nodmark_release_sources [ROOT]: prints the binary package entries of ROOT's apt sources
# (default /) that serve its release's own suites, CODENAME and CODENAME-updates (not the
# -security or -backports ones), one a line, tab-separated:
#   OPTIONS  URI  SUITE  COMPONENTS
# OPTIONS are in the one-line format's bracket syntax without the brackets (for example
# "signed-by=/usr/share/keyrings/debian-archive-keyring.gpg"), or empty. Reads
# etc/apt/sources.list and etc/apt/sources.list.d/*.list and *.sources; skips disabled
# entries. Without a release codename (unstable) it keeps every suite but -security and
# -backports ones.
nodmark_release_sources() {
  local root=${1:-/} codename="" file
  codename=$(. "$root/etc/os-release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || true
  local one_line=() deb822=()
  [ -f "$root/etc/apt/sources.list" ] && one_line+=("$root/etc/apt/sources.list")
  for file in "$root"/etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && one_line+=("$file")
  done
  for file in "$root"/etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && deb822+=("$file")
  done
  local wanted='
    function wanted(suite) {
      if (codename != "") return suite == codename || suite == codename "-updates"
      return suite !~ /-(security|backports)$/
    }'
  if [ ${#one_line[@]} -gt 0 ]; then
    # deb [ OPTION=VALUE ... ] URI SUITE COMPONENT...
    awk -v codename="$codename" "$wanted"'
      { sub(/#.*/, "") }
      $1 != "deb" { next }
      {
        line = $0
        sub(/^[ \t]*deb[ \t]+/, "", line)
        options = ""
        if (substr(line, 1, 1) == "[") {
          options = substr(line, 2, index(line, "]") - 2)
          line = substr(line, index(line, "]") + 1)
          gsub(/^[ \t]+|[ \t]+$/, "", options)
        }
        n = split(line, field, /[ \t]+/)
        first = (field[1] == "") ? 2 : 1
        components = ""
        for (i = first + 2; i <= n; i++) if (field[i] != "") components = components " " field[i]
        sub(/^ /, "", components)
        if (wanted(field[first + 1]))
          printf "%s\t%s\t%s\t%s\n", options, field[first], field[first + 1], components
      }' "${one_line[@]}"
  fi
  if [ ${#deb822[@]} -gt 0 ]; then
    # Stanzas of "Field: value" lines, separated by blank lines. A signed-by key given
    # inline (continuation lines) cannot be carried into the one-line form and is left out.
    awk -v codename="$codename" "$wanted"'
      function flush(   n, m, i, j, uri, suite) {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && tolower(enabled) != "no") {
          n = split(uris, uri, /[ \t]+/)
          m = split(suites, suite, /[ \t]+/)
          for (i = 1; i <= n; i++)
            for (j = 1; j <= m; j++)
              if (uri[i] != "" && wanted(suite[j]))
                printf "%s\t%s\t%s\t%s\n", options, uri[i], suite[j], components
        }
        types = uris = suites = components = enabled = options = ""
      }
      function add(option) { options = (options == "") ? option : options " " option }
      FNR == 1 { flush() }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { next }
      {
        key = tolower(substr($0, 1, index($0, ":") - 1))
        value = substr($0, index($0, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", value)
        if (key == "types") types = value
        else if (key == "uris") uris = value
        else if (key == "suites") suites = value
        else if (key == "components") components = value
        else if (key == "enabled") enabled = value
        else if (key == "signed-by" && value != "") add("signed-by=" value)
        else if (key == "architectures") { gsub(/[ \t]+/, ",", value); add("arch=" value) }
        else if (key == "trusted") add("trusted=" value)
      }
      END { flush() }' "${deb822[@]}"
  fi
}
