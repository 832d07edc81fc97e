# The files the end-to-end tests drop (sourced).

# make_sample_files FOLDER: two small x86-64 PE images, one.exe and two.exe
# (different contents), and a text file, notes.txt, in FOLDER.
make_sample_files() {
    /usr/bin/python3 - "$1" <<'PY'
import struct, sys, os
for name, payload in (("one.exe", b"first"), ("two.exe", b"second")):
    data = bytearray(0x200)
    data[0:2] = b"MZ"
    data[0x3c:0x40] = struct.pack("<I", 0x80)
    data[0x80:0x84] = b"PE\0\0"
    data[0x84:0x86] = struct.pack("<H", 0x8664)
    data[0x98:0x9a] = struct.pack("<H", 0x20b)
    open(os.path.join(sys.argv[1], name), "wb").write(bytes(data) + payload)
open(os.path.join(sys.argv[1], "notes.txt"), "w").write("plain text")
PY
}
