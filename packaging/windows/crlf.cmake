# Copies a text file with CRLF line ends, as Windows' Notepad shows any:
#   cmake -DIN=FILE -DOUT=FILE -P crlf.cmake
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
