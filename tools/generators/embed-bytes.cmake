# Writes the bytes of the file IN to OUT as the body of a C array
# ("0x3b,0x20,..."), for a program to carry a file the build makes.
# Usage: cmake -DIN=file -DOUT=file.inc -P embed-bytes.cmake
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT} "${bytes}\n")
