# Warnings and sanitizers for every target of the project, through one interface library.
add_library(tovo_compiler_options INTERFACE)
target_compile_options(tovo_compiler_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wconversion -Wsign-conversion -Wnull-dereference -Wformat=2)
target_compile_definitions(tovo_compiler_options INTERFACE
    QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_STRICT_ITERATORS)
if(TOVO_WERROR)
    target_compile_options(tovo_compiler_options INTERFACE -Werror)
endif()
if(TOVO_SANITIZE)
    target_compile_options(tovo_compiler_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(tovo_compiler_options INTERFACE -fsanitize=address,undefined)
endif()
if(TOVO_FUZZ)
    # libFuzzer's coverage and both sanitizers in all of our code; Qt and libxml2 stay as they are.
    # Only the fuzz targets link libFuzzer itself (tests/fuzz).
    target_compile_options(tovo_compiler_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(tovo_compiler_options INTERFACE -fsanitize=address,undefined)
endif()
