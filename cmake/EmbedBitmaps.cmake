# thr_embed_bitmaps(<output.cpp> <id> <file.bmp> [<id> <file.bmp>]...)
#
# Writes a C++ source that holds the BMP files as byte arrays and registers them under
# their resource numbers before main runs, for systems without module resources. Compile
# the source straight into the program or module (not into a static library, where the
# linker would drop the unreferenced registration).
function(thr_embed_bitmaps output)
    set(arrays "")
    set(entries "")
    set(args ${ARGN})
    list(LENGTH args count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET args ${i} id)
        list(GET args ${j} file)
        file(READ ${file} hex HEX)
        string(LENGTH "${hex}" hexLength)
        math(EXPR size "${hexLength} / 2")
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        string(APPEND arrays "const unsigned char kBitmap${id}[${size}] = {${bytes}};\n")
        string(APPEND entries "    {${id}, kBitmap${id}, ${size}},\n")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    endforeach()
    file(CONFIGURE OUTPUT ${output} CONTENT "// Generated from BMP files by thr_embed_bitmaps; do not edit.
#include \"platform/Resources.h\"

namespace
{
${arrays}
const platform::EmbeddedBitmap kTable[] = {
${entries}};

const bool kRegistered = [] {
    platform::registerEmbeddedBitmaps(kTable, static_cast<int>(sizeof kTable / sizeof kTable[0]));
    return true;
}();
} // namespace
" @ONLY)
endfunction()
