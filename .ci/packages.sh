# Sourced by the CI scripts: installs the Debian packages named that are not
# installed yet, with one apt-get update per run at most.
need_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  if [ -z "${KARVOSEL_APT_UPDATED:-}" ]; then
    apt-get update
    export KARVOSEL_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
