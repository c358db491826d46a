# Writes the manual page zukaro.1.gz at OUTPUT: help2man reads the --help and --version of
# ZUKARO (through help-for-help2man.sh) and adds zukaro.h2m, so options added to the program
# reach the page by themselves. Dated EPOCH (the release), compressed without a name or time
# stamp: the same sources give the same bytes.
#   cmake -DHELP2MAN=... -DGZIP=... -DZUKARO=... -DEPOCH=... -DOUTPUT=... -P GenerateManPage.cmake
get_filename_component(page ${OUTPUT} NAME_WLE)
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
set(page ${out_dir}/${page})
file(MAKE_DIRECTORY ${out_dir})

set(ENV{ZUKARO} ${ZUKARO})
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
# C.UTF-8 is in every Debian system: help2man reads and writes UTF-8 and its own words
# (section names, the month) stay the same wherever it runs.
execute_process(
    COMMAND ${HELP2MAN} --locale=C.UTF-8 --no-info --section=1
            --include=${CMAKE_CURRENT_LIST_DIR}/zukaro.h2m --output=${page}
            ${CMAKE_CURRENT_LIST_DIR}/help-for-help2man.sh
    COMMAND_ERROR_IS_FATAL ANY)

file(READ ${page} roff)
if(NOT roff MATCHES "\n\\.SH SYNOPSIS\n")
    message(FATAL_ERROR "help2man found no usage lines after 使い方: in zukaro --help")
endif()
# Japanese text has few spaces: groff's Japanese rules let lines break between characters,
# and left-aligned lines keep the few spaces from stretching. Right after the title line so
# it holds from the NAME on.
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.mso ja.tmac\n.ad l\n" with_preamble "${roff}")
if(with_preamble STREQUAL roff)
    message(FATAL_ERROR "no .TH line in the page help2man wrote")
endif()
file(WRITE ${page} "${with_preamble}")
execute_process(COMMAND ${GZIP} -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
