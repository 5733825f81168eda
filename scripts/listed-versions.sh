# Sourced by set-up's scripts.
#
#   first_listed_version LIST TRY RENEW
# Runs the function TRY with each version the function LIST prints, newest
# first, and prints the first version TRY accepts. Debian's archive can list
# a version it does not serve yet (a 404) or one that cannot be installed for
# a while (sid in mid-transition), so a refusal only moves on to the next
# version; when none is accepted, RENEW renews the index once and the list is
# tried again. Fails when still none is accepted. TRY's output goes to
# standard error.
first_listed_version() {
  local list=$1 try=$2 renew=$3 attempt version
  for attempt in 1 2; do
    for version in $("$list" | sort -u -V -r); do
      "$try" "$version" >&2 && { echo "$version"; return 0; }
    done
    ((attempt == 1)) && "$renew" >&2
  done
  return 1
}
