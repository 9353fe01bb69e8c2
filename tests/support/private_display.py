"""A private X server for tests that drive real windows: Xvfb picks a free display number
itself, so no test relies on one being free."""
import os
import subprocess


def start_display():
    """Starts Xvfb on a display of its own choosing; returns the process and ':N'."""
    read, write = os.pipe()
    server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                              pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b''
    with os.fdopen(read, 'rb') as pipe:
        while not number.endswith(b'\n'):
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    return server, ':' + number.decode().strip()
