# Writes OUTPUT, a header with the build date that the help shows: the sources' date, not the
# clock's, so that the same sources build the same program. Run at every build; the file is
# rewritten only when the date changes, so nothing is recompiled otherwise.
execute_process(COMMAND ${SOURCE_DIR}/scripts/source-date
                OUTPUT_VARIABLE seconds OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} "${seconds}")  # string(TIMESTAMP) then reads this instead of the clock
string(TIMESTAMP MORVI_BUILD_DATE "%Y-%m-%d" UTC)
file(CONFIGURE OUTPUT ${OUTPUT}
     CONTENT "#pragma once\n#define MORVI_BUILD_DATE \"${MORVI_BUILD_DATE}\"\n")
