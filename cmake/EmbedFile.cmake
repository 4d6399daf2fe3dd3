# Script mode: writes OUTPUT, a C++ source holding INPUT's bytes as SYMBOL, followed by a NUL.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# Keep lines short so compilers and editors stay happy with large files.
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
    "// Generated from ${INPUT}; do not edit.\n"
    "#include <cstddef>\n"
    "extern const char ${SYMBOL}[];\n"
    "extern const std::size_t ${SYMBOL}Size;\n"
    "const char ${SYMBOL}[] = {\n${bytes}'\\0'};\n"
    "const std::size_t ${SYMBOL}Size = ${size};\n")
