# Sourced by the scripts that start a private test server, after they set state (the state
# folder), server_name (for the skip message) and server_user.

# Records why the server cannot run, so its cases are skipped with the reason, and ends.
unavailable() {
  echo "$1" > "$state/unavailable"
  echo "$server_name cases will be skipped: $1"
  exit 0
}

# Runs a command as the server's user when root, since servers refuse to run as root.
as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid="$server_user" --regid="$(id -gn "$server_user")" --init-groups -- "$@"
  else
    "$@"
  fi
}
