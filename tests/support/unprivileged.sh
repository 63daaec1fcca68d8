#!/bin/sh
# Runs a test as the unprivileged user nobody when started by root: for root every file is
# writable, so what must hold for a read-only file can only be seen without root's rights.
if [ "$(id -u)" = 0 ]; then
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp XDG_RUNTIME_DIR= "$@"
fi
exec "$@"
