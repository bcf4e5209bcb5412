# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol -DHEADER=header -P EmbedBytes.cmake
# Writes a C++ source defining `const unsigned char NAME[]` with INPUT's bytes.
file(READ ${INPUT} hex HEX)
get_filename_component(source ${INPUT} NAME)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row)
string(REGEX REPLACE "(${row})" "\\1\n\t" bytes "${bytes}")
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "/* Made from ${source} at build time: do not edit. */
#include \"${HEADER}\"

const unsigned char ${NAME}[] = {
\t${bytes}
};
")
